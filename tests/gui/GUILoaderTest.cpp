// The description loader from small files without a window: the tag table
// and the depths, references that must name an earlier control of the right
// kind, menus and their items, frame cells, sprites found by kind, parent
// links made after the list, and descriptions that build nothing.
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
#include "gui/Window.h"
#include "render/Sprite.h"
#include "resources/Texture.h"
#include "support/ScratchDir.h"

namespace
{

class GUILoaderTest : public ::testing::Test
{
protected:
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

    // Two frames of different sizes, on no texture: enough for the size
    // and the frame index, which need no GL.
    void AddSprite(const char* name)
    {
        auto sprite = std::make_unique<CSprite>();
        sprite->SetName(name);
        SpriteFrame frame;
        frame.w = 16, frame.h = 8;
        sprite->AddFrame(frame);
        frame.w = 32, frame.h = 12;
        sprite->AddFrame(frame);
        resources.Add(std::move(sprite));
    }

    ScratchDir scratch{"guiloader"};
    CResourceManager resources;
    CGUIManager manager;
};

float Depth(const CGUI& control)
{
    return control.GetTransform().Get(CMatrix::TranslationZ);
}

struct LoadingLog
{
    void OnLoading(const CXMLNode& element, unsigned index, unsigned count)
    {
        entries.push_back(std::string(element.GetName().GetText()) + " " + std::to_string(index) +
                          "/" + std::to_string(count));
    }
    std::vector<std::string> entries;
    Connections slots;
};

} // namespace

TEST_F(GUILoaderTest, EveryTagMakesItsKindAtDepthCountMinusIndex)
{
    const struct
    {
        const char* tag;
        int typeCode;
    } table[] = {
        {"gui", 0},       {"button", 1},  {"checkbox", 2}, {"combo", 3}, {"control", 4},
        {"edit", 5},      {"font", 6},    {"frame", 7},    {"list", 8},  {"menu", 9},
        {"progress", 10}, {"scroll", 11}, {"window", 14},
    };
    // Unknown tags (case counts) build nothing but still take an index.
    std::string xml = "<gui><Button/><widget/>";
    for (const auto& row : table)
        xml += std::string("<") + row.tag + "/>";
    xml += "</gui>";
    LoadingLog log;
    ConnectSlot(log.slots, manager.Loading, &log, &LoadingLog::OnLoading);

    ASSERT_TRUE(LoadText(xml));
    const unsigned n = 2 + std::size(table);
    ASSERT_EQ(manager.GetCount(), std::size(table));
    for (unsigned i = 0; i < std::size(table); ++i)
    {
        const CGUI& control = *manager.GetControl(i);
        EXPECT_EQ(control.TypeCode(), table[i].typeCode) << table[i].tag;
        EXPECT_FLOAT_EQ(Depth(control), static_cast<float>(n - (i + 2))) << table[i].tag;
    }
    ASSERT_EQ(log.entries.size(), n);
    EXPECT_EQ(log.entries[0], "Button 0/15");
    EXPECT_EQ(log.entries[1], "widget 1/15");
    EXPECT_EQ(log.entries[14], "window 14/15");
}

TEST_F(GUILoaderTest, ReferencesFindOnlyEarlierControlsOfTheirKind)
{
    ASSERT_TRUE(LoadText(R"(<gui>
        <button name="early" font="f"/>
        <font name="f" kern="3"/>
        <scroll name="s" w="13"/>
        <button name="b" font="f"/>
        <checkbox name="c" font="f"/>
        <edit name="e" font="f"/>
        <window name="w" font="f"/>
        <list name="l" font="f" scroll="s" h="100"><column name="c" w="50"><item text="x"/></column></list>
        <combo name="cb" font="f" scroll="s" h="100"/>
        <button name="wrongKind" font="b"/>
        <list name="wrongScroll" scroll="f" font="s" h="100"><column name="c" w="50"><item text="x"/></column></list>
        <combo name="missing" font="nobody" scroll="nobody"/>
      </gui>)"));
    EXPECT_EQ(Find<CButton>("early")->Caption().GetKern(), 0) << "defined later";
    EXPECT_EQ(Find<CButton>("b")->Caption().GetKern(), 3);
    EXPECT_EQ(Find<CButton>("c")->Caption().GetKern(), 3);
    EXPECT_EQ(Find<CEdit>("e")->TextFont().GetKern(), 3);
    EXPECT_EQ(Find<CWindow>("w")->Title().GetKern(), 3);

    CList* list = Find<CList>("l");
    const auto* item = dynamic_cast<const CFont*>(list->Cell(0, 0));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetKern(), 3);
    EXPECT_FLOAT_EQ(list->ScrollBar().GetSize().x, 13.0f);

    CCombo* combo = Find<CCombo>("cb");
    EXPECT_EQ(combo->Edit().TextFont().GetKern(), 3);
    EXPECT_EQ(combo->Button().Caption().GetKern(), 3);
    EXPECT_FLOAT_EQ(combo->List().ScrollBar().GetSize().x, 13.0f);

    // A name of the wrong kind counts as absent, as does no name at all.
    EXPECT_EQ(Find<CButton>("wrongKind")->Caption().GetKern(), 0);
    CList* wrong = Find<CList>("wrongScroll");
    EXPECT_NE(wrong->ScrollBar().GetSize().x, 13.0f);
    EXPECT_EQ(dynamic_cast<const CFont*>(wrong->Cell(0, 0))->GetKern(), 0);
    EXPECT_NE(Find<CCombo>("missing")->List().ScrollBar().GetSize().x, 13.0f);
}

TEST_F(GUILoaderTest, ParentLinksComeAfterTheListAndNeverCloseACycle)
{
    ASSERT_TRUE(LoadText(R"(<gui>
        <gui name="child" parent="later"/>
        <gui name="later"/>
        <gui name="a" parent="b"/>
        <gui name="b" parent="a"/>
        <gui name="self" parent="self"/>
        <gui name="orphan" parent="nobody"/>
        <gui name="dup" parent="later"/>
        <gui name="dup"/>
      </gui>)"));
    EXPECT_EQ(Find("child")->GetParent(), Find("later"));
    EXPECT_EQ(Find("a")->GetParent(), Find("b"));
    EXPECT_EQ(Find("b")->GetParent(), nullptr) << "a already hangs under b";
    EXPECT_EQ(Find("self")->GetParent(), nullptr);
    EXPECT_EQ(Find("orphan")->GetParent(), nullptr);
    // Names are found first-first: the second "dup" takes no parent.
    EXPECT_EQ(manager.GetControl(6)->GetParent(), Find("later"));
    EXPECT_EQ(manager.GetControl(7)->GetParent(), nullptr);
}

TEST_F(GUILoaderTest, MenusAreAppendedAtOnceAndTheirItemsTakeAfterThem)
{
    LoadingLog log;
    ConnectSlot(log.slots, manager.Loading, &log, &LoadingLog::OnLoading);
    ASSERT_TRUE(LoadText(R"(<gui>
        <gui name="panel"/>
        <font name="f" kern="2"/>
        <menu name="file" font="f" w="80" h="20" text="File">
          <emission r="0.5" g="0.25" b="0" a="1"/>
          <hover r="1" g="0" b="0" a="0.5"/>
          <menu name="open" parent="file" w="5" h="5"/>
          <menu name="red" parent="file"><emission r="1" g="0" b="0" a="1"/></menu>
          <menu name="recent" parent="open"/>
        </menu>
        <menu name="loose" parent="panel"/>
        <menu name="ahead" parent="later"/>
        <menu name="later"/>
      </gui>)"));
    ASSERT_EQ(manager.GetCount(), 9u);
    EXPECT_EQ(manager.GetControl(3), Find("open")) << "items follow their menu in the list";

    CMenu* file = Find<CMenu>("file");
    CMenu* open = Find<CMenu>("open");
    CMenu* red = Find<CMenu>("red");
    EXPECT_EQ(file->Label().GetKern(), 2);
    ASSERT_EQ(file->Items().size(), 2u);
    EXPECT_EQ(file->Items()[0], open);
    EXPECT_EQ(file->Items()[1], red);
    ASSERT_EQ(open->Items().size(), 1u);
    EXPECT_EQ(open->Items()[0], Find<CMenu>("recent"));
    EXPECT_EQ(open->GetParent(), file);
    EXPECT_FALSE(open->IsVisible());

    // An item takes its menu's depth, size and hover colour, and its
    // material unless it has colours of its own.
    EXPECT_FLOAT_EQ(Depth(*open), Depth(*file));
    EXPECT_FLOAT_EQ(open->GetSize().x, 80.0f);
    EXPECT_FLOAT_EQ(open->GetSize().y, 20.0f);
    EXPECT_FLOAT_EQ(open->HoverColour().x, 1.0f);
    EXPECT_FLOAT_EQ(open->HoverColour().w, 0.5f);
    EXPECT_FLOAT_EQ(open->GetMaterial().GetEmission().x, 0.5f);
    EXPECT_FLOAT_EQ(red->GetMaterial().GetEmission().x, 1.0f);
    EXPECT_FLOAT_EQ(red->GetMaterial().GetEmission().y, 0.0f);

    // Not a menu: a plain parent. A later menu: linked after the list only,
    // so not an item.
    EXPECT_EQ(Find("loose")->GetParent(), Find("panel"));
    EXPECT_EQ(Find("ahead")->GetParent(), Find("later"));
    EXPECT_TRUE(Find<CMenu>("later")->Items().empty());

    // The nested list has its own indices; its "emission" and "hover"
    // children count in it like any element.
    EXPECT_EQ(log.entries[3], "emission 0/5");
    EXPECT_EQ(log.entries[5], "menu 2/5");
    EXPECT_EQ(log.entries.size(), 12u);
}

TEST_F(GUILoaderTest, MenusNestedPastTheBoundGetNoItems)
{
    const unsigned levels = CGUIManager::kMaxMenuDepth + 20;
    std::string xml = "<gui>";
    for (unsigned i = 0; i < levels; ++i)
        xml += "<menu name=\"m" + std::to_string(i) + "\"" +
               (i ? " parent=\"m" + std::to_string(i - 1) + "\"" : "") + ">";
    for (unsigned i = 0; i < levels; ++i)
        xml += "</menu>";
    xml += "</gui>";
    ASSERT_TRUE(LoadText(xml));
    EXPECT_EQ(manager.GetCount(), CGUIManager::kMaxMenuDepth + 1);
    const std::string last = "m" + std::to_string(CGUIManager::kMaxMenuDepth);
    ASSERT_NE(Find<CMenu>(last.c_str()), nullptr);
    EXPECT_TRUE(Find<CMenu>(last.c_str())->Items().empty());
}

TEST_F(GUILoaderTest, FrameCellsComeFromItsGuiChildrenOnly)
{
    AddSprite("skin");
    ASSERT_TRUE(LoadText(R"(<gui>
        <frame name="fr" x="100" y="100" w="60" h="40" borderX="2">
          <gui border="5" sprite="skin" frame="1"/>
          <gui border="7" w="6" h="9"/>
          <button border="2" w="9" h="9"/>
          <gui border="12" w="3" h="3"/>
          <gui w="4" h="4"/>
        </frame>
      </gui>)"));
    ASSERT_EQ(manager.GetCount(), 1u) << "cells are the frame's, not the manager's";
    CFrame* frame = Find<CFrame>("fr");
    EXPECT_FLOAT_EQ(frame->GetBorder().x, 2.0f);
    CGUI* corner = frame->Cell(5);
    EXPECT_EQ(corner->GetFrame(), 1u);
    EXPECT_FLOAT_EQ(corner->GetSize().x, 32.0f);
    EXPECT_EQ(corner->GetParent(), frame);
    EXPECT_FLOAT_EQ(frame->Cell(0)->GetSize().x, 4.0f) << "no border reads as 0";
    EXPECT_FLOAT_EQ(frame->Cell(7)->GetSize().y, 9.0f);
    EXPECT_NE(frame->Cell(2)->GetSize().x, 9.0f) << "not tagged gui";
    // Laid out after the cells: the top edge sits right of corner 0.
    EXPECT_FLOAT_EQ(frame->Cell(1)->GetPosition().x, (4.0f - 2.0f) / 2);
}

TEST_F(GUILoaderTest, OnlyASpriteResourceGivesASprite)
{
    AddSprite("skin");
    auto texture = std::make_unique<CTexture>();
    texture->SetName("picture");
    resources.Add(std::move(texture));
    ASSERT_TRUE(LoadText(R"(<gui>
        <gui name="first" sprite="skin"/>
        <gui name="second" sprite="skin" frame="1"/>
        <gui name="negative" sprite="skin" frame="-3"/>
        <gui name="texture" sprite="picture" frame="1"/>
        <gui name="missing" sprite="nothing"/>
        <gui name="sized" sprite="skin" w="50" h="60"/>
      </gui>)"));
    EXPECT_FLOAT_EQ(Find("first")->GetSize().x, 16.0f);
    EXPECT_EQ(Find("second")->GetFrame(), 1u);
    EXPECT_FLOAT_EQ(Find("second")->GetSize().y, 12.0f);
    EXPECT_EQ(Find("negative")->GetFrame(), 0u);
    for (const char* name : {"texture", "missing"})
    {
        EXPECT_EQ(Find(name)->GetSprite().GetFrameCount(), 0u) << name;
        EXPECT_FLOAT_EQ(Find(name)->GetSize().x, 1.0f) << name;
    }
    EXPECT_FLOAT_EQ(Find("sized")->GetSize().x, 50.0f);
}

TEST_F(GUILoaderTest, ADescriptionThatDoesNotParseToItsEndBuildsNothing)
{
    ASSERT_TRUE(LoadText("<gui><gui name=\"kept\"/></gui>"));
    LoadingLog log;
    ConnectSlot(log.slots, manager.Loading, &log, &LoadingLog::OnLoading);
    const std::string broken[] = {
        "",
        "not xml",
        "<gui><gui name=\"a\"/><gui name=\"b\"/>",             // truncated
        "<gui><gui name=\"a\"/><gui name=\"b\"></list></gui>", // mismatched
        "<gui><gui name=\"a\"/></gui><second/>",               // two roots
    };
    for (const std::string& text : broken)
        EXPECT_FALSE(LoadText(text)) << text;
    EXPECT_FALSE(manager.Load((scratch.Path() / "absent.xml").string().c_str(), resources));
    EXPECT_EQ(manager.GetCount(), 1u);
    EXPECT_TRUE(log.entries.empty());

    // A good description adds to what is there.
    ASSERT_TRUE(LoadText("<gui><gui name=\"added\"/></gui>"));
    EXPECT_EQ(manager.GetCount(), 2u);
}

TEST_F(GUILoaderTest, TooManyElementsBuildNothing)
{
    // Children of children count too: the list's column and item.
    std::string xml = "<gui><list><column><item/></column></list>";
    for (unsigned i = 0; i < CGUIManager::kMaxElements - 3; ++i)
        xml += "<gui/>";
    ASSERT_TRUE(LoadText(xml + "</gui>"));
    EXPECT_EQ(manager.GetCount(), CGUIManager::kMaxElements - 2);

    CXMLDocument over;
    ASSERT_TRUE(over.Parse((xml + "<gui/></gui>").c_str()));
    EXPECT_FALSE(manager.Build(over, resources));
    EXPECT_EQ(manager.GetCount(), CGUIManager::kMaxElements - 2);
}
