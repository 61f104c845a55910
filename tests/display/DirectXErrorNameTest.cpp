#include "tests/display/DisplayFixture.h"
#include "framework/display/DirectXErrorName.h"
#include "platform/sound/SoundTypes.h"

#include <gtest/gtest.h>

#include <set>

using namespace Platform;
using Lumo::DirectXErrorName;

namespace {

TEST(DirectXErrorName, NamesPublishedCodesAndGivesSharedCodesOneName)
{
    const struct {
        HRESULT code;
        const char* name;
    } cases[] = {
        {DDERR_SURFACELOST, "DDERR_SURFACELOST"},
        {DDERR_INVALIDPIXELFORMAT, "DDERR_INVALIDPIXELFORMAT"},
        {D3DERR_TEXTURE_LOCKED, "D3DERR_TEXTURE_LOCKED"},
        {DSERR_BADFORMAT, "DSERR_BADFORMAT"},
        {E_NOTIMPL, "DDERR_UNSUPPORTED"},
        {E_NOINTERFACE, "DSERR_NOINTERFACE"},
        {E_FAIL, "DSERR_GENERIC"},
        {CLASS_E_NOAGGREGATION, "DSERR_NOAGGREGATION"},
        {CO_E_NOTINITIALIZED, "DDERR_NOTINITIALIZED"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_INVALIDARG, "DDERR_INVALIDPARAMS"},
        {S_OK, "0"},
        {int32_t(0x8000ABCD), "8000abcd"},
    };
    for (const auto& each : cases)
        EXPECT_EQ(DirectXErrorName(each.code), each.name) << each.name;
}

TEST(DirectXErrorName, EveryTableCodeHasItsOwnName)
{
    // Walk the layer's code ranges: every named code maps to a distinct name.
    std::set<std::string> names;
    int named = 0;
    for (uint32_t base : {0x88760000u, 0x88770000u, 0x88790000u}) {
        for (uint32_t n = 0; n < 0x200; ++n) {
            const std::string name = DirectXErrorName(int32_t(base + n));
            if (name.find("ERR_") == std::string::npos)
                continue;
            ++named;
            names.insert(name);
        }
    }
    for (HRESULT shared : {E_NOTIMPL, E_NOINTERFACE, E_FAIL, CLASS_E_NOAGGREGATION, CO_E_NOTINITIALIZED,
                           E_OUTOFMEMORY, E_INVALIDARG}) {
        ++named;
        names.insert(DirectXErrorName(shared));
    }
    EXPECT_EQ(named, 193);
    EXPECT_EQ(names.size(), 193u);
}

TEST(DDInterfaceResults, CheckResultKeepsTextOnSuccessAndNamesTheStepOnFailure)
{
    DisplayTest::TestApp app;
    Lumo::DDInterface display(&app);
    display.mErrorText = "earlier";
    EXPECT_FALSE(display.CheckResult(S_OK, "Anything"));
    EXPECT_FALSE(display.CheckResult(1, "Anything"));
    EXPECT_EQ(display.mErrorText, "earlier");
    EXPECT_TRUE(display.CheckResult(DDERR_SURFACELOST, "Redraw FullScreen Flip"));
    EXPECT_EQ(display.mErrorText, "Redraw FullScreen Flip: DDERR_SURFACELOST");
}

TEST(DDInterfaceResults, ResultNames)
{
    const char* const names[] = {"RESULT_OK", "RESULT_FAIL", "RESULT_DD_CREATE_FAIL", "RESULT_SURFACE_FAIL",
                                 "RESULT_EXCLUSIVE_FAIL", "RESULT_DISPCHANGE_FAIL", "RESULT_INVALID_COLORDEPTH"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Lumo::DDInterface::GetResultName(i), names[i]);
    EXPECT_EQ(Lumo::DDInterface::GetResultName(7), "RESULT_UNKNOWN");
    EXPECT_EQ(Lumo::DDInterface::GetResultName(-1), "RESULT_UNKNOWN");
}

} // namespace
