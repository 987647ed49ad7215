// The edit box's key rules, one table; the focus that gates them and the
// caret timer that follows it.
#include "gui/Edit.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/Clock.h"
#include "core/Timer.h"
#include "gui/GUITestSupport.h"

namespace
{

struct Recorder
{
    void OnChanged(const String& text) { texts.emplace_back(text.GetText()); }
    std::vector<std::string> texts;
    Connections slots;
};

uint32_t g_now = 0;
uint32_t Now()
{
    return g_now;
}

} // namespace

TEST(Edit, KeysFollowTheRulesOfTheMode)
{
    struct Case
    {
        const char* element;
        const char* typed;
        const char* text;
        unsigned changes;
    } cases[] = {
        {R"(<edit limit="3"/>)", "abcd", "abc", 3},
        {R"(<edit number="1"/>)", "1.2.3x", "1.23", 4},
        {R"(<edit number="1" limit="2"/>)", "123", "12", 2},
        {R"(<edit/>)", "\b\b", "", 0}, // backspace on an empty text
        {R"(<edit/>)", "ab\bc", "ac", 4},
        {R"(<edit/>)", "a\rb", "ab", 2}, // enter in a single-line box
        {R"(<edit multiline="1"/>)", "a\rb", "a\nb", 3},
        {R"(<edit multiline="1" limit="1"/>)", "a\r", "a", 1},
        {R"(<edit/>)", "a\\nb", "a\\nb", 4},   // typed, not escaped
        {R"(<edit/>)", "\t\x1b\xe9~", "~", 1}, // controls and Latin-1 dropped
        {R"(<edit limit="-4"/>)", "a", "", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.element);
        CEdit edit;
        LoadXML(edit, (std::string("<gui>") + c.element + "</gui>").c_str());
        Recorder record;
        ConnectSlot(record.slots, edit.TextChanged, &record, &Recorder::OnChanged);
        edit.SetFocus(true);
        Type(c.typed);
        EXPECT_STREQ(edit.Text().GetText(), c.text);
        EXPECT_EQ(record.texts.size(), c.changes);
        if (!record.texts.empty())
        {
            EXPECT_EQ(record.texts.back(), c.text);
        }
    }
}

TEST(Edit, OnlyTheFocusedBoxTakesKeyDownsAndItsCaretBlinks)
{
    const ClockSource previous = SetClockSource(&Now);
    CEdit focused, other;
    LoadXML(focused, R"(<gui><edit text="x\ny" password="1"/></gui>)");
    EXPECT_STREQ(focused.Text().GetText(), "x\ny"); // set, so escaped
    focused.SetFocus(true);
    EmitKeyEvent(CInputMap::Release, 'a');
    Type("z");
    EXPECT_STREQ(focused.Text().GetText(), "x\nyz"); // masked only when drawn
    EXPECT_STREQ(other.Text().GetText(), "");

    EXPECT_TRUE(focused.CaretTimer().IsActive());
    EXPECT_FALSE(other.CaretTimer().IsActive());
    const bool shown = focused.IsCaretShown();
    g_now += CEdit::CaretPeriod;
    FrameTick().Emit();
    EXPECT_NE(focused.IsCaretShown(), shown);

    focused.SetFocus(false);
    EXPECT_FALSE(focused.CaretTimer().IsActive());
    Type("q");
    EXPECT_STREQ(focused.Text().GetText(), "x\nyz");

    // A copy is a box of its own, without the focus.
    CEdit copy;
    focused.SetFocus(true);
    copy.CopyFrom(focused);
    EXPECT_FALSE(copy.IsFocused());
    EXPECT_TRUE(copy.TextFont().IsPassword());
    EXPECT_EQ(copy.TextFont().GetParent(), &copy);
    SetClockSource(previous);
}

TEST(Edit, ArrowKeysTypeNothingAndTheFocusIsCountedOnce)
{
    // The arrows' key codes are the characters '%&'(.
    CEdit edit;
    edit.SetFocus(true);
    for (int arrow = CInputMap::KeyArrowLeft; arrow <= CInputMap::KeyArrowDown; ++arrow)
        EmitKeyEvent(CInputMap::Press, arrow);
    EXPECT_STREQ(edit.Text().GetText(), "");
    Type("%&'(");
    EXPECT_STREQ(edit.Text().GetText(), "%&'(");

    EXPECT_TRUE(CEdit::IsAnyFocused());
    edit.SetFocus(true); // focused twice, unfocused once
    edit.SetFocus(false);
    EXPECT_FALSE(CEdit::IsAnyFocused());
    {
        CEdit focused, copy;
        focused.SetFocus(true);
        copy.SetFocus(true);
        copy.CopyFrom(focused); // the copy gives up its focus
        EXPECT_TRUE(CEdit::IsAnyFocused());
    }
    EXPECT_FALSE(CEdit::IsAnyFocused()) << "a focused box destroyed keeps the keys";
}
