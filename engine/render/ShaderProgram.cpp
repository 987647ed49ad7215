// GLSL programs through the entry points of the extension loader. The link
// log is never read: a program that fails to link simply draws nothing.

#include "render/ShaderProgram.h"

#include <cassert>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "render/Extensions.h"

namespace
{

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The log buffer's size; GL cuts longer logs to fit.
constexpr GLsizei kLogSize = 1024;

} // namespace

CShaderProgram::CShaderProgram()
{
    if (QueryVertexShader() && QueryFragmentShader())
        m_program = GetGLEntryPoints().glCreateProgram();
}

CShaderProgram::~CShaderProgram()
{
    if (!m_program)
        return;
    const GLEntryPoints& gl = GetGLEntryPoints();
    for (uint32_t shader : m_shaders)
    {
        gl.glDetachShader(m_program, shader);
        gl.glDeleteShader(shader);
    }
    gl.glDeleteProgram(m_program);
}

bool CShaderProgram::CompileFile(int kind, const char* path)
{
    assert(path && "CShaderProgram::CompileFile(): null path");
    if (!m_program)
        return false;
    // A directory opens too, and reports a length near LONG_MAX.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "r"));
    if (!file)
        return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    const long length = std::ftell(file.get());
    if (length <= 0)
        return false;
    std::rewind(file.get());

    // Text-mode reading may deliver fewer bytes; the zeroes behind keep the
    // text terminated.
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    std::fread(text.data(), 1, static_cast<size_t>(length), file.get());
    if (std::ferror(file.get()))
        return false;
    file.reset();
    return CompileSource(kind, text.data());
}

bool CShaderProgram::CompileSource(int kind, const char* source)
{
    assert(source && "CShaderProgram::CompileSource(): null source");
    if (!m_program)
        return false;
    const GLEntryPoints& gl = GetGLEntryPoints();
    // 0x8B31 is GL_VERTEX_SHADER, 0x8B30 GL_FRAGMENT_SHADER.
    const GLuint shader = gl.glCreateShader(static_cast<GLenum>(0x8B31 - kind));
    if (!shader)
        return false;
    gl.glShaderSource(shader, 1, &source, nullptr);
    gl.glCompileShader(shader);

    char log[kLogSize] = {};
    GLsizei length = 0;
    gl.glGetShaderInfoLog(shader, kLogSize, &length, log);
    log[kLogSize - 1] = '\0';
    m_log = String(log);

    // The compile status is not asked: any text in the log counts as failure.
    if (m_log.GetLength() != 0)
    {
        // Never attached, so only deleted: detaching it is a GL error.
        gl.glDeleteShader(shader);
        return false;
    }
    gl.glAttachShader(m_program, shader);
    gl.glLinkProgram(m_program);
    m_shaders.push_back(shader);
    return true;
}

void CShaderProgram::StoreUniform(const ShaderUniform& uniform)
{
    for (ShaderUniform& stored : m_intUniforms)
    {
        if (stored.name == uniform.name)
        {
            stored.values = uniform.values;
            for (int i = 0; i < 4; ++i)
                stored.ints[i] = uniform.ints[i];
            stored.count = uniform.count;
            return;
        }
    }
    m_intUniforms.push_back(uniform);
}

void CShaderProgram::Use(bool enable)
{
    if (!m_program)
        return;
    const GLEntryPoints& gl = GetGLEntryPoints();
    if (!enable)
    {
        gl.glUseProgram(0);
        return;
    }
    gl.glUseProgram(m_program);
    for (const ShaderUniform& uniform : m_intUniforms)
        ApplyIntUniform(uniform);
}

void CShaderProgram::ApplyIntUniform(const ShaderUniform& uniform)
{
    if (!m_program || uniform.count == 0)
        return;
    const GLEntryPoints& gl = GetGLEntryPoints();
    const GLint location = gl.glGetUniformLocation(m_program, uniform.name.GetText());
    const GLint* values = uniform.values ? static_cast<const GLint*>(uniform.values) : uniform.ints;
    switch (uniform.count)
    {
    case 1:
        gl.glUniform1iv(location, 1, values);
        break;
    case 2:
        gl.glUniform2iv(location, 1, values);
        break;
    case 3:
        gl.glUniform3iv(location, 1, values);
        break;
    default:
        gl.glUniform4iv(location, 1, values);
        break;
    }
}

void CShaderProgram::ApplyFloatUniform(const ShaderUniform& uniform)
{
    if (!m_program || uniform.count == 0)
        return;
    const GLEntryPoints& gl = GetGLEntryPoints();
    const GLint location = gl.glGetUniformLocation(m_program, uniform.name.GetText());
    const GLfloat* values =
        uniform.values ? static_cast<const GLfloat*>(uniform.values) : uniform.floats;
    switch (uniform.count)
    {
    case 1:
        gl.glUniform1fv(location, 1, values);
        break;
    case 2:
        gl.glUniform2fv(location, 1, values);
        break;
    case 3:
        gl.glUniform3fv(location, 1, values);
        break;
    default:
        gl.glUniform4fv(location, 1, values);
        break;
    }
}

void CShaderProgram::ApplyMatrixUniform(const char* name, const float* values, int size)
{
    assert(name && "CShaderProgram::ApplyMatrixUniform(): null name");
    if (!m_program || size < 2 || size > 4)
        return;
    const GLEntryPoints& gl = GetGLEntryPoints();
    const GLint location = gl.glGetUniformLocation(m_program, name);
    if (size == 2)
        gl.glUniformMatrix2fv(location, 1, GL_FALSE, values);
    else if (size == 3)
        gl.glUniformMatrix3fv(location, 1, GL_FALSE, values);
    else
        gl.glUniformMatrix4fv(location, 1, GL_FALSE, values);
}
