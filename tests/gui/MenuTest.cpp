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

} // namespace

TEST(Menu, ItemsOpenBelowATopMenuAndBesideAnItem)
{
    Tree tree;
    EXPECT_FALSE(tree.open->IsVisible());
    ClickAt(110, 60);
    EXPECT_TRUE(tree.file->IsExpanded());
    EXPECT_TRUE(tree.open->IsVisible());
    EXPECT_EQ(tree.open->AbsolutePosition(), CVector(100, 70, 0));
    EXPECT_EQ(tree.recent->AbsolutePosition(), CVector(100, 90, 0));

    // Hovering "Recent" opens "One" beside it; the way onto "One" keeps it.
    MoveTo(110, 105);
    EXPECT_TRUE(tree.recent->IsHighlighted());
    EXPECT_TRUE(tree.one->IsVisible());
    EXPECT_EQ(tree.one->AbsolutePosition(), CVector(200, 90, 0));
    MoveTo(210, 95);
    EXPECT_TRUE(tree.one->IsVisible());
    EXPECT_TRUE(tree.recent->IsHighlighted());
    // Leaving both closes "Recent" again; the top menu stays open.
    MoveTo(400, 300);
    EXPECT_FALSE(tree.one->IsVisible());
    EXPECT_FALSE(tree.recent->IsHighlighted());
    EXPECT_TRUE(tree.open->IsVisible());

    // A second click on the top menu closes it.
    ClickAt(110, 60);
    EXPECT_FALSE(tree.file->IsExpanded());
    EXPECT_FALSE(tree.open->IsVisible());
}

TEST(Menu, AnItemClickOrTheFocusLeavingClosesTheTree)
{
    Tree tree;
    ClickAt(110, 60);
    MoveTo(110, 105);
    MoveTo(210, 95);
    ClickAt(210, 95); // "One"
    for (CMenu* menu : {tree.open, tree.recent, tree.one})
        EXPECT_FALSE(menu->IsVisible());
    EXPECT_FALSE(tree.file->IsExpanded());
    EXPECT_FALSE(tree.file->IsHighlighted());

    ClickAt(110, 60);
    EXPECT_TRUE(tree.open->IsVisible());
    ClickAt(500, 500);
    EXPECT_FALSE(tree.open->IsVisible());
    EXPECT_FALSE(tree.file->IsExpanded());
}
