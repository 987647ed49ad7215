// The description loader with real resources in a window: sprite frames
// chosen by "frame", a text label on the DejaVu glyphs, a button captioned
// through a "font" reference, and a menu's icon, all found again by their
// pixels.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets/ResourceManager.h"
#include "core/XML.h"
#include "gui/GUIGLSupport.h"
#include "gui/GUIManager.h"
#include "resources/PngEncoder.h"
#include "support/ScratchDir.h"

namespace
{

class GUILoaderGLTest : public GUIWindowTest
{
protected:
    // An 8 x 4 picture, red on the left half and blue on the right, cut
    // into two 4 x 4 frames; and the glyphs of the shipped face.
    void LoadResources()
    {
        const std::string picture = (scratch.Path() / "skin.png").string();
        std::vector<uint8_t> pixels(8 * 4 * 3, 0);
        for (unsigned y = 0; y < 4; ++y)
            for (unsigned x = 0; x < 8; ++x)
                pixels[(y * 8 + x) * 3 + (x < 4 ? 0 : 2)] = 255;
        WritePng(picture.c_str(), 8, 4, 24, pixels.data());
        const std::string description =
            "<r><sprite name=\"skin\" file=\"" + picture +
            "\"><frame array=\"2,1\" w=\"4\" h=\"4\"/></sprite>"
            "<font name=\"glyphs\" file=\"resources/fonts/DejaVuSans.ttf\" height=\"16\"/></r>";
        CXMLDocument document;
        ASSERT_TRUE(document.Parse(description.c_str()));
        resources.Parse(document);
        ASSERT_NE(resources.FindSprite("skin"), nullptr);
    }

    bool LoadText(const std::string& xml)
    {
        const std::string path = (scratch.Path() / "gui.xml").string();
        std::ofstream(path, std::ios::binary) << xml;
        return manager.Load(path.c_str(), resources);
    }

    ScratchDir scratch{"guiloadergl"};
    CResourceManager resources;
    CGUIManager manager;
};

} // namespace

TEST_F(GUILoaderGLTest, SpritesFontsAndIconsReachThePixels)
{
    LoadResources();
    ASSERT_TRUE(LoadText(R"(<gui>
        <gui name="first" sprite="skin" x="100" y="100" w="40" h="40"/>
        <gui name="second" sprite="skin" frame="1" x="200" y="100" w="40" h="40"/>
        <font name="label" sprite="glyphs" x="300" y="100" w="200" h="40" text="Hello"/>
        <button name="ok" font="label" text="OK" x="100" y="300" w="100" h="40">
          <ambient/><emission r="0" g="0" b="0" a="1"/>
        </button>
        <button name="plain" font="second" text="OK" x="300" y="300" w="100" h="40">
          <ambient/><emission r="0" g="0" b="0" a="1"/>
        </button>
        <gui name="icon" x="10" y="2" w="10" h="10"><ambient/><emission r="0" g="1" b="0" a="1"/></gui>
        <menu name="menu" icon="icon" x="100" y="400" w="100" h="20">
          <ambient/><emission r="0" g="0" b="1" a="1"/>
        </menu>
      </gui>)"));

    ClearScreen(0.5f, 0.5f, 0.5f, 0);
    manager.Draw();
    ExpectPixel(120, 120, kRed);
    ExpectPixel(220, 120, kBlue);
    EXPECT_TRUE(AnyRedAtLeast(300, 100, 500, 140, 200)) << "the label's text";
    EXPECT_TRUE(AnyRedAtLeast(100, 300, 200, 340, 200)) << "the caption in the font named";
    EXPECT_FALSE(AnyRedAtLeast(300, 300, 400, 340, 1)) << "a sprite is no font";
    ExpectPixel(115, 407, kGreen);
    ExpectPixel(150, 410, kBlue);
}
