// Buttons and check boxes without a window: the state table, state colours,
// the press offset, the caption, copying, and the check box's latching
// through the manager.
#include "gui/Button.h"

#include <climits>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "core/XML.h"
#include "gui/CheckBox.h"
#include "gui/GUIManager.h"
#include "resources/Texture.h"
#include "support/MouseEvents.h"

namespace
{

CTexture g_texture; // never uploaded: frames only need to point at one

CSprite Frames(unsigned count)
{
    CSprite sprite;
    SpriteFrame frame;
    frame.texture = &g_texture;
    for (unsigned i = 0; i < count; ++i)
        sprite.AddFrame(frame);
    return sprite;
}

void Load(CGUI& control, const char* xml)
{
    CXMLDocument document;
    ASSERT_TRUE(document.Parse(xml));
    control.LoadAttributes(*document.GetChild(0));
}

void Inject(CGUI& control, unsigned action, float x)
{
    CInputMap event;
    event.Action = action;
    event.Position.Set(x, 10);
    control.Input.Emit(event);
}

} // namespace

TEST(Button, StateTableShowsTheBaseFramePlusTheState)
{
    CButton button;
    CSprite sprite = Frames(8);
    button.SetSprite(sprite);
    button.ShowFrame(4);
    button.SetSize(40, 20);
    const auto over = [&] { button.MouseOver.Emit(); };
    const auto out = [&] { button.MouseOut.Emit(); };
    const auto pressIn = [&] { Inject(button, CInputMap::Press, 10); };
    const auto pressOut = [&] { Inject(button, CInputMap::Press, 60); };
    const auto releaseIn = [&] { Inject(button, CInputMap::Release, 10); };
    const auto releaseOut = [&] { Inject(button, CInputMap::Release, 60); };
    const auto disable = [&] { button.SetEnabled(false); };
    const auto enable = [&] { button.SetEnabled(true); };
    const std::pair<std::function<void()>, unsigned> rows[] = {
        {over, 1}, {out, 0},        {pressOut, 0}, {pressIn, 2},   {out, 2},
        {over, 2}, {releaseOut, 0}, {pressIn, 2},  {releaseIn, 1}, {disable, 3},
        {over, 3}, {pressIn, 3},    {enable, 0},
    };
    for (unsigned row = 0; row < std::size(rows); ++row)
    {
        rows[row].first();
        EXPECT_EQ(button.GetState(), rows[row].second) << "row " << row;
        EXPECT_EQ(button.GetFrame(), 4 + rows[row].second) << "row " << row;
    }
}

TEST(Button, ColoursNeedAlphaAndThePressOffsetMovesButtonOrCaption)
{
    const char* xml = R"(<gui><button x="10" y="10" w="40" h="20" text="a\\nb">
        <hover r="1" a="0.5"/><down g="1"/></button></gui>)";
    CButton plain;
    Load(plain, xml);
    plain.SetState(CButton::Hover);
    // Down's colour has alpha 0, states past Disabled have none at all.
    for (unsigned state : {unsigned(CButton::Down), 4u, UINT_MAX})
    {
        plain.SetState(state);
        EXPECT_EQ(plain.GetMaterial().GetEmission(), CVector(1, 0, 0, 0.5f)) << state;
    }
    // Without a sprite the button itself moves by "text"'s (2, 2).
    plain.SetState(CButton::Down);
    plain.SetState(CButton::Down);
    EXPECT_EQ(plain.GetPosition(), CVector(12, 12, 0));
    plain.SetState(CButton::Normal);
    EXPECT_EQ(plain.GetPosition(), CVector(10, 10, 0));

    CButton skinned;
    CSprite sprite = Frames(8);
    skinned.SetSprite(sprite);
    skinned.ShowFrame(2);
    Load(skinned, xml);
    skinned.SetState(CButton::Down);
    EXPECT_EQ(skinned.GetPosition(), CVector(10, 10, 0));
    EXPECT_EQ(skinned.Caption().GetPosition(), CVector(2, 2, 0));

    // A copy keeps the base frame and the text as stored; its state comes
    // from its flags.
    skinned.SetEnabled(false);
    CButton copy;
    copy.CopyFrom(skinned);
    EXPECT_EQ(copy.GetFrame(), 2u + CButton::Disabled);
    EXPECT_STREQ(copy.Caption().Text().GetText(), "a\\nb");
    EXPECT_EQ(copy.Caption().GetParent(), &copy);
}

TEST(Button, CaptionFollowsTheSizeWithoutCallingItselfAgain)
{
    CButton button;
    Load(button, R"(<gui><button w="40" h="20"><offset w="60"/></button></gui>)");
    button.SetSize(80, 30);
    EXPECT_EQ(button.Caption().GetSize(), CVector(60, 30, 1));
    button.Caption().SetSize(10, 10); // its own Resized reaches the same handler
    EXPECT_EQ(button.Caption().GetSize(), CVector(60, 10, 1));
}

TEST(CheckBox, TogglesBeforeLaterHandlersAndTheCaptionCountsAsTheBox)
{
    struct Reader
    {
        void OnClicked() { seen.push_back(box->IsChecked()); }
        CCheckBox* box;
        std::vector<bool> seen;
        Connections slots;
    };
    CGUIManager manager;
    auto* box = static_cast<CCheckBox*>(manager.Append(std::make_unique<CCheckBox>()));
    CFont font;
    box->SetFont(&font);
    Load(*box, R"(<gui><checkbox w="16" h="16"><offset w="100"/></checkbox></gui>)");
    Reader reader{box, {}, {}};
    ConnectSlot(reader.slots, box->Clicked, &reader, &Reader::OnClicked);

    std::vector<unsigned> states;
    for (float x : {8.0f, 90.0f}) // on the box, then on the caption past it
    {
        EmitMouse(CInputMap::Press, x, 8);
        EmitMouse(CInputMap::Release, x, 8);
        box->MouseOver.Emit(); // a checked box stays down
        states.push_back(box->GetState());
    }
    EXPECT_EQ(reader.seen, (std::vector<bool>{true, false}));
    EXPECT_EQ(states, (std::vector<unsigned>{CButton::Down, CButton::Hover}));
}
