// The description loader from small files without a window: the tag table
// and depths, references that must name an earlier control of the right
// kind, menus and their items, frame cells, parent links, and descriptions
// that build nothing.
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets/ResourceManager.h"
#include "core/Matrix.h"
#include "core/XML.h"
#include "gui/Button.h"
#include "gui/Combo.h"
#include "gui/Edit.h"
#include "gui/Frame.h"
#include "gui/GUIManager.h"
#include "gui/List.h"
#include "gui/Menu.h"
#include "render/Sprite.h"
#include "resources/Texture.h"
#include "support/ScratchDir.h"

namespace
{

class GUILoaderTest : public ::testing::Test
{
protected:
    GUILoaderTest()
    {
        ConnectSlot(slots, manager.Loading, this, &GUILoaderTest::OnLoading);
        // Two frames on no texture: sizes and indices need no GL.
        auto sprite = std::make_unique<CSprite>();
        sprite->SetName("skin");
        sprite->AddFrame({"", 0, 0, 16, 8});
        sprite->AddFrame({"", 0, 0, 32, 12});
        resources.Add(std::move(sprite));
        resources.Add(std::make_unique<CTexture>())->SetName("picture");
    }
    bool LoadText(const std::string& xml)
    {
        const std::string path = (scratch.Path() / "gui.xml").string();
        std::ofstream(path, std::ios::binary) << xml;
        return manager.Load(path.c_str(), resources);
    }
    template <class Control = CGUI>
    Control* Find(const char* name) const
    {
        return dynamic_cast<Control*>(manager.FindByName(name));
    }
    void OnLoading(const CXMLNode& element, unsigned index, unsigned count)
    {
        loading.push_back(std::string(element.GetName().GetText()) + " " + std::to_string(index) +
                          "/" + std::to_string(count));
    }

    ScratchDir scratch{"guiloader"};
    CResourceManager resources;
    CGUIManager manager;
    std::vector<std::string> loading;
    Connections slots;
};

float Depth(const CGUI& control)
{
    return control.GetTransform().Get(CMatrix::TranslationZ);
}

} // namespace

TEST_F(GUILoaderTest, EveryTagMakesItsKindAtDepthCountMinusIndex)
{
    const struct
    {
        const char* tag;
        int code;
    } kinds[] = {{"gui", 0},       {"button", 1},  {"checkbox", 2}, {"combo", 3}, {"control", 4},
                 {"edit", 5},      {"font", 6},    {"frame", 7},    {"list", 8},  {"menu", 9},
                 {"progress", 10}, {"scroll", 11}, {"window", 14}};
    // Unknown tags (case counts) build nothing but still take an index.
    std::string xml = "<gui><Button/><widget/>";
    for (const auto& kind : kinds)
        xml += std::string("<") + kind.tag + "/>";
    ASSERT_TRUE(LoadText(xml + "</gui>"));
    const unsigned n = 2 + std::size(kinds);
    ASSERT_EQ(manager.GetCount(), std::size(kinds));
    for (unsigned i = 0; i < std::size(kinds); ++i)
    {
        SCOPED_TRACE(kinds[i].tag);
        EXPECT_EQ(manager.GetControl(i)->TypeCode(), kinds[i].code);
        EXPECT_FLOAT_EQ(Depth(*manager.GetControl(i)), n - (i + 2.0f));
    }
    ASSERT_EQ(loading.size(), n);
    EXPECT_EQ(loading[1], "widget 1/15");
}

// Also the type checks: a name of another kind counts as absent.
TEST_F(GUILoaderTest, ReferencesFindOnlyEarlierControlsOfTheirKind)
{
    ASSERT_TRUE(LoadText(R"(<gui>
        <button name="early" font="f"/> <font name="f" kern="3"/> <scroll name="s" w="13"/>
        <checkbox name="c" font="f"/> <edit name="e" font="f"/>
        <combo name="cb" font="f" scroll="s" h="100"/>
        <list name="l" font="f" scroll="s" h="99"><column w="50"><item text="x"/></column></list>
        <button name="wrongKind" font="c"/> <combo name="wrongScroll" scroll="f" h="100"/>
        <gui name="a" sprite="skin" frame="1"/> <gui name="b" sprite="skin" frame="-3"/>
        <gui name="c" sprite="picture"/> </gui>)"));
    EXPECT_EQ(Find<CButton>("early")->Caption().GetKern(), 0) << "defined later";
    EXPECT_EQ(Find<CButton>("c")->Caption().GetKern(), 3);
    EXPECT_EQ(Find<CEdit>("e")->TextFont().GetKern(), 3);
    CCombo* combo = Find<CCombo>("cb");
    EXPECT_EQ(combo->Button().Caption().GetKern(), 3);
    EXPECT_FLOAT_EQ(combo->List().ScrollBar().GetSize().x, 13.0f);
    EXPECT_EQ(dynamic_cast<const CFont&>(*Find<CList>("l")->Cell(0, 0)).GetKern(), 3);
    EXPECT_FLOAT_EQ(Find<CList>("l")->ScrollBar().GetSize().x, 13.0f);
    EXPECT_NE(Find<CCombo>("wrongScroll")->List().ScrollBar().GetSize().x, 13.0f);
    EXPECT_EQ(Find("a")->GetFrame(), 1u);
    EXPECT_FLOAT_EQ(Find("a")->GetSize().x, 32.0f);
    EXPECT_EQ(Find("b")->GetFrame(), 0u);
    EXPECT_EQ(Find("c")->GetSprite().GetFrameCount(), 0u) << "a texture is no sprite";
}

TEST_F(GUILoaderTest, ParentLinksComeAfterTheListAndNeverCloseACycle)
{
    ASSERT_TRUE(LoadText(R"(<gui> <gui name="child" parent="later"/> <gui name="later"/>
        <gui name="a" parent="b"/> <gui name="b" parent="a"/> <gui name="self" parent="self"/>
      </gui>)"));
    EXPECT_EQ(Find("child")->GetParent(), Find("later"));
    EXPECT_EQ(Find("a")->GetParent(), Find("b"));
    EXPECT_EQ(Find("b")->GetParent(), nullptr) << "a already hangs under b";
    EXPECT_EQ(Find("self")->GetParent(), nullptr);
}

TEST_F(GUILoaderTest, MenusAreAppendedAtOnceAndTheirItemsTakeAfterThem)
{
    ASSERT_TRUE(LoadText(R"(<gui> <gui name="panel"/>
        <menu name="file" w="80" h="20"> <emission r="0.5"/> <hover r="1" a="0.5"/>
          <menu name="open" parent="file" w="5"/>
          <menu name="red" parent="file"><emission r="1"/></menu>
          <menu name="recent" parent="open"/> </menu>
        <menu name="loose" parent="panel"/> </gui>)"));
    ASSERT_EQ(manager.GetCount(), 6u);
    CMenu* file = Find<CMenu>("file");
    CMenu* open = Find<CMenu>("open");
    EXPECT_EQ(manager.GetControl(2), open) << "items follow their menu";
    EXPECT_EQ(file->Items(), (std::vector<CMenu*>{open, Find<CMenu>("red")}));
    EXPECT_EQ(open->Items(), std::vector<CMenu*>{Find<CMenu>("recent")});
    EXPECT_FALSE(open->IsVisible());
    // An item takes its menu's depth, size, hover colour and colours,
    // unless it has colours of its own.
    EXPECT_FLOAT_EQ(Depth(*open), Depth(*file));
    EXPECT_FLOAT_EQ(open->GetSize().x, 80.0f);
    EXPECT_FLOAT_EQ(open->HoverColour().w, 0.5f);
    EXPECT_FLOAT_EQ(open->GetMaterial().GetEmission().x, 0.5f);
    EXPECT_FLOAT_EQ(Find("red")->GetMaterial().GetEmission().x, 1.0f);
    EXPECT_EQ(Find("loose")->GetParent(), Find("panel"));
    // The nested list counts its own elements, colours included.
    EXPECT_EQ(loading[4], "menu 2/5");
    EXPECT_EQ(loading.size(), 9u);
}

TEST_F(GUILoaderTest, MenusNestedPastTheBoundGetNoItems)
{
    const unsigned levels = CGUIManager::kMaxMenuDepth + 20;
    std::string xml = "<gui>";
    for (unsigned i = 0; i < levels; ++i)
        xml +=
            "<menu name=\"m" + std::to_string(i) + "\" parent=\"m" + std::to_string(i - 1) + "\">";
    for (unsigned i = 0; i < levels; ++i)
        xml += "</menu>";
    ASSERT_TRUE(LoadText(xml + "</gui>"));
    EXPECT_EQ(manager.GetCount(), CGUIManager::kMaxMenuDepth + 1);
    EXPECT_EQ(manager.GetControl(CGUIManager::kMaxMenuDepth)->GetParent(),
              manager.GetControl(CGUIManager::kMaxMenuDepth - 1));
}

TEST_F(GUILoaderTest, FrameCellsComeFromItsGuiChildrenOnly)
{
    ASSERT_TRUE(LoadText(R"(<gui> <frame name="fr" w="60" h="40" borderX="2">
        <gui border="5" sprite="skin" frame="1"/> <gui w="4" h="4"/>
        <button border="2" w="9" h="9"/> <gui border="12"/> </frame> </gui>)"));
    ASSERT_EQ(manager.GetCount(), 1u) << "cells are the frame's, not the manager's";
    CFrame* frame = Find<CFrame>("fr");
    EXPECT_EQ(frame->Cell(5)->GetFrame(), 1u);
    EXPECT_FLOAT_EQ(frame->Cell(5)->GetSize().x, 32.0f);
    EXPECT_EQ(frame->Cell(5)->GetParent(), frame);
    EXPECT_FLOAT_EQ(frame->Cell(0)->GetSize().x, 4.0f) << "no border reads as 0";
    EXPECT_NE(frame->Cell(2)->GetSize().x, 9.0f) << "not tagged gui";
    // Laid out after the cells: the top edge starts half corner 0 in.
    EXPECT_FLOAT_EQ(frame->Cell(1)->GetPosition().x, (4.0f - 2.0f) / 2);
}

// A truncated file builds nothing rather than a part of the panel; so does
// one past the element bound (children of children count).
TEST_F(GUILoaderTest, ADescriptionThatDoesNotParseToItsEndBuildsNothing)
{
    ASSERT_TRUE(LoadText("<gui><gui/></gui>"));
    loading.clear();
    for (const char* text : {"", "<gui><gui/><gui/>", "<gui><gui></list></gui>", "<a/><b/>"})
        EXPECT_FALSE(LoadText(text)) << text;
    EXPECT_FALSE(manager.Load((scratch.Path() / "absent.xml").string().c_str(), resources));
    std::string many = "<gui><list><column><item/></column></list>";
    for (unsigned i = 0; i < CGUIManager::kMaxElements - 3; ++i)
        many += "<gui/>";
    EXPECT_FALSE(LoadText(many + "<gui/></gui>"));
    EXPECT_EQ(manager.GetCount(), 1u);
    EXPECT_TRUE(loading.empty());
    ASSERT_TRUE(LoadText(many + "</gui>"));
    EXPECT_EQ(manager.GetCount(), CGUIManager::kMaxElements - 1);
}
