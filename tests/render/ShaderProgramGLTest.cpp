// Shader programs on Mesa's GLSL compiler in a real context: compiling from
// text and files, the log rules, uniforms read back from GL, and a frame
// drawn through a program.

#include "render/ShaderProgram.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/AppGL.h"
#include "render/Extensions.h"
#include "shell/SDLTestSupport.h"

namespace
{

const char* const kVertex = R"(
void main()
{
    gl_Position = ftransform();
}
)";

// Every uniform takes part in the colour (too little to show), so the
// compiler keeps them all.
const char* const kFragment = R"(
uniform int mode;
uniform ivec2 i2;
uniform ivec3 i3;
uniform ivec4 i4;
uniform float scale;
uniform vec2 centre;
uniform vec3 v3;
uniform vec4 colour;
uniform mat2 m2;
uniform mat3 m3;
uniform mat4 m4;
void main()
{
    float sum = float(mode + i2.x + i3.y + i4.w) + scale + centre.y + v3.z + m2[1][0] + m3[2][2]
        + m4[3][1];
    gl_FragColor = colour + vec4(sum * 1.0e-6);
}
)";

template <typename Function>
Function Entry(const char* name)
{
    return reinterpret_cast<Function>(GetPlatform().GetProcAddress(name));
}

GLint GetInteger(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

using Int = std::vector<GLint>;
using Float = std::vector<GLfloat>;

// A uniform reading `count` values from outside storage.
ShaderUniform Uniform(const char* name, const void* values, unsigned count)
{
    ShaderUniform uniform;
    uniform.name = name;
    uniform.values = values;
    uniform.count = count;
    return uniform;
}

std::string WriteFile(const char* name, const std::string& text)
{
    const std::string path = ::testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return path;
}

class ShaderProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Mesa skips compiling a shader found in its disk cache and then has
        // no log to give, warnings included.
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
        ASSERT_TRUE(app.CreateGLWindow(800, 600, true, false, false, 32, 24, 8, 0));
        getUniformiv = Entry<PFNGLGETUNIFORMIVPROC>("glGetUniformiv");
        getUniformfv = Entry<PFNGLGETUNIFORMFVPROC>("glGetUniformfv");
        getProgramiv = Entry<PFNGLGETPROGRAMIVPROC>("glGetProgramiv");
        isProgram = Entry<PFNGLISPROGRAMPROC>("glIsProgram");
        ASSERT_TRUE(getUniformiv && getUniformfv && getProgramiv && isProgram);
    }

    // The program of a linked pair of kVertex and kFragment.
    void Build(CShaderProgram& program)
    {
        ASSERT_TRUE(program.CompileSource(CShaderProgram::Vertex, kVertex))
            << program.GetLog().GetText();
        ASSERT_TRUE(program.CompileSource(CShaderProgram::Fragment, kFragment))
            << program.GetLog().GetText();
    }
    GLint Location(CShaderProgram& program, const char* name)
    {
        return GetGLEntryPoints().glGetUniformLocation(program.GetProgram(), name);
    }
    std::vector<GLint> Ints(CShaderProgram& program, const char* name, int count)
    {
        std::vector<GLint> values(16, -99);
        getUniformiv(program.GetProgram(), Location(program, name), values.data());
        values.resize(static_cast<size_t>(count));
        return values;
    }
    std::vector<GLfloat> Floats(CShaderProgram& program, const char* name, int count)
    {
        std::vector<GLfloat> values(16, -99);
        getUniformfv(program.GetProgram(), Location(program, name), values.data());
        values.resize(static_cast<size_t>(count));
        return values;
    }

    ScopedSDLPlatform scope;
    ScriptedApp<CAppGL> app{scope.sdl};
    PFNGLGETUNIFORMIVPROC getUniformiv = nullptr;
    PFNGLGETUNIFORMFVPROC getUniformfv = nullptr;
    PFNGLGETPROGRAMIVPROC getProgramiv = nullptr;
    PFNGLISPROGRAMPROC isProgram = nullptr;
};

} // namespace

TEST_F(ShaderProgramTest, ValidPairLinksAndInvalidShaderKeepsItsLog)
{
    GLuint name = 0;
    {
        CShaderProgram program;
        name = program.GetProgram();
        ASSERT_NE(name, 0u);
        Build(program);
        EXPECT_EQ(program.GetLog().GetLength(), 0u);
        EXPECT_EQ(program.GetShaderCount(), 2u);
        GLint linked = GL_FALSE;
        getProgramiv(name, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);

        EXPECT_FALSE(program.CompileSource(CShaderProgram::Fragment, "void main() { oops }"));
        EXPECT_NE(std::string(program.GetLog().GetText()).find("error"), std::string::npos);
        EXPECT_EQ(program.GetShaderCount(), 2u);
        getProgramiv(name, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE); // the earlier state stands

        // A kind that is neither shader gets no shader object.
        EXPECT_FALSE(program.CompileSource(2, kVertex));
        glGetError();
    }
    EXPECT_FALSE(isProgram(name)); // the destructor deleted it
}

TEST_F(ShaderProgramTest, AnyLogTextIsAFailure)
{
    CShaderProgram program;
    glGetError();
    // Compiles, but with a warning about the unknown extension.
    EXPECT_FALSE(program.CompileSource(CShaderProgram::Fragment,
                                       "#extension GL_VEMMO_nothing : warn\n"
                                       "void main() { gl_FragColor = vec4(1.0); }\n"));
    EXPECT_NE(std::string(program.GetLog().GetText()).find("warning"), std::string::npos);
    EXPECT_EQ(program.GetShaderCount(), 0u);
    // The refused shader was never attached, so nothing is detached.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // A long list of errors is cut to the 1024-byte buffer.
    std::string source = "void main() {\n";
    for (int i = 0; i < 200; ++i)
        source += "  undeclared_" + std::to_string(i) + " = 1.0;\n";
    source += "}\n";
    EXPECT_FALSE(program.CompileSource(CShaderProgram::Vertex, source.c_str()));
    EXPECT_LE(program.GetLog().GetLength(), 1023u);
    EXPECT_GT(program.GetLog().GetLength(), 900u);
    glGetError();
}

TEST_F(ShaderProgramTest, CompileFileReadsWholeFilesOnly)
{
    CShaderProgram program;
    EXPECT_TRUE(
        program.CompileFile(CShaderProgram::Vertex, WriteFile("vp_ok.glsl", kVertex).c_str()));

    EXPECT_FALSE(program.CompileSource(CShaderProgram::Fragment, "bad"));
    const std::string log = program.GetLog().GetText();
    ASSERT_FALSE(log.empty());
    // Missing, empty and directory paths fail without touching the log.
    EXPECT_FALSE(program.CompileFile(CShaderProgram::Fragment, "tests/no/such/file.glsl"));
    EXPECT_FALSE(
        program.CompileFile(CShaderProgram::Fragment, WriteFile("empty.glsl", "").c_str()));
    EXPECT_FALSE(program.CompileFile(CShaderProgram::Fragment, ::testing::TempDir().c_str()));
    EXPECT_EQ(program.GetLog().GetText(), log);

    EXPECT_TRUE(
        program.CompileFile(CShaderProgram::Fragment, WriteFile("fp_ok.glsl", kFragment).c_str()));
    EXPECT_EQ(program.GetShaderCount(), 2u);
    glGetError();
}

TEST_F(ShaderProgramTest, UniformsReachTheBoundProgram)
{
    CShaderProgram program;
    Build(program);
    program.StoreUniform(ShaderUniform("mode", 3));
    program.StoreUniform(ShaderUniform("mode", 5)); // replaces, not adds
    EXPECT_EQ(Ints(program, "mode", 1), Int{0});    // nothing reaches GL yet
    program.Use(true);
    EXPECT_EQ(GetInteger(GL_CURRENT_PROGRAM), static_cast<GLint>(program.GetProgram()));
    EXPECT_EQ(Ints(program, "mode", 1), Int{5});

    const GLint ints[5] = {1, 42, 3, 4, 5};
    program.ApplyIntUniform(Uniform("i3", ints, 3));
    program.ApplyIntUniform(Uniform("i4", ints, 5)); // more than four is a vec4
    EXPECT_EQ(Ints(program, "i3", 3), (Int{1, 42, 3}));
    EXPECT_EQ(Ints(program, "i4", 4), (Int{1, 42, 3, 4}));
    program.ApplyIntUniform(Uniform("i4", ints + 4, 0)); // no components: nothing
    EXPECT_EQ(Ints(program, "i4", 4), (Int{1, 42, 3, 4}));

    ShaderUniform scale; // inline values
    scale.name = "scale";
    scale.floats[0] = 0.25f;
    scale.count = 1;
    program.ApplyFloatUniform(scale);
    const GLfloat m[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    program.ApplyFloatUniform(Uniform("centre", m, 2));
    program.ApplyFloatUniform(Uniform("v3", m, 3));
    EXPECT_EQ(Floats(program, "scale", 1), Float{0.25f});
    EXPECT_EQ(Floats(program, "centre", 2), (Float{1, 2}));
    EXPECT_EQ(Floats(program, "v3", 3), (Float{1, 2, 3}));

    program.ApplyMatrixUniform("m2", m, 2);
    program.ApplyMatrixUniform("m3", m, 3);
    program.ApplyMatrixUniform("m4", m, 4);
    const GLfloat zero[16] = {};
    program.ApplyMatrixUniform("m4", zero, 5); // no such size: nothing
    program.ApplyMatrixUniform("m2", zero, 1);
    EXPECT_EQ(Floats(program, "m2", 4), Float(m, m + 4));
    EXPECT_EQ(Floats(program, "m3", 9), Float(m, m + 9));
    EXPECT_EQ(Floats(program, "m4", 16), Float(m, m + 16));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    program.Use(false);
    EXPECT_EQ(GetInteger(GL_CURRENT_PROGRAM), 0);
}

TEST_F(ShaderProgramTest, DrawsThroughTheProgram)
{
    CShaderProgram program;
    Build(program);
    glViewport(0, 0, 800, 600);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    program.Use(true);
    const GLfloat green[4] = {0, 1, 0, 1};
    program.ApplyFloatUniform(Uniform("colour", green, 4));
    const GLfloat quad[] = {-0.5f, -0.5f, 0.5f, -0.5f, 0.5f, 0.5f, -0.5f, 0.5f};
    glVertexPointer(2, GL_FLOAT, 0, quad);
    glDrawArrays(GL_QUADS, 0, 4);
    program.Use(false);

    unsigned char inside[4] = {};
    unsigned char outside[4] = {};
    glReadPixels(400, 300, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, inside);
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, outside);
    EXPECT_EQ(inside[0], 0);
    EXPECT_EQ(inside[1], 255);
    EXPECT_EQ(inside[2], 0);
    EXPECT_NEAR(outside[1], 128, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
