// The resource manager without a GL context: descriptions whose pictures
// are missing (nothing is uploaded), the forms of "sprite", kinds, the
// progress signal and the bounds a hostile description meets. Pictures and
// fonts that really load are in ResourceManagerGLTest.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "assets/ResourceManager.h"
#include "core/XML.h"
#include "render/Sprite.h"
#include "resources/Texture.h"

namespace
{

CXMLDocument Description(const char* text)
{
    CXMLDocument document;
    EXPECT_TRUE(document.Parse(text)) << text;
    return document;
}

void ParseText(CResourceManager& manager, const char* text)
{
    manager.Parse(Description(text));
}

struct Rect
{
    unsigned x, y, w, h;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

std::vector<Rect> Rects(const CSprite& sprite)
{
    std::vector<Rect> rects;
    for (unsigned i = 0; i < sprite.GetFrameCount(); ++i)
    {
        const SpriteFrame& f = *sprite.GetFrame(i);
        rects.push_back({f.x, f.y, f.w, f.h});
    }
    return rects;
}

} // namespace

TEST(ResourceManager, SpriteFormsCutTheirFrames)
{
    CResourceManager manager;
    ParseText(manager, R"(<r>
        <sprite name="grid" file="missing.png">
          <frame array="4,2" w="16" h="16"/>
        </sprite>
        <sprite name="offset" file="missing.png" fps="20">
          <frame name="first" x="3" y="5" w="7" h="9"/>
          <frame array="2,1" x="10" y="20" w="4" h="6" delay="70"/>
          <frame array="3,0" w="4" h="4"/>
        </sprite>
        <sprite name="whole" file="missing.png"/>
      </r>)");

    const CSprite* grid = manager.FindSprite("grid");
    ASSERT_NE(grid, nullptr);
    const std::vector<Rect> expected = {{0, 0, 16, 16},  {16, 0, 16, 16}, {32, 0, 16, 16},
                                        {48, 0, 16, 16}, {0, 16, 16, 16}, {16, 16, 16, 16},
                                        {32, 16, 16, 16}, {48, 16, 16, 16}};
    EXPECT_EQ(Rects(*grid), expected);
    EXPECT_EQ(grid->GetFrame(0)->name, String(""));

    const CSprite* offset = manager.FindSprite("offset");
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(Rects(*offset), (std::vector<Rect>{{3, 5, 7, 9}, {10, 20, 4, 6}, {14, 20, 4, 6}}))
        << "a rows value of 0 adds no frame";
    EXPECT_EQ(offset->GetFrame(0)->name, String("first"));
    EXPECT_EQ(offset->GetFrame(0)->delay, 50u) << "1000 / fps";
    EXPECT_EQ(offset->GetFrame(1)->delay, 70u);

    // The picture is missing: the sprite has no texture and its one frame
    // covers nothing, 0 x 0, rather than a size read off nothing.
    const CSprite* whole = manager.FindSprite("whole");
    ASSERT_NE(whole, nullptr);
    ASSERT_EQ(whole->GetFrameCount(), 1u);
    EXPECT_EQ(Rects(*whole), (std::vector<Rect>{{0, 0, 0, 0}}));
    EXPECT_EQ(whole->GetFrame(0)->texture, manager.FindTextureByFile("missing.png"));
    const CTexture* picture = manager.FindTextureByFile("missing.png");
    ASSERT_NE(picture, nullptr) << "an unreadable picture still makes a texture";
    EXPECT_EQ(picture->GetWidth(), 0u);
    EXPECT_EQ(picture->GetHeight(), 0u);
    EXPECT_EQ(picture->GetTextureName(), 0u);
    EXPECT_EQ(manager.GetCount(), 4u) << "the picture is loaded once for three sprites";
}

TEST(ResourceManager, HostileCountsAllocateNothing)
{
    CResourceManager manager;
    ParseText(manager, R"(<r>
        <sprite name="huge" file="a.png"><frame array="100000,100000" w="1" h="1"/></sprite>
        <sprite name="wide" file="a.png"><frame array="9999999999999,2" w="1" h="1"/></sprite>
        <sprite name="negative" file="a.png">
          <frame array="-4,2"/><frame array="4,-2"/><frame array="0,3"/><frame array="5"/>
        </sprite>
        <sprite name="capped" file="a.png"><frame array="256,256" w="1" h="1"/><frame array="1,1"/></sprite>
        <font name="tall" file="resources/fonts/DejaVuSans.ttf" height="100000"/>
        <font name="flat" file="resources/fonts/DejaVuSans.ttf" height="0"/>
        <font name="sunk" file="resources/fonts/DejaVuSans.ttf" height="-12"/>
        <font name="long" file="resources/fonts/DejaVuSans.ttf" start="0" end="2147483647"/>
        <font name="before" file="resources/fonts/DejaVuSans.ttf" start="-1" end="40"/>
        <font name="atlas" file="resources/fonts/DejaVuSans.ttf" height="256" start="0" end="1023"/>
      </r>)");
    for (const char* name : {"huge", "wide", "negative"})
    {
        const CSprite* sprite = manager.FindSprite(name);
        ASSERT_NE(sprite, nullptr) << name;
        EXPECT_EQ(sprite->GetFrameCount(), 0u) << name;
    }
    const CSprite* capped = manager.FindSprite("capped");
    ASSERT_NE(capped, nullptr);
    EXPECT_EQ(capped->GetFrameCount(), CResourceManager::kMaxSpriteFrames)
        << "exactly the cap fits; one more is refused";

    // Refused fonts are kept by name, without frames and without an atlas.
    // Within each bound, "atlas" would still need an atlas over 4096 high.
    for (const char* name : {"tall", "flat", "sunk", "long", "before", "atlas"})
    {
        const CSprite* font = manager.FindSprite(name);
        ASSERT_NE(font, nullptr) << name;
        EXPECT_EQ(font->GetFrameCount(), 0u) << name;
    }
    EXPECT_EQ(manager.FindTextureByFile("resources/fonts/DejaVuSans.ttf"), nullptr);
}

// Found by fuzzing: a frame near 2^32 pixels overflowed the conversion
// from the canvas scale back to pixels.
TEST(ResourceManager, FrameRectsAreHeldToTheirBound)
{
    const unsigned most = CResourceManager::kMaxFramePixels;
    CResourceManager manager;
    ParseText(manager, R"(<r><sprite name="s" file="a.png">
        <frame x="-1" y="4294967295" w="99999999999" h="-7"/>
        <frame array="3,2" x="65000" y="65530" w="300" h="4"/>
      </sprite></r>)");
    const CSprite* sprite = manager.FindSprite("s");
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(Rects(*sprite), (std::vector<Rect>{{0, most, most, 0},
                                                 {65000, 65530, 300, 4},
                                                 {65300, 65530, 300, 4},
                                                 {most, 65530, 300, 4},
                                                 {65000, 65534, 300, 4},
                                                 {65300, 65534, 300, 4},
                                                 {most, 65534, 300, 4}}));
}

TEST(ResourceManager, LookUpsCheckTheKindTheyFind)
{
    CResourceManager manager;
    // A sprite named like a picture file: the picture's own texture is what
    // the second sprite is cut from, never the first sprite.
    ParseText(manager, R"(<r>
        <sprite name="b.png" file="a.png"/>
        <sprite name="cut" file="b.png"/>
      </r>)");
    EXPECT_EQ(manager.FindTexture("b.png"), nullptr) << "a sprite is not a texture";
    ASSERT_NE(manager.FindSprite("b.png"), nullptr);
    const CSprite* cut = manager.FindSprite("cut");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->GetFrame(0)->texture, manager.FindTextureByFile("b.png"));
    EXPECT_NE(cut->GetFrame(0)->texture, nullptr);
    EXPECT_EQ(manager.FindSprite("a.png"), nullptr) << "a texture is not a sprite";
    EXPECT_NE(manager.FindTexture("a.png"), nullptr);

    // Duplicates: the first added wins.
    auto first = std::make_unique<CSprite>();
    first->SetName("twice");
    CResource* kept = manager.Add(std::move(first));
    auto second = std::make_unique<CSprite>();
    second->SetName("twice");
    manager.Add(std::move(second));
    EXPECT_EQ(manager.Find("twice"), kept);
    EXPECT_EQ(manager.Find("nobody"), nullptr);
    manager.Clear();
    EXPECT_EQ(manager.GetCount(), 0u);
    EXPECT_EQ(manager.Find("twice"), nullptr);
}

TEST(ResourceManager, ElementsWithoutFileOrKnownEndingAddNothing)
{
    CResourceManager manager;
    std::vector<unsigned> indices;
    unsigned total = 0;
    struct Listener
    {
        std::vector<unsigned>* indices;
        unsigned* total;
        void OnProgress(const CXMLNode&, unsigned index, unsigned count)
        {
            indices->push_back(index);
            *total = count;
        }
    } listener{&indices, &total};
    Connections slots;
    ConnectSlot(slots, manager.Progress, &listener, &Listener::OnProgress);

    ParseText(manager, R"(<r>
        <picture name="nofile"/>
        <picture name="text" file="notes.txt"/>
        <picture name="shouting" file="PICTURE.PNG"/>
        <sprite name="nofile"/>
      </r>)");
    EXPECT_EQ(manager.GetCount(), 0u);
    EXPECT_EQ(indices, (std::vector<unsigned>{0, 1, 2, 3}));
    EXPECT_EQ(total, 4u);

    EXPECT_FALSE(manager.Load("resources/none.xml"));
    EXPECT_EQ(manager.GetCount(), 0u);
}
