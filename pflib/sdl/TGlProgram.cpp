#include "pflib/sdl/TGlProgram.h"

#include "pflib/TBasicEffect.h"
#include "pflib/pfDebug.h"

namespace pf {

namespace {

const char* const kVertexShader = R"(layout(location = 0) in vec3 aPos;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aUV;
uniform vec4 uProjection;
out vec4 vColor;
out vec2 vUV;
void main() {
    gl_Position = vec4(aPos.xy * uProjection.xy + uProjection.zw, 0.0, 1.0);
    vColor = aColor;
    vUV = aUV;
}
)";

// Multiply wants lerp(1, src, a) as the factor of dst; screen wants src premultiplied.
const char* const kFragmentShaders[3] = {
    R"(in vec4 vColor;
in vec2 vUV;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    fragColor = texture(uTexture, vUV) * vColor;
}
)",
    R"(in vec4 vColor;
in vec2 vUV;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    vec4 c = texture(uTexture, vUV) * vColor;
    fragColor = vec4(mix(vec3(1.0), c.rgb, c.a), c.a);
}
)",
    R"(in vec4 vColor;
in vec2 vUV;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    vec4 c = texture(uTexture, vUV) * vColor;
    fragColor = vec4(c.rgb * c.a, c.a);
}
)"};

// The sources start below the version line, which the GL in use chooses.
GLuint compile(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    const char* const parts[2] = {kGlslHeader, source};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {0};
        glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
        pfWriteDbgUnsafe("pf: shader does not compile: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint link(GLuint vs, const char* fragmentSource) {
    GLuint fs = compile(GL_FRAGMENT_SHADER, fragmentSource);
    if (!fs) return 0;
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDetachShader(program, vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {0};
        glGetProgramInfoLog(program, sizeof log - 1, nullptr, log);
        pfWriteDbgUnsafe("pf: shader program does not link: %s\n", log);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

int variantOf(int blendMode) {
    if (blendMode == kBlendMultiply) return 1;
    if (blendMode == kBlendScreen) return 2;
    return 0;
}

}  // namespace

bool TGlProgram::Create() {
    Destroy();
    GLuint vs = compile(GL_VERTEX_SHADER, kVertexShader);
    if (!vs) return false;
    bool ok = true;
    for (int i = 0; i < kVariants && ok; ++i) {
        Variant& v = variants_[i];
        v.program = link(vs, kFragmentShaders[i]);
        ok = v.program != 0;
        if (!ok) break;
        v.projection = glGetUniformLocation(v.program, "uProjection");
        glUseProgram(v.program);
        glUniform1i(glGetUniformLocation(v.program, "uTexture"), 0);
    }
    glDeleteShader(vs);
    if (!ok) Destroy();
    current_ = -1;
    return ok;
}

void TGlProgram::Destroy() {
    for (Variant& v : variants_) {
        if (v.program) glDeleteProgram(v.program);
        v = Variant();
    }
    current_ = -1;
}

void TGlProgram::Use(int blendMode, float sx, float sy, float ox, float oy) {
    const int index = variantOf(blendMode);
    Variant& v = variants_[index];
    if (current_ != index) {
        glUseProgram(v.program);
        current_ = index;
    }
    if (!v.projSet || v.proj[0] != sx || v.proj[1] != sy || v.proj[2] != ox || v.proj[3] != oy) {
        glUniform4f(v.projection, sx, sy, ox, oy);
        v.proj[0] = sx;
        v.proj[1] = sy;
        v.proj[2] = ox;
        v.proj[3] = oy;
        v.projSet = true;
    }
}

}  // namespace pf
