// The extension loader's rules with a scripted procedure look-up and
// extension string; no GL driver is involved.

#include "render/Extensions.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "render/detail/ExtensionLoader.h"
#include "shell/FakePlatform.h"

namespace
{

using Names = std::vector<std::string>;

void Dummy() {}

// A driver that exports every name but the missing ones and logs look-ups.
struct FakeDriver
{
    bool Load(GLEntryPoints& table, const char* name, const char* extensions)
    {
        auto lookup = [this](const char* entry) -> void*
        {
            lookups.push_back(entry);
            return missing.count(entry) ? nullptr : reinterpret_cast<void*>(&Dummy);
        };
        return render_detail::LoadExtensionInto(table, name, lookup, extensions);
    }
    std::set<std::string> missing;
    Names lookups;
};

} // namespace

TEST(LoadExtension, BufferExtensionsCountWhenTheirEntryPointsExist)
{
    GLEntryPoints table;
    FakeDriver driver;
    // Not named in the extension string, yet usable.
    EXPECT_TRUE(driver.Load(table, "GL_ARB_multitexture", ""));
    EXPECT_EQ(driver.lookups, (Names{"glActiveTextureARB", "glClientActiveTextureARB"}));

    driver.missing = {"glBufferDataARB"};
    EXPECT_FALSE(driver.Load(table, "GL_ARB_vertex_buffer_object", "GL_ARB_vertex_buffer_object"));
    EXPECT_NE(table.glGenBuffersARB, nullptr);
    EXPECT_EQ(table.glDeleteBuffersARB, nullptr); // fetching stops at the gap

    // Loaded pointers are never fetched again; the missing ones are.
    driver.missing.clear();
    driver.lookups.clear();
    EXPECT_TRUE(driver.Load(table, "GL_ARB_vertex_buffer_object", ""));
    EXPECT_TRUE(driver.Load(table, "GL_ARB_multitexture", ""));
    EXPECT_EQ(driver.lookups, (Names{"glBufferDataARB", "glDeleteBuffersARB"}));
}

TEST(LoadExtension, ShaderExtensionsNeedEntryPointsAndTheirName)
{
    const char* const both = "GL_ARB_multitexture GL_ARB_fragment_shader GL_ARB_vertex_shader";
    {
        GLEntryPoints table;
        FakeDriver driver;
        EXPECT_TRUE(driver.Load(table, "GL_ARB_vertex_shader", both));
        ASSERT_EQ(driver.lookups.size(), 24u); // under their OpenGL 2.0 names, in order
        EXPECT_EQ(driver.lookups.front(), "glCreateShader");
        EXPECT_EQ(driver.lookups[11], "glUniform1iv");
        EXPECT_EQ(driver.lookups.back(), "glGetProgramInfoLog");
        EXPECT_FALSE(driver.Load(table, "GL_ARB_fragment_shader", "GL_ARB_vertex_shader"));
    }
    {
        // Named, but one entry point short: both shader flags are false.
        GLEntryPoints table;
        FakeDriver driver;
        driver.missing = {"glUniformMatrix4fv"};
        EXPECT_FALSE(driver.Load(table, "GL_ARB_fragment_shader", both));
        EXPECT_FALSE(driver.Load(table, "GL_ARB_vertex_shader", both));
        EXPECT_NE(table.glUniformMatrix3fv, nullptr);
        EXPECT_EQ(table.glGetShaderInfoLog, nullptr);
    }
}

TEST(LoadExtension, OtherNamesAreAPlainSubstringMatch)
{
    GLEntryPoints table;
    FakeDriver driver;
    const char* const extensions = "GL_ARB_texture_cube_map GL_EXT_bgra";
    EXPECT_TRUE(driver.Load(table, "GL_ARB_texture_cube_map", extensions));
    EXPECT_TRUE(driver.Load(table, "GL_ARB_texture", extensions));
    EXPECT_FALSE(driver.Load(table, "GL_EXT_BGRA", extensions));
    EXPECT_FALSE(driver.Load(table, "GL_ARB_point_sprite", extensions));
    // Case matters for the names with entry points too.
    EXPECT_FALSE(driver.Load(table, "gl_arb_multitexture", "GL_ARB_multitexture"));
    // The pixel-format extension has no meaning here, named or not.
    EXPECT_FALSE(driver.Load(table, "WGL_ARB_extensions_string", "WGL_ARB_extensions_string"));
    EXPECT_TRUE(driver.lookups.empty());
}

TEST(LoadExtension, GoesThroughThePlatformWithoutAContext)
{
    ScopedFakePlatform scope;
    EXPECT_STREQ(GetGLExtensions(), ""); // empty, not null
    EXPECT_FALSE(QueryVertexShader());
    EXPECT_EQ(scope.fake.lookups, Names{"glCreateShader"});
    EXPECT_FALSE(GetGLCapabilities().vertexShader);
}
