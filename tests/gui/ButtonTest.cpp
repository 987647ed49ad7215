// Buttons and check boxes without a window: the state table, state frames
// and colours, the press offset, the caption, copying, and the check box's
// latching through the manager.
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
    frame.w = 40;
    frame.h = 20;
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

void Inject(CGUI& control, unsigned action, float x, float y)
{
    CInputMap event;
    event.Action = action;
    event.Position.Set(x, y);
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
    const auto pressIn = [&] { Inject(button, CInputMap::Press, 10, 10); };
    const auto pressOut = [&] { Inject(button, CInputMap::Press, 60, 10); };
    const auto releaseIn = [&] { Inject(button, CInputMap::Release, 10, 10); };
    const auto releaseOut = [&] { Inject(button, CInputMap::Release, 60, 10); };
    const auto disable = [&] { button.SetEnabled(false); };
    const auto enable = [&] { button.SetEnabled(true); };
    const std::pair<std::function<void()>, unsigned> rows[] = {
        {over, 1}, {out, 0},        {pressOut, 0}, {pressIn, 2},   {out, 2},
        {over, 2}, {releaseOut, 0}, {pressIn, 2},  {releaseIn, 1}, {disable, 3},
        {over, 3}, {pressIn, 3},    {enable, 0},
    };
    for (unsigned row = 0; row < std::size(rows); ++row)
    {
        const auto& [event, state] = rows[row];
        event();
        EXPECT_EQ(button.GetState(), state) << "row " << row;
        EXPECT_EQ(button.GetFrame(), 4 + state) << "row " << row;
    }
}

TEST(Button, ColoursNeedAlphaAndThePressOffsetMovesButtonOrCaption)
{
    const char* xml = R"(<gui><button x="10" y="10" w="40" h="20" text="Go">
        <hover r="1" a="0.5"/><down g="1"/></button></gui>)";
    CButton plain;
    Load(plain, xml);
    const CMaterial& material = plain.GetMaterial();
    plain.SetState(CButton::Hover);
    EXPECT_EQ(material.GetEmission(), CVector(1, 0, 0, 0.5f));
    EXPECT_EQ(material.GetDiffuse().w, 0.5f);
    // Down's colour has alpha 0, states past Disabled have none at all.
    for (unsigned state : {unsigned(CButton::Down), 4u, UINT_MAX})
    {
        plain.SetState(state);
        EXPECT_EQ(material.GetEmission(), CVector(1, 0, 0, 0.5f)) << state;
    }
    // Without a sprite the button itself moves by "text"'s (2, 2).
    plain.SetState(CButton::Down);
    plain.SetState(CButton::Down);
    EXPECT_EQ(plain.GetPosition(), CVector(12, 12, 0));
    plain.SetState(CButton::Normal);
    EXPECT_EQ(plain.GetPosition(), CVector(10, 10, 0));

    CButton skinned;
    CSprite sprite = Frames(4);
    skinned.SetSprite(sprite);
    Load(skinned, xml);
    skinned.SetState(CButton::Down);
    EXPECT_EQ(skinned.GetPosition(), CVector(10, 10, 0));
    EXPECT_EQ(skinned.Caption().GetPosition(), CVector(2, 2, 0));
    skinned.SetState(CButton::Hover);
    EXPECT_EQ(skinned.Caption().GetPosition(), CVector(0, 0, 0));
}

TEST(Button, CaptionFollowsTheSizeWithoutCallingItselfAgain)
{
    CButton button;
    Load(button, R"(<gui><button w="40" h="20"><offset w="60"/></button></gui>)");
    EXPECT_EQ(button.Caption().GetSize(), CVector(60, 20, 1));
    button.SetSize(80, 30);
    EXPECT_EQ(button.Caption().GetSize(), CVector(60, 30, 1));
    // Its own Resized reaches the handler that sizes it.
    button.Caption().SetSize(10, 10);
    EXPECT_EQ(button.Caption().GetSize(), CVector(60, 10, 1));
}

TEST(Button, CopyTakesBaseFrameCaptionTextAsStoredAndStateFromTheFlags)
{
    CButton source;
    CSprite sprite = Frames(8);
    source.SetSprite(sprite);
    source.ShowFrame(2);
    CFont font;
    font.SetAlign(0);
    source.SetFont(&font);
    Load(source, R"(<gui><button text="a\\nb" enabled="false"/></gui>)");

    CButton copy;
    copy.CopyFrom(source);
    EXPECT_EQ(copy.GetState(), CButton::Disabled);
    EXPECT_EQ(copy.GetFrame(), 2u + CButton::Disabled);
    EXPECT_STREQ(copy.Caption().Text().GetText(), "a\\nb");
    EXPECT_EQ(copy.Caption().GetParent(), &copy);
    EXPECT_EQ(copy.Caption().GetAlign(), 4); // a button centres its caption
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
    font.SetAlign(5);
    box->SetFont(&font);
    Load(*box, R"(<gui><checkbox w="16" h="16"><offset w="100"/></checkbox></gui>)");
    EXPECT_EQ(box->Caption().GetAlign(), 5);
    Reader reader{box, {}, {}};
    ConnectSlot(reader.slots, box->Clicked, &reader, &Reader::OnClicked);

    EmitMouse(CInputMap::Press, 8, 8);
    EmitMouse(CInputMap::Release, 8, 8);
    EXPECT_EQ(box->GetState(), CButton::Down);
    box->MouseOut.Emit(); // latched: stays down
    EXPECT_EQ(box->GetState(), CButton::Down);
    EmitMouse(CInputMap::Press, 90, 8); // on the caption, past the box
    EmitMouse(CInputMap::Release, 90, 8);
    EXPECT_EQ(reader.seen, (std::vector<bool>{true, false}));
    EXPECT_EQ(box->GetState(), CButton::Normal);
}
