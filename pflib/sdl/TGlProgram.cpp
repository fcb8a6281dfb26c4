#include "pflib/sdl/TGlProgram.h"

#include "pflib/pfDebug.h"

namespace pf {

namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPos;
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

// Multiply (1) wants lerp(1, src, a) as the factor of dst; screen (4) wants src premultiplied.
const char* const kFragmentShader = R"(#version 330 core
in vec4 vColor;
in vec2 vUV;
uniform sampler2D uTexture;
uniform int uMode;
out vec4 fragColor;
void main() {
    vec4 c = texture(uTexture, vUV) * vColor;
    if (uMode == 1) c.rgb = mix(vec3(1.0), c.rgb, c.a);
    else if (uMode == 4) c.rgb *= c.a;
    fragColor = c;
}
)";

GLuint compile(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
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

}  // namespace

bool TGlProgram::Create() {
    Destroy();
    GLuint vs = compile(GL_VERTEX_SHADER, kVertexShader);
    GLuint fs = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vs || !fs) {
        if (vs) glDeleteShader(vs);
        if (fs) glDeleteShader(fs);
        return false;
    }
    program_ = glCreateProgram();
    glAttachShader(program_, vs);
    glAttachShader(program_, fs);
    glLinkProgram(program_);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {0};
        glGetProgramInfoLog(program_, sizeof log - 1, nullptr, log);
        pfWriteDbgUnsafe("pf: shader program does not link: %s\n", log);
        Destroy();
        return false;
    }
    projection_ = glGetUniformLocation(program_, "uProjection");
    mode_ = glGetUniformLocation(program_, "uMode");
    sampler_ = glGetUniformLocation(program_, "uTexture");
    glUseProgram(program_);
    glUniform1i(sampler_, 0);
    return true;
}

void TGlProgram::Destroy() {
    if (program_) glDeleteProgram(program_);
    program_ = 0;
}

void TGlProgram::SetProjection(float sx, float sy, float ox, float oy) const {
    glUniform4f(projection_, sx, sy, ox, oy);
}

void TGlProgram::SetBlendMode(int mode) const {
    glUniform1i(mode_, mode);
}

}  // namespace pf
