// The resource manager with a GL context: pictures decoded once and
// uploaded, the once-per-file rule, sprites on pictures loaded under other
// names, and the shipped description's font with its uploaded atlas.
#include <fstream>
#include <string>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "assets/ResourceManager.h"
#include "core/XML.h"
#include "render/Sprite.h"
#include "resources/PictureFile.h"
#include "resources/Texture.h"
#include "shell/SDLTestSupport.h"
#include "support/ScratchDir.h"

namespace
{

class ResourceManagerGLTest : public GLContextTest
{
protected:
    void ParseText(const char* text)
    {
        CXMLDocument document;
        ASSERT_TRUE(document.Parse(text));
        manager.Parse(document);
    }

    CResourceManager manager;
};

} // namespace

TEST_F(ResourceManagerGLTest, PicturesLoadOncePerFileWithTheirDecodedSize)
{
    manager.AddFile("tests/data/images/rgb.png", "first");
    manager.AddFile("tests/data/images/rgb.png", "second");
    manager.AddFile("tests/data/images/rgba53.bmp", "bitmap");
    manager.AddFile("tests/data/images/rgb.jpg.rgb", "raw");
    ASSERT_EQ(manager.GetCount(), 2u);
    EXPECT_EQ(manager.Find("second"), nullptr) << "the second name is not applied";

    CTexture* png = manager.FindTexture("first");
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->GetWidth(), 5u);
    EXPECT_EQ(png->GetHeight(), 3u);
    EXPECT_EQ(png->GetFileName(), String("tests/data/images/rgb.png"));
    EXPECT_NE(png->GetTextureName(), 0u);
    EXPECT_TRUE(glIsTexture(png->GetTextureName()));
    EXPECT_EQ(png->GetPixels(), nullptr) << "freed after the upload";

    CImage decoded;
    ASSERT_TRUE(LoadPicture("tests/data/images/rgba53.bmp", decoded));
    CTexture* bmp = manager.FindTexture("bitmap");
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->GetWidth(), decoded.GetWidth());
    EXPECT_EQ(bmp->GetHeight(), decoded.GetHeight());
    EXPECT_EQ(bmp->GetChannels(), decoded.GetChannels());

    // Files that end like a picture but are none: 0 x 0, never uploaded.
    ScratchDir scratch("assets");
    const std::string junk = (scratch.Path() / "junk.png").string();
    std::ofstream(junk) << "not a picture at all";
    manager.AddFile(junk.c_str(), "junk");
    manager.AddFile("resources/fonts/missing.png", "missing");
    manager.AddFile("resources/locations.xml", "xml");
    EXPECT_EQ(manager.GetCount(), 4u);
    for (const char* name : {"junk", "missing"})
    {
        CTexture* refused = manager.FindTexture(name);
        ASSERT_NE(refused, nullptr) << name;
        EXPECT_EQ(refused->GetWidth(), 0u) << name;
        EXPECT_EQ(refused->GetHeight(), 0u) << name;
        EXPECT_EQ(refused->GetTextureName(), 0u) << name;
    }
}

TEST_F(ResourceManagerGLTest, SpritesFindTheirPictureByFileAndMapItsCanvas)
{
    ParseText(R"(<r>
        <picture name="colours" file="tests/data/images/rgb.png"/>
        <sprite name="whole" file="tests/data/images/rgb.png"/>
        <sprite name="cells" file="tests/data/images/rgb.png"><frame array="2,1" w="2" h="3"/></sprite>
      </r>)");
    const CTexture* picture = manager.FindTexture("colours");
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->GetUploadedSize(), 8u);

    const CSprite* whole = manager.FindSprite("whole");
    ASSERT_NE(whole, nullptr);
    ASSERT_EQ(whole->GetFrameCount(), 1u);
    const SpriteFrame& frame = *whole->GetFrame(0);
    EXPECT_EQ(frame.texture, picture) << "loaded first under another name";
    EXPECT_EQ(frame.w, 5u);
    EXPECT_EQ(frame.h, 3u);
    EXPECT_FLOAT_EQ(frame.su, 5.0f / 8.0f);
    EXPECT_FLOAT_EQ(frame.v, 5.0f / 8.0f);

    const CSprite* cells = manager.FindSprite("cells");
    ASSERT_NE(cells, nullptr);
    ASSERT_EQ(cells->GetFrameCount(), 2u);
    EXPECT_FLOAT_EQ(cells->GetFrame(1)->u, 2.0f / 8.0f);
    EXPECT_EQ(manager.GetCount(), 3u);
}

TEST_F(ResourceManagerGLTest, TheShippedDescriptionGivesTheTextFont)
{
    ASSERT_TRUE(manager.Load("resources/resources.xml"));
    const CSprite* font = manager.FindSprite("DejaVuSans");
    ASSERT_NE(font, nullptr);
    ASSERT_GE(font->GetFrameCount(), 95u);
    const SpriteFrame* digit = font->FindFrame("7");
    ASSERT_NE(digit, nullptr);
    EXPECT_GE(digit->h, 14u);

    // The atlas is owned by the manager under the face's path and uploaded;
    // every frame's coordinates point into the uploaded canvas.
    const CTexture* atlas = manager.FindTexture("resources/fonts/DejaVuSans.ttf");
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(digit->texture, atlas);
    EXPECT_NE(atlas->GetTextureName(), 0u);
    EXPECT_EQ(atlas->GetPixels(), nullptr);
    const float side = static_cast<float>(atlas->GetUploadedSize());
    EXPECT_FLOAT_EQ(digit->su, static_cast<float>(digit->w) / side);
    EXPECT_FLOAT_EQ(digit->v, (side - digit->h - digit->y) / side);

    // A second font from the same face adds no second atlas name clash:
    // look-ups by the path still find the first atlas.
    ParseText(R"(<r><font name="small" file="resources/fonts/DejaVuSans.ttf" start="48" end="57"/></r>)");
    const CSprite* small = manager.FindSprite("small");
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->GetFrameCount(), 10u);
    EXPECT_EQ(manager.FindTexture("resources/fonts/DejaVuSans.ttf"), atlas);
}
