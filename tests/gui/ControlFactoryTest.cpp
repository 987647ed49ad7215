// The tag table the description loader creates controls through.
#include "gui/ControlFactory.h"

#include <utility>

#include <gtest/gtest.h>

#include "gui/GUI.h"
#include "gui/Progress.h"

TEST(ControlFactory, BuiltInTagsMatchExactlyAndLaterMakersReplaceEarlierOnes)
{
    CControlFactory factory;
    const std::pair<const char*, int> kinds[] = {
        {"gui", CGUI::TypeGUI},           {"button", CGUI::TypeButton},
        {"checkbox", CGUI::TypeCheckBox}, {"font", CGUI::TypeFont},
        {"progress", CGUI::TypeProgress}, {"scroll", CGUI::TypeScroll},
        {"edit", CGUI::TypeEdit},         {"list", CGUI::TypeList},
        {"combo", CGUI::TypeCombo},       {"window", CGUI::TypeWindow},
        {"frame", CGUI::TypeFrame},       {"control", CGUI::TypeControlBar},
        {"menu", CGUI::TypeMenu},
    };
    for (const auto& [tag, code] : kinds)
    {
        const auto control = factory.Create(tag);
        ASSERT_TRUE(control) << tag;
        EXPECT_EQ(control->TypeCode(), code) << tag;
    }
    EXPECT_NE(dynamic_cast<CProgress*>(factory.Create("progress").get()), nullptr);
    for (const char* unknown : {"GUI", "progress ", "", "Combo", "controlbar"})
    {
        EXPECT_EQ(factory.Create(unknown), nullptr) << unknown;
        EXPECT_EQ(factory.Find(unknown), nullptr) << unknown;
    }

    factory.Register<CProgress>("button");
    factory.Register("gui", [] { return std::unique_ptr<CGUI>(std::make_unique<CProgress>()); });
    EXPECT_EQ(factory.Create("button")->TypeCode(), CGUI::TypeProgress);
    EXPECT_EQ(factory.Create("gui")->TypeCode(), CGUI::TypeProgress);
}
