#include "platform/windows/Cursor.h"
#include "platform/backends/headless/HeadlessSession.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Platform;

namespace {

class Cursors : public ::testing::Test {
protected:
    HeadlessSession mSession;
    HeadlessBackend& mDesktop = mSession.Desktop();
};

TEST_F(Cursors, StandardCursorsAreSharedAndShown)
{
    HCURSOR arrow = LoadCursorA(IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(IDC_ARROW), arrow);
    HCURSOR beam = LoadCursorA(IDC_IBEAM);
    EXPECT_NE(beam, arrow);
    EXPECT_EQ(LoadCursorA(12345), nullptr);
    EXPECT_FALSE(DestroyCursor(arrow));

    EXPECT_EQ(SetCursor(beam), nullptr);
    EXPECT_EQ(GetCursor(), beam);
    ASSERT_TRUE(mDesktop.ShownCursor().has_value());
    EXPECT_EQ(mDesktop.ShownCursor()->systemId, IDC_IBEAM);

    // None hides the pointer; so does a negative show count.
    EXPECT_EQ(SetCursor(nullptr), beam);
    EXPECT_FALSE(mDesktop.ShownCursor().has_value());
    SetCursor(arrow);
    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_FALSE(mDesktop.ShownCursor().has_value());
    EXPECT_EQ(ShowCursor(true), 0);
    EXPECT_EQ(mDesktop.ShownCursor()->systemId, IDC_ARROW);
}

TEST_F(Cursors, MasksMakeAMonochromeCursor)
{
    // 4 x 2, each row padded to two bytes: pixels 0..3 of row 0 are black,
    // white, transparent, inverted; row 1 is all transparent.
    const uint8_t andMask[] = {0x30, 0x00, 0xF0, 0x00};
    const uint8_t xorMask[] = {0x50, 0x00, 0x00, 0x00};
    HCURSOR hand = CreateCursor(1, 1, 4, 2, andMask, xorMask);
    ASSERT_NE(hand, nullptr);
    SetCursor(hand);
    std::optional<CursorRecord> shown = mDesktop.ShownCursor();
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->systemId, 0u);
    EXPECT_EQ(shown->hotX, 1);
    const CursorPixel row0[] = {CursorPixel::Black, CursorPixel::White, CursorPixel::Transparent,
                                CursorPixel::Inverted};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(shown->PixelAt(x, 0), row0[x]) << x;
        EXPECT_EQ(shown->PixelAt(x, 1), CursorPixel::Transparent) << x;
    }
    EXPECT_EQ(shown->PixelAt(4, 0), CursorPixel::Transparent);
    EXPECT_EQ(shown->PixelAt(-1, 0), CursorPixel::Transparent);

    EXPECT_TRUE(DestroyCursor(hand));
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_FALSE(mDesktop.ShownCursor().has_value());
    EXPECT_FALSE(DestroyCursor(hand));
}

TEST_F(Cursors, ImpossibleCursorsAreRefused)
{
    const std::vector<uint8_t> masks(2 * 300, 0);
    EXPECT_EQ(CreateCursor(0, 0, 0, 32, masks.data(), masks.data()), nullptr);
    EXPECT_EQ(CreateCursor(0, 0, 16, 300, masks.data(), masks.data()), nullptr);
    EXPECT_EQ(CreateCursor(16, 0, 16, 16, masks.data(), masks.data()), nullptr);
    EXPECT_EQ(CreateCursor(0, 0, 16, 16, nullptr, masks.data()), nullptr);
}

} // namespace
