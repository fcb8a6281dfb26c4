// OpenGL as the renderer reaches it: 3.3 core through libepoxy on the desktop, OpenGL ES 3.0 (WebGL 2)
// in the browser. One renderer draws on both; the few places where they differ read these names.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>
#endif

namespace pf {

#ifdef __EMSCRIPTEN__
// WebGL 2 takes RGBA uploads only and maps no buffers; its shaders are GLSL ES 3.00, which wants the
// precision of floats said in fragment shaders.
constexpr GLenum kGlStorageFormat = GL_RGBA;
constexpr bool kGlMapsBuffers = false;
constexpr const char* kGlslHeader = "#version 300 es\nprecision highp float;\n";
// The context is WebGL 2 or there is none: the version was settled when it was made.
inline bool pfGlVersionUsable() {
    return true;
}
#else
// Software rasterisers blend and sample BGRA on their fastest path (see TGlTextures::Upload).
constexpr GLenum kGlStorageFormat = GL_BGRA;
constexpr bool kGlMapsBuffers = true;
constexpr const char* kGlslHeader = "#version 330 core\n";
inline bool pfGlVersionUsable() {
    return epoxy_gl_version() >= 33;
}
#endif

}  // namespace pf
