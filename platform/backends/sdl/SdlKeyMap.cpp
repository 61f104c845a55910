#include "platform/backends/sdl/SdlKeyMap.h"

#include "platform/windows/VirtualKeys.h"

#include <SDL.h>

namespace Platform {

namespace {

uint8_t FromCharacter(int32_t keycode)
{
    if (keycode >= 'a' && keycode <= 'z')
        return uint8_t(keycode - 'a' + 'A');
    if (keycode >= '0' && keycode <= '9')
        return uint8_t(keycode);
    switch (keycode) {
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_DELETE:
        return VK_DELETE;
    case ';':
        return VK_OEM_1;
    case '=':
        return VK_OEM_PLUS;
    case ',':
        return VK_OEM_COMMA;
    case '-':
        return VK_OEM_MINUS;
    case '.':
        return VK_OEM_PERIOD;
    case '/':
        return VK_OEM_2;
    case '`':
        return VK_OEM_3;
    case '[':
        return VK_OEM_4;
    case '\\':
        return VK_OEM_5;
    case ']':
        return VK_OEM_6;
    case '\'':
        return VK_OEM_7;
    default:
        return 0;
    }
}

uint8_t FromPosition(int32_t scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return uint8_t('A' + scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return uint8_t('1' + scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return uint8_t(VK_F1 + scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return uint8_t(VK_NUMPAD0 + 1 + scancode - SDL_SCANCODE_KP_1);
    switch (scancode) {
    case SDL_SCANCODE_0:
        return '0';
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
        return VK_RETURN;
    case SDL_SCANCODE_ESCAPE:
        return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
        return VK_BACK;
    case SDL_SCANCODE_TAB:
        return VK_TAB;
    case SDL_SCANCODE_SPACE:
        return VK_SPACE;
    case SDL_SCANCODE_MINUS:
        return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS:
        return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET:
        return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET:
        return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
        return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON:
        return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE:
        return VK_OEM_7;
    case SDL_SCANCODE_GRAVE:
        return VK_OEM_3;
    case SDL_SCANCODE_COMMA:
        return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD:
        return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH:
        return VK_OEM_2;
    case SDL_SCANCODE_CAPSLOCK:
        return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN:
        return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK:
        return VK_SCROLL;
    case SDL_SCANCODE_PAUSE:
        return VK_PAUSE;
    case SDL_SCANCODE_INSERT:
        return VK_INSERT;
    case SDL_SCANCODE_HOME:
        return VK_HOME;
    case SDL_SCANCODE_PAGEUP:
        return VK_PRIOR;
    case SDL_SCANCODE_DELETE:
        return VK_DELETE;
    case SDL_SCANCODE_END:
        return VK_END;
    case SDL_SCANCODE_PAGEDOWN:
        return VK_NEXT;
    case SDL_SCANCODE_RIGHT:
        return VK_RIGHT;
    case SDL_SCANCODE_LEFT:
        return VK_LEFT;
    case SDL_SCANCODE_DOWN:
        return VK_DOWN;
    case SDL_SCANCODE_UP:
        return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE:
        return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS:
        return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS:
        return VK_ADD;
    case SDL_SCANCODE_KP_0:
        return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD:
        return VK_DECIMAL;
    case SDL_SCANCODE_NONUSBACKSLASH:
        return VK_OEM_102;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
        return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
        return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
        return VK_MENU;
    default:
        return 0;
    }
}

} // namespace

uint8_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode)
{
    uint8_t key = FromCharacter(keycode);
    return key ? key : FromPosition(scancode);
}

} // namespace Platform
