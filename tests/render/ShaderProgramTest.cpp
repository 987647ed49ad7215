// Shader programs where the driver has no shader support: every operation
// is a harmless no-op that reports failure.

#include "render/ShaderProgram.h"

#include <gtest/gtest.h>

#include "shell/FakePlatform.h"

TEST(ShaderProgram, WithoutShaderSupportHoldsNothing)
{
    ScopedFakePlatform scope;
    CShaderProgram program;
    EXPECT_EQ(program.GetProgram(), 0u);
    EXPECT_FALSE(program.CompileFile(CShaderProgram::Vertex, "tests/CMakeLists.txt"));
    EXPECT_FALSE(program.CompileSource(CShaderProgram::Fragment, "void main() {}"));
    EXPECT_EQ(program.GetLog().GetLength(), 0u);

    program.StoreUniform(ShaderUniform("tex0", 0));
    program.Use(true);
    program.ApplyIntUniform(ShaderUniform("tex1", 1));
    const float identity[4] = {1, 0, 0, 1};
    program.ApplyMatrixUniform("m", identity, 2);
    program.Use(false);
}
