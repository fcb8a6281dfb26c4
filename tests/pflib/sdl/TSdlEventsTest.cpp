#include <gtest/gtest.h>

#include "pflib/sdl/TSdlEvents.h"

using pf::TEvent;
using pf::TSdlEvents;

namespace {

SDL_Event Key(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE, bool repeat = false) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat ? 1 : 0;
    return e;
}

SDL_Event Window(Uint8 event) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    return e;
}

TEvent Translate(const SDL_Event& in) {
    TEvent out;
    out.type = -1;
    if (!TSdlEvents::Translate(in, out)) out.type = -1;
    return out;
}

}  // namespace

TEST(SdlEventsTest, KeysMapToTheirCodes) {
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_a, KMOD_NONE), 'a');
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_a, KMOD_LSHIFT), 'A');
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_z, KMOD_CAPS), 'Z');
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_z, KMOD_CAPS | KMOD_RSHIFT), 'z');
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_7, KMOD_NONE), '7');
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_KP_7, KMOD_NONE), '7');
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_KP_0, KMOD_NONE), '0');
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_F1, KMOD_NONE), pf::kKeyF1);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_F12, KMOD_NONE), pf::kKeyF12);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_F12, KMOD_NONE), -89);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_RETURN, KMOD_NONE), pf::kKeyEnter);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_KP_ENTER, KMOD_NONE), 13);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_BACKSPACE, KMOD_NONE), 8);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_ESCAPE, KMOD_NONE), 27);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_SPACE, KMOD_NONE), ' ');
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_LEFT, KMOD_NONE), -126);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_RIGHT, KMOD_NONE), -125);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_HOME, KMOD_NONE), pf::kKeyHome);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_RSHIFT, KMOD_NONE), pf::kKeyShift);
    EXPECT_EQ(TSdlEvents::KeyCode(SDLK_CAPSLOCK, KMOD_NONE), 0) << "not reported";
}

TEST(SdlEventsTest, KeyDownRepeatAndUp) {
    TEvent down = Translate(Key(SDL_KEYDOWN, SDLK_b, KMOD_SHIFT));
    EXPECT_EQ(down.type, pf::kEventKeyDown);
    EXPECT_EQ(down.code, 'B');
    EXPECT_EQ(down.flags, 0);
    TEvent repeat = Translate(Key(SDL_KEYDOWN, SDLK_b, KMOD_NONE, true));
    EXPECT_EQ(repeat.flags, pf::kKeyFlagRepeat);
    TEvent up = Translate(Key(SDL_KEYUP, SDLK_LEFT));
    EXPECT_EQ(up.type, pf::kEventKeyUp);
    EXPECT_EQ(up.code, pf::kKeyLeft);
    EXPECT_EQ(Translate(Key(SDL_KEYDOWN, SDLK_CAPSLOCK)).type, -1);
}

TEST(SdlEventsTest, AltEnterTogglesTheDisplayInsteadOfTypingEnter) {
    EXPECT_EQ(Translate(Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT)).type, pf::kEventDisplayToggle);
    EXPECT_EQ(Translate(Key(SDL_KEYUP, SDLK_RETURN, KMOD_LALT)).type, -1);
    EXPECT_EQ(Translate(Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, true)).type, -1);
    EXPECT_EQ(Translate(Key(SDL_KEYDOWN, SDLK_RETURN)).type, pf::kEventKeyDown);
}

TEST(SdlEventsTest, PointerWindowAndQuitEvents) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 12;
    e.button.y = 34;
    TEvent out = Translate(e);
    EXPECT_EQ(out.type, pf::kEventButtonDown);
    EXPECT_EQ(out.x, 12);
    EXPECT_EQ(out.y, 34);
    e.type = SDL_MOUSEBUTTONUP;
    EXPECT_EQ(Translate(e).type, pf::kEventButtonUp);
    e.button.button = SDL_BUTTON_RIGHT;
    EXPECT_EQ(Translate(e).type, -1) << "only the left button clicks";

    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 5;
    motion.motion.y = 6;
    out = Translate(motion);
    EXPECT_EQ(out.type, pf::kEventPointerMove);
    EXPECT_EQ(out.x, 5);
    EXPECT_EQ(out.y, 6);

    EXPECT_EQ(Translate(Window(SDL_WINDOWEVENT_LEAVE)).type, pf::kEventPointerLeft);
    out = Translate(Window(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_EQ(out.type, pf::kEventActivation);
    EXPECT_EQ(out.code, 1);
    out = Translate(Window(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(out.type, pf::kEventActivation);
    EXPECT_EQ(out.code, 0);
    EXPECT_EQ(Translate(Window(SDL_WINDOWEVENT_MOVED)).type, -1);
    SDL_Event resized = Window(SDL_WINDOWEVENT_SIZE_CHANGED);
    resized.window.data1 = 1280;
    resized.window.data2 = 600;
    out = Translate(resized);
    EXPECT_EQ(out.type, pf::kEventDisplayResized);
    EXPECT_EQ(out.x, 1280);
    EXPECT_EQ(out.y, 600);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(Translate(quit).type, pf::kEventQuit);
}
