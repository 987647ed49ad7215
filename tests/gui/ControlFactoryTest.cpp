// The tag table the description loader creates controls through.
#include "gui/ControlFactory.h"

#include <gtest/gtest.h>

#include "gui/GUI.h"
#include "gui/Progress.h"

TEST(ControlFactory, BuiltInTagsMatchExactlyAndLaterMakersReplaceEarlierOnes)
{
    CControlFactory factory;
    const auto gui = factory.Create("gui");
    const auto progress = factory.Create("progress");
    ASSERT_TRUE(gui && progress);
    EXPECT_EQ(gui->TypeCode(), CGUI::TypeGUI);
    EXPECT_EQ(progress->TypeCode(), CGUI::TypeProgress);
    EXPECT_NE(dynamic_cast<CProgress*>(progress.get()), nullptr);
    for (const char* unknown : {"GUI", "progress ", "", "button"})
    {
        EXPECT_EQ(factory.Create(unknown), nullptr) << unknown;
        EXPECT_EQ(factory.Find(unknown), nullptr) << unknown;
    }

    factory.Register<CProgress>("button");
    factory.Register("gui", [] { return std::unique_ptr<CGUI>(std::make_unique<CProgress>()); });
    EXPECT_EQ(factory.Create("button")->TypeCode(), CGUI::TypeProgress);
    EXPECT_EQ(factory.Create("gui")->TypeCode(), CGUI::TypeProgress);
}
