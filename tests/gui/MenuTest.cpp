// A menu tree in the manager, driven by the input map's own mouse builders
// (menus read the recorded pointer): opening on a click and on hover,
// staying open on the way to a sub-item, closing on an item click or when
// the focus leaves.
#include "gui/Menu.h"

#include <memory>

#include <gtest/gtest.h>

#include "gui/GUIManager.h"
#include "gui/GUITestSupport.h"

namespace
{

// "File" at (100, 50), 80 x 20, with items "Open" and "Recent", 30 tall but
// stacked at the top menu's 20 ("Open" covers the top of "Recent"); "Recent"
// has "One".
struct Tree
{
    Tree()
    {
        file = Add(100, 50, 80, 20, nullptr);
        open = Add(0, 0, 100, 30, file);
        recent = Add(0, 0, 100, 30, file);
        one = Add(0, 0, 60, 20, recent);
    }
    CMenu* Add(float x, float y, float w, float h, CMenu* parent)
    {
        auto* menu = static_cast<CMenu*>(manager.Append(std::make_unique<CMenu>()));
        menu->SetPosition(x, y);
        menu->SetSize(w, h);
        if (parent)
            parent->AddItem(menu);
        return menu;
    }

    CGUIManager manager;
    CMenu* file;
    CMenu* open;
    CMenu* recent;
    CMenu* one;
};

// The tree after `step`: the top menu expanded, its items shown, "Recent"
// highlighted, "One" shown.
void ExpectState(const Tree& tree, const char* step, bool expanded, bool items, bool recent,
                 bool one)
{
    SCOPED_TRACE(step);
    EXPECT_EQ(tree.file->IsExpanded(), expanded);
    EXPECT_EQ(tree.open->IsVisible(), items);
    EXPECT_EQ(tree.recent->IsVisible(), items);
    EXPECT_EQ(tree.recent->IsHighlighted(), recent);
    EXPECT_EQ(tree.one->IsVisible(), one);
}

} // namespace

TEST(Menu, ItemsOpenBelowATopMenuAndBesideAnItem)
{
    Tree tree;
    ExpectState(tree, "built", false, false, false, false);
    ClickAt(110, 60);
    ExpectState(tree, "clicked", true, true, false, false);
    EXPECT_EQ(tree.open->AbsolutePosition(), CVector(100, 70, 0));
    EXPECT_EQ(tree.recent->AbsolutePosition(), CVector(100, 90, 0));

    // Hovering "Recent" opens "One" beside it; the way onto "One" keeps it.
    MoveTo(110, 105);
    ExpectState(tree, "on Recent", true, true, true, true);
    EXPECT_EQ(tree.one->AbsolutePosition(), CVector(200, 90, 0));
    MoveTo(210, 95);
    ExpectState(tree, "on One", true, true, true, true);
    // Leaving both closes "Recent" again; the top menu stays open.
    MoveTo(400, 300);
    ExpectState(tree, "off both", true, true, false, false);

    // A second click on the top menu closes it.
    ClickAt(110, 60);
    ExpectState(tree, "clicked again", false, false, false, false);
}

TEST(Menu, AnItemClickOrTheFocusLeavingClosesTheTree)
{
    Tree tree;
    ClickAt(110, 60);
    MoveTo(110, 105);
    MoveTo(210, 95);
    ClickAt(210, 95);
    ExpectState(tree, "One clicked", false, false, false, false);
    EXPECT_FALSE(tree.file->IsHighlighted());

    ClickAt(110, 60);
    ExpectState(tree, "reopened", true, true, false, false);
    ClickAt(500, 500);
    ExpectState(tree, "clicked away", false, false, false, false);
}
