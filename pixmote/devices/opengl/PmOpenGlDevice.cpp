// The OpenGL 3.3 device: one program (texel times vertex colour), one streamed vertex buffer, textures
// kept by the device's own ids, the clip as a scissor. Functions come from the host's loader, so the
// library links no GL and works under any windowing library.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "pixmote/include/pixmote_opengl.h"

namespace {

// The few GL types and enums the device uses; the values are fixed by the GL API.
using GLenum = unsigned int;
using GLuint = unsigned int;
using GLint = int;
using GLsizei = int;
using GLboolean = unsigned char;
using GLfloat = float;
using GLchar = char;
using GLsizeiptr = std::ptrdiff_t;

constexpr GLenum GL_TRIANGLES = 0x0004;
constexpr GLenum GL_ONE = 1;
constexpr GLenum GL_ONE_MINUS_SRC_ALPHA = 0x0303, GL_DST_COLOR = 0x0306, GL_ONE_MINUS_DST_COLOR = 0x0307;
constexpr GLenum GL_FUNC_ADD = 0x8006;
constexpr GLenum GL_CULL_FACE = 0x0B44, GL_DEPTH_TEST = 0x0B71, GL_STENCIL_TEST = 0x0B90, GL_BLEND = 0x0BE2,
                 GL_SCISSOR_TEST = 0x0C11;
constexpr GLenum GL_UNPACK_ROW_LENGTH = 0x0CF2, GL_UNPACK_SKIP_ROWS = 0x0CF3, GL_UNPACK_SKIP_PIXELS = 0x0CF4,
                 GL_UNPACK_ALIGNMENT = 0x0CF5, GL_MAX_TEXTURE_SIZE = 0x0D33;
constexpr GLenum GL_TEXTURE_2D = 0x0DE1, GL_UNSIGNED_BYTE = 0x1401, GL_FLOAT = 0x1406, GL_RGBA = 0x1908,
                 GL_RGBA8 = 0x8058;
constexpr GLenum GL_NEAREST = 0x2600, GL_TEXTURE_MAG_FILTER = 0x2800, GL_TEXTURE_MIN_FILTER = 0x2801,
                 GL_TEXTURE_WRAP_S = 0x2802, GL_TEXTURE_WRAP_T = 0x2803, GL_CLAMP_TO_EDGE = 0x812F;
constexpr GLenum GL_TEXTURE0 = 0x84C0, GL_ARRAY_BUFFER = 0x8892, GL_STREAM_DRAW = 0x88E0,
                 GL_PIXEL_UNPACK_BUFFER = 0x88EC;
constexpr GLenum GL_FRAGMENT_SHADER = 0x8B30, GL_VERTEX_SHADER = 0x8B31, GL_COMPILE_STATUS = 0x8B81,
                 GL_LINK_STATUS = 0x8B82;

// Every GL function the device calls: return type, name, parameters.
#define PM_GL_FUNCTIONS(X)                                                                               \
    X(GLuint, CreateShader, (GLenum))                                                                    \
    X(void, ShaderSource, (GLuint, GLsizei, const GLchar* const*, const GLint*))                         \
    X(void, CompileShader, (GLuint))                                                                     \
    X(void, GetShaderiv, (GLuint, GLenum, GLint*))                                                       \
    X(void, GetShaderInfoLog, (GLuint, GLsizei, GLsizei*, GLchar*))                                      \
    X(void, DeleteShader, (GLuint))                                                                      \
    X(GLuint, CreateProgram, ())                                                                         \
    X(void, AttachShader, (GLuint, GLuint))                                                              \
    X(void, LinkProgram, (GLuint))                                                                       \
    X(void, GetProgramiv, (GLuint, GLenum, GLint*))                                                      \
    X(void, DeleteProgram, (GLuint))                                                                     \
    X(void, UseProgram, (GLuint))                                                                        \
    X(GLint, GetUniformLocation, (GLuint, const GLchar*))                                                \
    X(void, Uniform1i, (GLint, GLint))                                                                   \
    X(void, Uniform1f, (GLint, GLfloat))                                                                 \
    X(void, Uniform2f, (GLint, GLfloat, GLfloat))                                                        \
    X(void, GenVertexArrays, (GLsizei, GLuint*))                                                         \
    X(void, BindVertexArray, (GLuint))                                                                   \
    X(void, DeleteVertexArrays, (GLsizei, const GLuint*))                                                \
    X(void, GenBuffers, (GLsizei, GLuint*))                                                              \
    X(void, BindBuffer, (GLenum, GLuint))                                                                \
    X(void, BufferData, (GLenum, GLsizeiptr, const void*, GLenum))                                       \
    X(void, DeleteBuffers, (GLsizei, const GLuint*))                                                     \
    X(void, EnableVertexAttribArray, (GLuint))                                                           \
    X(void, VertexAttribPointer, (GLuint, GLint, GLenum, GLboolean, GLsizei, const void*))               \
    X(void, GenTextures, (GLsizei, GLuint*))                                                             \
    X(void, BindTexture, (GLenum, GLuint))                                                               \
    X(void, TexImage2D, (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*))    \
    X(void, TexSubImage2D, (GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*)) \
    X(void, TexParameteri, (GLenum, GLenum, GLint))                                                      \
    X(void, DeleteTextures, (GLsizei, const GLuint*))                                                    \
    X(void, ActiveTexture, (GLenum))                                                                     \
    X(void, PixelStorei, (GLenum, GLint))                                                                \
    X(void, Enable, (GLenum))                                                                            \
    X(void, Disable, (GLenum))                                                                           \
    X(void, BlendFuncSeparate, (GLenum, GLenum, GLenum, GLenum))                                         \
    X(void, BlendEquation, (GLenum))                                                                     \
    X(void, Scissor, (GLint, GLint, GLsizei, GLsizei))                                                   \
    X(void, Viewport, (GLint, GLint, GLsizei, GLsizei))                                                  \
    X(void, DrawArrays, (GLenum, GLint, GLsizei))                                                        \
    X(void, GetIntegerv, (GLenum, GLint*))

struct Gl {
#define PM_GL_POINTER(ret, name, params) ret(*name) params = nullptr;
    PM_GL_FUNCTIONS(PM_GL_POINTER)
#undef PM_GL_POINTER
};

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 a_position;
layout(location = 1) in vec2 a_uv;
layout(location = 2) in vec4 a_color;
uniform vec2 u_scale;
out vec2 v_uv;
out vec4 v_color;
void main() {
    v_uv = a_uv;
    v_color = a_color;
    gl_Position = vec4(a_position.x * u_scale.x - 1.0, 1.0 - a_position.y * u_scale.y, 0.0, 1.0);
}
)";

// Straight-alpha modes leave the shader premultiplied, so that one blend function per mode gives the
// software device's result on an opaque target; the premultiplied mode takes the colour as it comes.
const char* const kFragmentShader = R"(#version 330 core
in vec2 v_uv;
in vec4 v_color;
uniform sampler2D u_texture;
uniform float u_premultiply;
out vec4 o_color;
void main() {
    vec4 c = texture(u_texture, v_uv) * v_color;
    o_color = vec4(c.rgb * mix(1.0, c.a, u_premultiply), c.a);
}
)";

struct Texture {
    GLuint name = 0;
    int w = 0, h = 0;
};

thread_local std::string lastError;

}  // namespace

struct pm_opengl {
    Gl gl;
    GLuint program = 0, vao = 0, vbo = 0, white = 0;
    GLint scaleAt = -1, premultiplyAt = -1, textureAt = -1;
    GLint maxSide = 0;
    int frameHeight = 0;
    int blend = -1;
    // What draw_triangles last bound within the frame: llvmpipe validates its state again on every
    // change, and a frame makes thousands of draws.
    bool bound = false;
    GLuint boundTexture = 0;
    std::unordered_map<uint32_t, Texture> textures;
    uint32_t nextTexture = 1;
    pm_device table{};

    ~pm_opengl() {
        for (auto& entry : textures) gl.DeleteTextures(1, &entry.second.name);
        if (white) gl.DeleteTextures(1, &white);
        if (vbo) gl.DeleteBuffers(1, &vbo);
        if (vao) gl.DeleteVertexArrays(1, &vao);
        if (program) gl.DeleteProgram(program);
    }

    bool load(pm_gl_loader loader) {
#define PM_GL_LOAD(ret, name, params)                                  \
    gl.name = reinterpret_cast<ret(*) params>(loader("gl" #name));     \
    if (!gl.name) {                                                    \
        lastError = "pixmote: OpenGL function gl" #name " is missing"; \
        return false;                                                  \
    }
        PM_GL_FUNCTIONS(PM_GL_LOAD)
#undef PM_GL_LOAD
        return true;
    }

    GLuint compile(GLenum kind, const char* source) {
        GLuint shader = gl.CreateShader(kind);
        gl.ShaderSource(shader, 1, &source, nullptr);
        gl.CompileShader(shader);
        GLint ok = 0;
        gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (ok) return shader;
        char log[512] = "";
        gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        lastError = std::string("pixmote: the OpenGL 3.3 shader does not compile: ") + log;
        gl.DeleteShader(shader);
        return 0;
    }

    bool build() {
        GLuint vs = compile(GL_VERTEX_SHADER, kVertexShader);
        GLuint fs = vs ? compile(GL_FRAGMENT_SHADER, kFragmentShader) : 0;
        if (!fs) {
            if (vs) gl.DeleteShader(vs);
            return false;
        }
        program = gl.CreateProgram();
        gl.AttachShader(program, vs);
        gl.AttachShader(program, fs);
        gl.LinkProgram(program);
        gl.DeleteShader(vs);
        gl.DeleteShader(fs);
        GLint ok = 0;
        gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            lastError = "pixmote: the OpenGL 3.3 program does not link";
            return false;
        }
        scaleAt = gl.GetUniformLocation(program, "u_scale");
        premultiplyAt = gl.GetUniformLocation(program, "u_premultiply");
        textureAt = gl.GetUniformLocation(program, "u_texture");
        gl.UseProgram(program);
        gl.Uniform1i(textureAt, 0);

        gl.GenVertexArrays(1, &vao);
        gl.GenBuffers(1, &vbo);
        gl.BindVertexArray(vao);
        gl.BindBuffer(GL_ARRAY_BUFFER, vbo);
        const GLsizei stride = sizeof(pm_vertex);
        gl.EnableVertexAttribArray(0);
        gl.VertexAttribPointer(0, 2, GL_FLOAT, 0, stride, reinterpret_cast<void*>(offsetof(pm_vertex, x)));
        gl.EnableVertexAttribArray(1);
        gl.VertexAttribPointer(1, 2, GL_FLOAT, 0, stride, reinterpret_cast<void*>(offsetof(pm_vertex, u)));
        gl.EnableVertexAttribArray(2);
        gl.VertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, 1, stride,
                               reinterpret_cast<void*>(offsetof(pm_vertex, r)));

        gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
        const uint8_t opaqueWhite[4] = {255, 255, 255, 255};
        white = makeTexture(1, 1, opaqueWhite);
        if (!white) lastError = "pixmote: OpenGL cannot make a texture";
        return white != 0;
    }

    void prepareUpload() {
        gl.BindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl.PixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        gl.PixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        gl.ActiveTexture(GL_TEXTURE0);
    }

    GLuint makeTexture(int w, int h, const uint8_t* rgba) {
        if (w <= 0 || h <= 0 || w > maxSide || h > maxSide) return 0;
        GLuint name = 0;
        gl.GenTextures(1, &name);
        if (!name) return 0;
        boundTexture = 0;
        prepareUpload();
        gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        gl.BindTexture(GL_TEXTURE_2D, name);
        // Nearest texels and clamped edges, as the software device samples.
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        // No pixels means transparent black, as on the software device, not whatever GL left there.
        std::vector<uint8_t> zeros;
        if (!rgba) {
            zeros.assign(static_cast<size_t>(w) * h * 4, 0);
            rgba = zeros.data();
        }
        gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return name;
    }

    void applyBlend(pm_blend_mode mode) {
        if (blend == mode) return;
        blend = mode;
        gl.BlendEquation(GL_FUNC_ADD);
        // Colour factors for a premultiplied source; alpha is source-over except for additive.
        switch (mode) {
            case PM_BLEND_ADDITIVE:
                gl.BlendFuncSeparate(GL_ONE, GL_ONE, GL_ONE, GL_ONE);
                break;
            case PM_BLEND_MULTIPLY:
                gl.BlendFuncSeparate(GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
                break;
            case PM_BLEND_SCREEN:
                gl.BlendFuncSeparate(GL_ONE_MINUS_DST_COLOR, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
                break;
            default:
                gl.BlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
                break;
        }
        gl.Uniform1f(premultiplyAt, mode == PM_BLEND_PREMULTIPLIED ? 0.0f : 1.0f);
    }
};

namespace {

pm_opengl* self(void* user) {
    return static_cast<pm_opengl*>(user);
}

uint32_t createTexture(void* user, int w, int h, const uint8_t* rgba) {
    pm_opengl* dev = self(user);
    // Out of memory is a failed texture, not an exception through the caller's C frames.
    try {
        GLuint name = dev->makeTexture(w, h, rgba);
        if (!name) return 0;
        // Ids run on for ever (the context makes a texture for every batch of fills): past the top
        // they start again, stepping over 0 and the ids still in use.
        uint32_t id = dev->nextTexture++;
        while (id == PM_NO_TEXTURE || dev->textures.count(id)) id = dev->nextTexture++;
        dev->textures[id] = Texture{name, w, h};
        return id;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int updateTexture(void* user, uint32_t id, int x, int y, int w, int h, const uint8_t* rgba, int stride) {
    pm_opengl* dev = self(user);
    auto it = dev->textures.find(id);
    if (it == dev->textures.end() || !rgba) return -1;
    const Texture& tex = it->second;
    if (x < 0 || y < 0 || w < 0 || h < 0 || x > tex.w - w || y > tex.h - h || stride < w * 4) return -1;
    if (w == 0 || h == 0) return 0;
    dev->prepareUpload();
    std::vector<uint8_t> packed;
    if (stride % 4 == 0) {
        dev->gl.PixelStorei(GL_UNPACK_ROW_LENGTH, stride / 4);
    } else {
        // Rows that do not fall on whole pixels are packed first: GL counts a row length in pixels.
        try {
            packed.resize(static_cast<size_t>(w) * h * 4);
        } catch (const std::bad_alloc&) {
            return -1;
        }
        for (int row = 0; row < h; ++row)
            std::copy(rgba + static_cast<size_t>(row) * stride,
                      rgba + static_cast<size_t>(row) * stride + w * 4,
                      packed.begin() + static_cast<size_t>(row) * w * 4);
        rgba = packed.data();
        dev->gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    dev->gl.BindTexture(GL_TEXTURE_2D, tex.name);
    dev->boundTexture = 0;
    dev->gl.TexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    dev->gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    return 0;
}

void destroyTexture(void* user, uint32_t id) {
    pm_opengl* dev = self(user);
    auto it = dev->textures.find(id);
    // Only the device's own textures: an id it never made must not delete one of the host's.
    if (it == dev->textures.end()) return;
    dev->gl.DeleteTextures(1, &it->second.name);
    dev->textures.erase(it);
    dev->boundTexture = 0;
}

int drawTriangles(void* user, const pm_vertex* v, int count, uint32_t texture, pm_blend_mode mode) {
    pm_opengl* dev = self(user);
    if ((!v && count > 0) || count < 0 || count % 3 != 0 || static_cast<int>(mode) < 0 ||
        mode >= PM_BLEND_MODE_COUNT)
        return -1;
    GLuint name = dev->white;
    if (texture != PM_NO_TEXTURE) {
        auto it = dev->textures.find(texture);
        if (it == dev->textures.end()) return -1;
        name = it->second.name;
    }
    if (count == 0) return 0;
    Gl& gl = dev->gl;
    if (!dev->bound) {
        gl.UseProgram(dev->program);
        gl.BindVertexArray(dev->vao);
        gl.BindBuffer(GL_ARRAY_BUFFER, dev->vbo);
        dev->bound = true;
    }
    if (name != dev->boundTexture) {
        gl.ActiveTexture(GL_TEXTURE0);
        gl.BindTexture(GL_TEXTURE_2D, name);
        dev->boundTexture = name;
    }
    dev->applyBlend(mode);
    // A fresh store each batch lets the driver keep drawing from the old one while this one fills.
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * sizeof(pm_vertex), v, GL_STREAM_DRAW);
    gl.DrawArrays(GL_TRIANGLES, 0, count);
    return 0;
}

void setClip(void* user, int enabled, int x, int y, int w, int h) {
    pm_opengl* dev = self(user);
    if (!enabled) {
        dev->gl.Disable(GL_SCISSOR_TEST);
        return;
    }
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    // GL counts rows from the bottom of the frame.
    long long bottom = static_cast<long long>(dev->frameHeight) - y - h;
    if (bottom < INT32_MIN) bottom = INT32_MIN;
    if (bottom > INT32_MAX) bottom = INT32_MAX;
    dev->gl.Enable(GL_SCISSOR_TEST);
    dev->gl.Scissor(x, static_cast<GLint>(bottom), w, h);
}

void beginFrame(void* user, int width, int height) {
    pm_opengl* dev = self(user);
    Gl& gl = dev->gl;
    dev->frameHeight = height;
    gl.Viewport(0, 0, width, height);
    gl.Disable(GL_DEPTH_TEST);
    gl.Disable(GL_STENCIL_TEST);
    gl.Disable(GL_CULL_FACE);
    gl.Disable(GL_SCISSOR_TEST);
    gl.Enable(GL_BLEND);
    gl.UseProgram(dev->program);
    gl.Uniform2f(dev->scaleAt, width > 0 ? 2.0f / width : 0.0f, height > 0 ? 2.0f / height : 0.0f);
    // The host may have changed the blend functions and bindings since the last frame.
    dev->blend = -1;
    dev->bound = false;
    dev->boundTexture = 0;
    dev->applyBlend(PM_BLEND_NORMAL);
}

void endFrame(void*) {}

}  // namespace

extern "C" {

pm_opengl* pm_opengl_create(pm_gl_loader loader) {
    lastError.clear();
    if (!loader) {
        lastError = "pixmote: no OpenGL loader given";
        return nullptr;
    }
    pm_opengl* dev = new (std::nothrow) pm_opengl;
    if (!dev) {
        lastError = "pixmote: out of memory";
        return nullptr;
    }
    // Nothing is made through a half-loaded table, so the destructor calls no GL.
    if (!dev->load(loader)) {
        delete dev;
        return nullptr;
    }
    bool built = false;
    try {
        built = dev->build();
    } catch (const std::bad_alloc&) {
        lastError = "pixmote: out of memory";
    }
    if (!built) {
        delete dev;
        return nullptr;
    }
    // Triangles are what a GPU is for: coverage computed on the CPU would cost more than the pixels.
    dev->table = pm_device{dev,     createTexture, updateTexture, destroyTexture, drawTriangles,
                           setClip, beginFrame,    endFrame,      nullptr,        1};
    return dev;
}

void pm_opengl_destroy(pm_opengl* gl) {
    delete gl;
}

const pm_device* pm_opengl_device(pm_opengl* gl) {
    return gl ? &gl->table : nullptr;
}

const char* pm_opengl_error(void) {
    return lastError.c_str();
}
}
