// The OpenGL device's callbacks on an off-screen Mesa context: uploads honour the row stride, its texture
// ids are its own, and batches it cannot draw are refused.
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <string>

#include "pixmote/include/pixmote_opengl.h"

namespace {

template <class F>
F glFunction(const char* name) {
    return reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
}
#define PM_TEST_GL(type, name) auto name##_ = glFunction<type>(#name)

struct OffscreenGl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    OffscreenGl() {
        if (!SDL_getenv("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        window = SDL_CreateWindow("pixmote", 0, 0, 8, 8, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window) context = SDL_GL_CreateContext(window);
    }
    ~OffscreenGl() {
        if (context) SDL_GL_DeleteContext(context);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

}  // namespace

TEST(PixmoteOpenGlDeviceTest, RefusesAMissingLoaderOrFunction) {
    EXPECT_EQ(pm_opengl_create(nullptr), nullptr);
    EXPECT_STRNE(pm_opengl_error(), "");
    EXPECT_EQ(pm_opengl_create([](const char*) -> void* { return nullptr; }), nullptr);
    EXPECT_NE(std::string(pm_opengl_error()).find("glCreateShader"), std::string::npos) << pm_opengl_error();
    EXPECT_EQ(pm_opengl_device(nullptr), nullptr);
    pm_opengl_destroy(nullptr);
}

TEST(PixmoteOpenGlDeviceTest, UploadsDrawsAndKeepsToItsOwnTextures) {
#ifdef HALVERN_SANITIZED
    GTEST_SKIP() << "the GL driver's allocations in this process are unnamed to the leak check; the "
                    "normal build runs this";
#endif
    OffscreenGl gl;
    if (!gl.context) GTEST_SKIP() << "no OpenGL 3.3 context here: " << SDL_GetError();
    pm_opengl* dev = pm_opengl_create(SDL_GL_GetProcAddress);
    ASSERT_NE(dev, nullptr) << pm_opengl_error();
    EXPECT_STREQ(pm_opengl_error(), "");
    const pm_device* d = pm_opengl_device(dev);

    PM_TEST_GL(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers);
    PM_TEST_GL(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer);
    PM_TEST_GL(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers);
    PM_TEST_GL(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer);
    PM_TEST_GL(PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage);
    PM_TEST_GL(PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer);
    PM_TEST_GL(decltype(&glReadPixels), glReadPixels);
    PM_TEST_GL(decltype(&glGenTextures), glGenTextures);
    PM_TEST_GL(decltype(&glBindTexture), glBindTexture);
    PM_TEST_GL(decltype(&glIsTexture), glIsTexture);
    GLuint fbo = 0, colour = 0;
    glGenFramebuffers_(1, &fbo);
    glBindFramebuffer_(GL_FRAMEBUFFER, fbo);
    glGenRenderbuffers_(1, &colour);
    glBindRenderbuffer_(GL_RENDERBUFFER, colour);
    glRenderbufferStorage_(GL_RENDERBUFFER, GL_RGBA8, 2, 2);
    glFramebufferRenderbuffer_(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);

    // Rows of two pixels, nine bytes apart: GL cannot take that stride as it is.
    const uint8_t rows[18] = {255, 0, 0, 255, 0, 255, 0, 255, 7, 0, 0, 255, 255, 255, 255, 255, 255, 7};
    uint32_t tex = d->create_texture(d->user, 2, 2, nullptr);
    ASSERT_NE(tex, 0u);
    EXPECT_EQ(d->update_texture(d->user, tex, 0, 0, 2, 2, rows, 9), 0);
    EXPECT_EQ(d->update_texture(d->user, tex, 1, 1, 2, 2, rows, 9), -1);
    EXPECT_EQ(d->update_texture(d->user, tex + 100, 0, 0, 1, 1, rows, 9), -1);
    EXPECT_EQ(d->create_texture(d->user, 0, 4, nullptr), 0u);

    d->begin_frame(d->user, 2, 2);
    const pm_vertex quad[6] = {{0, 0, 0, 0, 255, 255, 255, 255}, {2, 0, 1, 0, 255, 255, 255, 255},
                               {2, 2, 1, 1, 255, 255, 255, 255}, {0, 0, 0, 0, 255, 255, 255, 255},
                               {2, 2, 1, 1, 255, 255, 255, 255}, {0, 2, 0, 1, 255, 255, 255, 255}};
    EXPECT_EQ(d->draw_triangles(d->user, quad, 6, tex, PM_BLEND_NORMAL), 0);
    EXPECT_EQ(d->draw_triangles(d->user, quad, 5, tex, PM_BLEND_NORMAL), -1);
    EXPECT_EQ(d->draw_triangles(d->user, quad, 6, tex + 100, PM_BLEND_NORMAL), -1);
    EXPECT_EQ(d->draw_triangles(d->user, quad, 6, tex, static_cast<pm_blend_mode>(PM_BLEND_MODE_COUNT)), -1);
    d->end_frame(d->user);
    uint8_t pixels[16] = {};
    glReadPixels_(0, 0, 2, 2, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    // Read bottom row first: blue, white, then red, green on top as uploaded.
    const uint8_t expected[16] = {0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(pixels[i], expected[i]) << i;

    // An id the device never made is not one of its GL names: the host's texture stays.
    d->destroy_texture(d->user, tex);
    GLuint host = 0;
    glGenTextures_(1, &host);
    glBindTexture_(GL_TEXTURE_2D, host);
    d->destroy_texture(d->user, host);
    d->destroy_texture(d->user, tex);
    EXPECT_TRUE(glIsTexture_(host));
    pm_opengl_destroy(dev);
}
