#include "platform/backends/sdl/SdlDialog.h"

#include "platform/backends/sdl/X11ServerLoss.h"
#include "platform/process/Log.h"
#include "platform/windows/EditTyping.h"
#include "platform/windows/TextCodec.h"
#include "platform/windows/WindowConstants.h"

#include <algorithm>

namespace Platform {

namespace {

constexpr uint32_t kFace = 0xFFF0F0F0;
constexpr uint32_t kWindow = 0xFFFFFFFF;
constexpr uint32_t kText = 0xFF000000;
constexpr uint32_t kGrayText = 0xFF8D8D8D;
constexpr uint32_t kBorder = 0xFF7A7A7A;
constexpr uint32_t kButton = 0xFFE1E1E1;
constexpr uint32_t kButtonBorder = 0xFFADADAD;
constexpr uint32_t kDefaultBorder = 0xFF0078D7;
constexpr uint32_t kPressedButton = 0xFFCCE4F7;
constexpr uint32_t kDisabledButton = 0xFFCCCCCC;
constexpr uint32_t kTrack = 0xFFE8E8E8;
constexpr uint32_t kThumb = 0xFFC2C2C2;
constexpr uint32_t kArrow = 0xFF606060;
constexpr int32_t kScrollBarWidth = 17;
constexpr int32_t kWheelLines = 3;
// How long one pump may wait for the program's thread to let go of the display.
constexpr auto kDisplayWait = std::chrono::milliseconds(10);

// The dialogs whose events are taken out of SDL's queue, by window id.
struct Routes {
    std::mutex lock;
    std::map<uint32_t, SdlDialog*> dialogs;
    // The filter that was set before ours; events of other windows go on to it.
    SDL_EventFilter previous = nullptr;
    void* previousData = nullptr;
};

Routes& GetRoutes()
{
    static Routes* routes = new Routes();
    return *routes;
}

// The window an event belongs to; 0 for events of no window.
uint32_t WindowIdOf(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_TEXTEDITING:
        return event.edit.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    case SDL_MOUSEWHEEL:
        return event.wheel.windowID;
    default:
        return 0;
    }
}

bool Inside(const RECT& rect, int32_t x, int32_t y)
{
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

bool IsEdit(const DialogControl& control) { return control.className == "EDIT"; }
bool IsEditable(const DialogControl& control) { return IsEdit(control) && !(control.style & ES_READONLY); }
bool IsEnabled(const DialogControl& control) { return !(control.style & WS_DISABLED); }

} // namespace

std::unique_ptr<DialogWindow> SdlDialog::Open(const DialogLayout& layout, std::shared_ptr<std::timed_mutex> display)
{
    std::unique_ptr<SdlDialog> dialog(new SdlDialog(layout, std::move(display)));
    return dialog->mWindow ? std::move(dialog) : nullptr;
}

SdlDialog::SdlDialog(const DialogLayout& layout, std::shared_ptr<std::timed_mutex> display)
    : mDisplay(std::move(display)), mWidth(std::max(1, layout.clientWidth)),
      mHeight(std::max(1, layout.clientHeight)), mPixels(size_t(mWidth) * size_t(mHeight), kFace),
      mFocus(layout.focus)
{
    for (const DialogControl& spec : layout.controls) {
        const std::string key = spec.fontFace + "/" + std::to_string(spec.fontHeight) + "/" +
                                std::to_string(spec.fontWeight);
        std::unique_ptr<SdlDialogFace>& face = mFaces[key];
        if (!face)
            face = std::make_unique<SdlDialogFace>(spec.fontFace, spec.fontHeight, spec.fontWeight);
        mControls.push_back(Control{spec, face.get(), 0});
    }
    std::unique_lock<std::timed_mutex> hold(*mDisplay, std::defer_lock);
    if (!Hold(hold, std::chrono::seconds(1))) {
        LogLine("Dialog \"" + layout.title + "\": the display stays busy");
        return;
    }
    mWindow = SDL_CreateWindow(Utf8FromCp1252(layout.title).c_str(), layout.origin.x, layout.origin.y, mWidth,
                               mHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_ALWAYS_ON_TOP);
    if (!mWindow) {
        LogLine(std::string("Dialog window: ") + SDL_GetError());
        return;
    }
    mWindowId = SDL_GetWindowID(mWindow);
    Routes& routes = GetRoutes();
    // SDL forgets the filter when its video restarts. The filter is set
    // outside the routes' lock, which the filter takes under SDL's own.
    SDL_EventFilter current = nullptr;
    void* currentData = nullptr;
    const bool filtered = SDL_GetEventFilter(&current, &currentData) == SDL_TRUE;
    if (!filtered || current != Route) {
        {
            std::lock_guard<std::mutex> lock(routes.lock);
            routes.previous = filtered ? current : nullptr;
            routes.previousData = currentData;
        }
        SDL_SetEventFilter(Route, nullptr);
    }
    std::lock_guard<std::mutex> lock(routes.lock);
    routes.dialogs[mWindowId] = this;
}

SdlDialog::~SdlDialog()
{
    if (!mWindow)
        return;
    {
        std::unique_lock<std::timed_mutex> hold(*mDisplay, std::defer_lock);
        // A display that stays busy keeps the window rather than the caller.
        if (Hold(hold, std::chrono::seconds(1)))
            SDL_DestroyWindow(mWindow);
    }
    // Only now: what the window's end sends is still this dialog's.
    Routes& routes = GetRoutes();
    std::lock_guard<std::mutex> lock(routes.lock);
    routes.dialogs.erase(mWindowId);
}

bool SdlDialog::Hold(std::unique_lock<std::timed_mutex>& hold, std::chrono::milliseconds wait)
{
    return hold.try_lock_for(wait) && !X11ServerLost();
}

int SDLCALL SdlDialog::Route(void*, SDL_Event* event)
{
    Routes& routes = GetRoutes();
    SDL_EventFilter previous = nullptr;
    void* previousData = nullptr;
    {
        std::lock_guard<std::mutex> lock(routes.lock);
        const auto found = routes.dialogs.find(WindowIdOf(*event));
        if (found != routes.dialogs.end()) {
            found->second->Queue(*event);
            return 0;
        }
        previous = routes.previous;
        previousData = routes.previousData;
    }
    return previous ? previous(previousData, event) : 1;
}

void SdlDialog::Queue(const SDL_Event& event)
{
    std::lock_guard<std::mutex> lock(mEventsLock);
    mEvents.push_back(event);
}

void SdlDialog::Show(bool visible)
{
    mVisible = visible;
    mDirty = true;
    std::unique_lock<std::timed_mutex> hold(*mDisplay, std::defer_lock);
    if (!Hold(hold, std::chrono::seconds(1)))
        return;
    if (visible) {
        SDL_ShowWindow(mWindow);
        SDL_RaiseWindow(mWindow);
    } else {
        SDL_HideWindow(mWindow);
    }
}

void SdlDialog::SetControlText(size_t control, const std::string& text)
{
    if (control >= mControls.size())
        return;
    mControls[control].spec.text = text;
    mDirty = true;
    Paint();
}

std::string SdlDialog::ControlText(size_t control)
{
    return control < mControls.size() ? mControls[control].spec.text : std::string();
}

DialogEvent SdlDialog::Wait(uint32_t timeoutMillis)
{
    const uint64_t deadline = SDL_GetTicks64() + timeoutMillis;
    for (;;) {
        {
            std::unique_lock<std::timed_mutex> hold(*mDisplay, std::defer_lock);
            if (Hold(hold, kDisplayWait))
                SDL_PumpEvents();
        }
        // Nobody is left to answer a window that went with its X server.
        if (X11ServerLost())
            return DialogEvent{DialogEvent::Kind::Close};
        std::deque<SDL_Event> events;
        {
            std::lock_guard<std::mutex> lock(mEventsLock);
            events.swap(mEvents);
        }
        for (const SDL_Event& event : events) {
            const DialogEvent result = Handle(event);
            if (result.kind != DialogEvent::Kind::None) {
                Paint();
                return result;
            }
        }
        Paint();
        const uint64_t now = SDL_GetTicks64();
        if (now >= deadline)
            return DialogEvent{};
        SDL_Delay(uint32_t(std::min<uint64_t>(10, deadline - now)));
    }
}

DialogEvent SdlDialog::Handle(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            return DialogEvent{DialogEvent::Kind::Close, 0};
        mDirty = true;
        break;
    case SDL_MOUSEMOTION:
        mMouse = POINT{event.motion.x, event.motion.y};
        break;
    case SDL_MOUSEBUTTONDOWN: {
        if (event.button.button != SDL_BUTTON_LEFT)
            break;
        mMouse = POINT{event.button.x, event.button.y};
        const int hit = HitControl(mMouse.x, mMouse.y);
        if (hit < 0)
            break;
        Control& control = mControls[size_t(hit)];
        if (!IsEnabled(control.spec))
            break;
        mDirty = true;
        if (!IsEdit(control.spec))
            mPressed = hit;
        else if ((control.spec.style & WS_VSCROLL) && mMouse.x >= TextArea(control).right)
            ScrollByClick(control, mMouse.y);
        else if (IsEditable(control.spec))
            mFocus = hit;
        break;
    }
    case SDL_MOUSEBUTTONUP: {
        if (event.button.button != SDL_BUTTON_LEFT || mPressed < 0)
            break;
        const int pressed = mPressed;
        mPressed = -1;
        mDirty = true;
        if (HitControl(event.button.x, event.button.y) == pressed)
            return DialogEvent{DialogEvent::Kind::Pressed, size_t(pressed)};
        break;
    }
    case SDL_MOUSEWHEEL: {
        const int hit = HitControl(mMouse.x, mMouse.y);
        if (hit >= 0 && (mControls[size_t(hit)].spec.style & WS_VSCROLL))
            Scroll(mControls[size_t(hit)], -event.wheel.y * kWheelLines);
        break;
    }
    case SDL_TEXTINPUT:
        for (char key : Cp1252FromUtf8(event.text.text))
            Type(key);
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER) {
            Type('\r');
        } else if (event.key.keysym.sym == SDLK_BACKSPACE) {
            Type('\b');
        } else if (event.key.keysym.sym == SDLK_v && (event.key.keysym.mod & KMOD_CTRL)) {
            std::unique_lock<std::timed_mutex> hold(*mDisplay, std::defer_lock);
            if (!Hold(hold, kDisplayWait))
                break;
            if (char* pasted = SDL_GetClipboardText()) {
                for (char key : Cp1252FromUtf8(pasted)) {
                    if (key != '\r')
                        Type(key == '\n' ? '\r' : key);
                }
                SDL_free(pasted);
            }
        }
        break;
    default:
        break;
    }
    return DialogEvent{};
}

void SdlDialog::Type(char key)
{
    if (mFocus < 0 || !IsEditable(mControls[size_t(mFocus)].spec))
        return;
    Control& control = mControls[size_t(mFocus)];
    TypeIntoEdit(control.spec.text, key);
    // The caret stays in sight.
    Scroll(control, int32_t(LinesOf(control).size()));
    mDirty = true;
}

int SdlDialog::HitControl(int32_t x, int32_t y) const
{
    for (size_t i = 0; i < mControls.size(); ++i) {
        if (Inside(mControls[i].spec.place, x, y))
            return int(i);
    }
    return -1;
}

RECT SdlDialog::TextArea(const Control& control) const
{
    RECT area = control.spec.place;
    if (control.spec.style & WS_BORDER)
        area = RECT{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
    if (control.spec.style & WS_VSCROLL)
        area.right -= kScrollBarWidth;
    return area;
}

std::vector<std::string> SdlDialog::LinesOf(Control& control)
{
    const RECT area = TextArea(control);
    if (!(control.spec.style & ES_MULTILINE))
        return {control.spec.text};
    return control.face->Wrap(control.spec.text, area.right - area.left - 4);
}

void SdlDialog::Scroll(Control& control, int32_t lines)
{
    const RECT area = TextArea(control);
    const int32_t visible = std::max(1, (area.bottom - area.top - 2) / std::max(1, control.face->LineHeight()));
    const int32_t total = int32_t(LinesOf(control).size());
    control.firstLine = std::clamp(control.firstLine + lines, 0, std::max(0, total - visible));
    mDirty = true;
}

void SdlDialog::ScrollByClick(Control& control, int32_t y)
{
    const RECT area = TextArea(control);
    const int32_t page = std::max(1, (area.bottom - area.top) / std::max(1, control.face->LineHeight()) - 1);
    if (y < area.top + kScrollBarWidth)
        Scroll(control, -1);
    else if (y >= area.bottom - kScrollBarWidth)
        Scroll(control, 1);
    else
        Scroll(control, y < (area.top + area.bottom) / 2 ? -page : page);
}

void SdlDialog::Fill(const RECT& rect, uint32_t color)
{
    for (int32_t y = std::max(0, rect.top); y < std::min(mHeight, rect.bottom); ++y) {
        for (int32_t x = std::max(0, rect.left); x < std::min(mWidth, rect.right); ++x)
            mPixels[size_t(y) * size_t(mWidth) + size_t(x)] = color;
    }
}

void SdlDialog::Frame(const RECT& rect, uint32_t color)
{
    Fill(RECT{rect.left, rect.top, rect.right, rect.top + 1}, color);
    Fill(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    Fill(RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, color);
    Fill(RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

void SdlDialog::PaintEdit(Control& control, bool focused)
{
    const DialogControl& spec = control.spec;
    const RECT area = TextArea(control);
    Fill(spec.place, IsEditable(spec) ? kWindow : kFace);
    if (spec.style & WS_BORDER)
        Frame(spec.place, kBorder);
    const std::vector<std::string> lines = LinesOf(control);
    const int32_t lineHeight = std::max(1, control.face->LineHeight());
    int32_t y = area.top + 1;
    for (size_t i = size_t(control.firstLine); i < lines.size() && y < area.bottom; ++i, y += lineHeight)
        control.face->Draw(lines[i], area.left + 2, y, area, kText, mPixels.data(), mWidth);
    if (focused && IsEditable(spec) && !lines.empty()) {
        const int32_t caretY = area.top + 1 + (int32_t(lines.size()) - 1 - control.firstLine) * lineHeight;
        const int32_t caretX = area.left + 2 + control.face->Width(lines.back());
        if (caretY >= area.top && caretY + lineHeight <= area.bottom)
            Fill(RECT{caretX, caretY, caretX + 1, caretY + lineHeight}, kText);
    }
    if (spec.style & WS_VSCROLL)
        PaintScrollBar(control);
}

void SdlDialog::PaintScrollBar(Control& control)
{
    const RECT area = TextArea(control);
    const RECT bar{area.right, area.top, area.right + kScrollBarWidth, area.bottom};
    Fill(bar, kTrack);
    // The arrows at both ends, as small triangles.
    const int32_t middle = (bar.left + bar.right) / 2;
    for (int32_t row = 0; row < 4; ++row) {
        Fill(RECT{middle - row, bar.top + 6 + row, middle + row + 1, bar.top + 7 + row}, kArrow);
        Fill(RECT{middle - row, bar.bottom - 7 - row, middle + row + 1, bar.bottom - 6 - row}, kArrow);
    }
    const int32_t track = bar.bottom - bar.top - 2 * kScrollBarWidth;
    const int32_t lineHeight = std::max(1, control.face->LineHeight());
    const int32_t visible = std::max(1, (area.bottom - area.top - 2) / lineHeight);
    const int32_t total = int32_t(LinesOf(control).size());
    if (total <= visible || track <= 0)
        return;
    const int32_t thumb = std::max(8, track * visible / total);
    const int32_t top = bar.top + kScrollBarWidth + (track - thumb) * control.firstLine / (total - visible);
    Fill(RECT{bar.left + 2, top, bar.right - 2, top + thumb}, kThumb);
}

void SdlDialog::PaintButton(Control& control, bool pressed)
{
    const DialogControl& spec = control.spec;
    const bool enabled = IsEnabled(spec);
    Fill(spec.place, !enabled ? kDisabledButton : pressed ? kPressedButton : kButton);
    Frame(spec.place, enabled && (spec.style & BS_DEFPUSHBUTTON) ? kDefaultBorder : kButtonBorder);
    const int32_t width = control.face->Width(spec.text);
    const int32_t x = (spec.place.left + spec.place.right - width) / 2;
    const int32_t y = (spec.place.top + spec.place.bottom - control.face->LineHeight()) / 2;
    control.face->Draw(spec.text, x, y, spec.place, enabled ? kText : kGrayText, mPixels.data(), mWidth);
}

void SdlDialog::Paint()
{
    if (!mDirty || !mVisible)
        return;
    std::fill(mPixels.begin(), mPixels.end(), kFace);
    for (size_t i = 0; i < mControls.size(); ++i) {
        Control& control = mControls[i];
        if (IsEdit(control.spec))
            PaintEdit(control, int(i) == mFocus);
        else
            PaintButton(control, int(i) == mPressed && HitControl(mMouse.x, mMouse.y) == mPressed);
    }
    std::unique_lock<std::timed_mutex> hold(*mDisplay, std::defer_lock);
    if (!Hold(hold, kDisplayWait))
        return;
    SDL_Surface* surface = SDL_GetWindowSurface(mWindow);
    if (!surface)
        return;
    const int32_t width = std::min(mWidth, surface->w);
    const int32_t height = std::min(mHeight, surface->h);
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_ARGB8888, mPixels.data(), mWidth * 4, surface->format->format,
                      surface->pixels, surface->pitch);
    SDL_UpdateWindowSurface(mWindow);
    mDirty = false;
}

} // namespace Platform
