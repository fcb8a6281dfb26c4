#include "pflib/sdl/TSdlEvents.h"

namespace pf {

int TSdlEvents::KeyCode(SDL_Keycode key, Uint16 modifiers) {
    if (key >= SDLK_a && key <= SDLK_z) {
        const bool upper = ((modifiers & KMOD_SHIFT) != 0) != ((modifiers & KMOD_CAPS) != 0);
        return upper ? key - SDLK_a + 'A' : key;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) return kKeyF1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_BACKSPACE:
            return kKeyBackspace;
        case SDLK_TAB:
            return kKeyTab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return kKeyEnter;
        case SDLK_ESCAPE:
            return kKeyEscape;
        case SDLK_DELETE:
            return kKeyDelete;
        case SDLK_HOME:
            return kKeyHome;
        case SDLK_END:
            return kKeyEnd;
        case SDLK_PAGEUP:
            return kKeyPageUp;
        case SDLK_PAGEDOWN:
            return kKeyPageDown;
        case SDLK_LEFT:
            return kKeyLeft;
        case SDLK_RIGHT:
            return kKeyRight;
        case SDLK_UP:
            return kKeyUp;
        case SDLK_DOWN:
            return kKeyDown;
        case SDLK_INSERT:
            return kKeyInsert;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return kKeyShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return kKeyControl;
        case SDLK_LALT:
        case SDLK_RALT:
            return kKeyAlt;
        case SDLK_KP_0:
            return '0';
        default:
            break;
    }
    // Other printable keys give their (unshifted) character.
    if (key >= 32 && key < 127) return key;
    return 0;
}

bool TSdlEvents::Translate(const SDL_Event& in, TEvent& out) {
    out = TEvent();
    switch (in.type) {
        case SDL_QUIT:
            out.type = kEventQuit;
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            // The game knows one button: the other buttons must not click.
            if (in.button.button != SDL_BUTTON_LEFT) return false;
            out.type = in.type == SDL_MOUSEBUTTONDOWN ? kEventButtonDown : kEventButtonUp;
            out.x = in.button.x;
            out.y = in.button.y;
            return true;
        case SDL_MOUSEMOTION:
            out.type = kEventPointerMove;
            out.x = in.motion.x;
            out.y = in.motion.y;
            return true;
        case SDL_WINDOWEVENT:
            switch (in.window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    out.type = kEventDisplayResized;
                    out.x = in.window.data1;
                    out.y = in.window.data2;
                    return true;
                case SDL_WINDOWEVENT_LEAVE:
                    out.type = kEventPointerLeft;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    out.type = kEventActivation;
                    out.code = in.window.event == SDL_WINDOWEVENT_FOCUS_GAINED ? 1 : 0;
                    return true;
                default:
                    return false;
            }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const SDL_Keycode key = in.key.keysym.sym;
            const Uint16 mod = in.key.keysym.mod;
            if ((key == SDLK_RETURN || key == SDLK_KP_ENTER) && (mod & KMOD_ALT)) {
                // Alt+Enter switches between window and full screen; its release says nothing.
                if (in.type == SDL_KEYUP || in.key.repeat) return false;
                out.type = kEventDisplayToggle;
                return true;
            }
            out.code = KeyCode(key, mod);
            if (out.code == 0) return false;
            out.type = in.type == SDL_KEYDOWN ? kEventKeyDown : kEventKeyUp;
            if (in.type == SDL_KEYDOWN && in.key.repeat) out.flags = kKeyFlagRepeat;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace pf
