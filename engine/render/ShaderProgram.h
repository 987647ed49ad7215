// One GLSL program object: compiles vertex and fragment shaders from files
// or text, relinks after each, keeps the last compile log for the caller's
// message, and remembers integer uniforms (texture units) to set on every
// bind. Without shader support it holds no program and every call fails.
#pragma once

#include <cstdint>
#include <vector>

#include "core/String.h"

// A uniform to set: `count` components (1 to 4; 0 sets nothing) read from
// `values` when it is set, else from the inline values. Integers or floats
// by use: the Apply operation chosen decides which union member is read.
struct ShaderUniform
{
    ShaderUniform() = default;
    ShaderUniform(const String& uniformName, int32_t value) : name(uniformName), count(1)
    {
        ints[0] = value;
    }

    String name;
    const void* values = nullptr;
    union
    {
        int32_t ints[4] = {0, 0, 0, 0};
        float floats[4];
    };
    unsigned count = 0;
};

class CShaderProgram
{
public:
    enum Kind
    {
        Vertex = 0,
        Fragment = 1,
    };

    CShaderProgram();
    ~CShaderProgram();
    CShaderProgram(const CShaderProgram&) = delete;
    CShaderProgram& operator=(const CShaderProgram&) = delete;

    // False for unreadable or empty files, which leave the log alone.
    bool CompileFile(int kind, const char* path);
    // Any compile log text, warnings included, is a failure; the log is kept
    // either way. On success the shader is attached and the program relinked.
    bool CompileSource(int kind, const char* source);
    const String& GetLog() const { return m_log; }

    // Replaces the values of the stored uniform of the same name, or keeps a
    // copy of a new one. Stored uniforms reach GL only at Use(true).
    void StoreUniform(const ShaderUniform& uniform);
    void Use(bool enable);

    // These set uniforms of the program bound now.
    void ApplyIntUniform(const ShaderUniform& uniform);
    void ApplyFloatUniform(const ShaderUniform& uniform);
    // size 2, 3 or 4 for a square matrix in column order; other sizes do nothing.
    void ApplyMatrixUniform(const char* name, const float* values, int size);

    uint32_t GetProgram() const { return m_program; }
    unsigned GetShaderCount() const { return static_cast<unsigned>(m_shaders.size()); }

private:
    uint32_t m_program = 0;
    std::vector<uint32_t> m_shaders;
    String m_log;
    std::vector<ShaderUniform> m_intUniforms;
};
