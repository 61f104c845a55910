#include "tests/game/screens/windows/GUITestDoubles.h"

#include <tinyxml.h>

#include <cstdio>

namespace GUITest {

TestHost::TestHost()
{
    for (const auto& [name, width] : std::vector<std::pair<std::string, int>>{{"normal", 10}, {"big", 20}}) {
        mFontNames[name] = int32_t(mFonts.size());
        mFonts.push_back(std::make_unique<GlyphFont>(width));
    }
    mWheel = std::make_unique<Lumo::MemoryImage>();
    mWheel->SetSize(64, 48);
}

int32_t TestHost::AddPicture(const std::string& name, int32_t w, int32_t h, uint32_t argb)
{
    auto image = std::make_unique<Lumo::MemoryImage>();
    image->SetSize(w, h);
    uint32_t* bits = image->GetPixelBits();
    std::fill(bits, bits + size_t(w) * size_t(h), argb);
    image->MarkBitsChanged();
    mImages.push_back(std::move(image));
    mImageNames.push_back(name);
    return int32_t(mImages.size()) - 1;
}

int32_t TestHost::FontIndexByName(const std::string& name)
{
    const auto found = mFontNames.find(name);
    return found != mFontNames.end() ? found->second : -1;
}

Lumo::Font* TestHost::FontByIndex(int32_t index)
{
    return index >= 0 && size_t(index) < mFonts.size() ? mFonts[size_t(index)].get() : nullptr;
}

bool TestHost::FindImage(const std::string& name, int32_t* slot)
{
    for (size_t i = 0; i < mImageNames.size(); ++i) {
        if (mImageNames[i] == name) {
            *slot = int32_t(i);
            return true;
        }
    }
    return false;
}

Lumo::MemoryImage* TestHost::SlotImage(int32_t slot, Lumo::Rect* rect)
{
    if (slot < 0 || size_t(slot) >= mImages.size() || mImages[size_t(slot)] == nullptr)
        return nullptr;
    Lumo::MemoryImage* image = mImages[size_t(slot)].get();
    *rect = Lumo::Rect{0, 0, image->mWidth, image->mHeight};
    return image;
}

bool TestHost::NewRuntimeImage(int32_t width, int32_t height, int32_t* slot)
{
    if (mRuntimeLimit-- <= 0)
        return false;
    *slot = AddPicture("runtime", width, height, 0);
    return true;
}

namespace {

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(value));
    return text;
}

} // namespace

void SpyHandler::OnGuiCommand(int32_t commandId, int32_t value)
{
    mCalls.push_back("command " + std::to_string(commandId) + " " + std::to_string(value));
}

void SpyHandler::OnWindowShowing(int32_t windowId)
{
    mCalls.push_back("showing " + std::to_string(windowId));
}

void SpyHandler::OnWindowShown(int32_t windowId)
{
    mCalls.push_back("shown " + std::to_string(windowId));
    if (mOnHook)
        mOnHook(mCalls.back());
}

void SpyHandler::OnWindowClosed(int32_t windowId)
{
    mCalls.push_back("closed " + std::to_string(windowId));
    if (mOnHook)
        mOnHook(mCalls.back());
}

void SpyHandler::OnWindowAction(int32_t kind)
{
    mCalls.push_back("action " + std::to_string(kind));
}

void SpyHandler::ApplyVolumeSlider(int32_t slider, float value, bool dragging)
{
    mCalls.push_back("slider " + std::to_string(slider) + " " + Number(value) + (dragging ? " drag" : ""));
}

void SpyHandler::OnProfileListChoice(int32_t editId, const std::string& text)
{
    mCalls.push_back("choice " + std::to_string(editId) + " " + text);
}

void SpyHandler::ShowScorePopup(int32_t kind)
{
    mCalls.push_back("popup " + std::to_string(kind));
}

void SpyHandler::OnHudTrackFinished(CAnimTrack*, const CGUITrackEntry& entry)
{
    mCalls.push_back("hud " + std::to_string(entry.mKind));
}

void SpyHandler::OnTextLabelTrackFinished(CAnimTrack*, const CGUITrackEntry& entry)
{
    mCalls.push_back("labels " + std::to_string(entry.mKind));
}

GUIFixture::GUIFixture()
{
    App();
    mHost.AddPicture("frame", 80, 600, 0xFF102030);
    mHost.AddPicture("header", 256, 48);
    mHost.AddPicture("cb", 28, 28);
    mHost.AddPicture("check", 24, 24);
    mHost.AddPicture("slider", 240, 24);
    mHost.AddPicture("nut", 16, 24);
    mHost.AddPicture("sb_up", 16, 16);
    mHost.AddPicture("sb_down", 16, 16);
    mHost.AddPicture("sb_rail", 16, 140);
    mHost.AddPicture("sb_thumb", 16, 8);
    mHost.AddPicture("sb_thumb1", 16, 4);
    mHost.AddPicture("sb_thumb2", 16, 4);
    for (int i = 1; i <= 5; ++i)
        mHost.AddPicture("stage" + std::to_string(i), 72, 72);
    mHost.AddPicture("stagehl", 72, 72);
    mHost.AddPicture("cup", 64, 80);
}

void GUIFixture::Load(const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    mGui = std::make_unique<CGUIController>(&App(), &mHost, &mSpy);
    mGui->LoadFromXml(document.RootElement());
    mGui->CreateImages();
}

bool GUIFixture::RunUntilState(int32_t state, int limit)
{
    for (int i = 0; i < limit && mGui->State() != state; ++i)
        mGui->UpdateTracks(1.0f);
    return mGui->State() == state;
}

void GUIFixture::Step(int count)
{
    for (int i = 0; i < count; ++i)
        mGui->UpdateTracks(1.0f);
}

} // namespace GUITest
