// The control base without a window: hit tests, alignment, reading a
// description element, dragging by injected input records, and signals.
#include "gui/GUI.h"

#include <vector>

#include <gtest/gtest.h>

#include "core/XML.h"
#include "resources/Texture.h"

namespace
{

struct Recorder
{
    int count = 0;
    float x = 0, y = 0;
    void Pair(float a, float b) { ++count, x = a, y = b; }
    void Flag(bool on) { ++count, x = on; }
    Connections slots;
};

void Inject(CGUI& control, unsigned action, float x, float y, unsigned code = CInputMap::Left)
{
    CInputMap record;
    record.Action = action;
    record.Code = code;
    record.Position.Set(x, y);
    control.Input.Emit(record);
}

// A sprite shows a frame only when it points at a texture; this one is never
// uploaded, so no GL context is needed.
CTexture g_texture;

SpriteFrame Frame(uint32_t w, uint32_t h, float su)
{
    SpriteFrame frame;
    frame.texture = &g_texture;
    frame.w = w, frame.h = h, frame.su = su;
    return frame;
}

} // namespace

TEST(GUI, HitTestFollowsAlignmentAndRotationWithInclusiveBounds)
{
    CGUI control;
    control.SetEnabled(true);
    control.SetPosition(50, 50);
    control.SetSize(100, 20);
    control.SetAlign(4);
    EXPECT_TRUE(control.Contains(0, 40));
    EXPECT_TRUE(control.Contains(100, 60));
    EXPECT_FALSE(control.Contains(101, 50));
    EXPECT_FALSE(control.Contains(50, 39));
    control.SetAlign(8);
    EXPECT_FALSE(control.Contains(51, 50));
    control.SetAlign(9); // out of range: placement unchanged
    EXPECT_TRUE(control.Contains(-50, 30));

    // 90 degrees about z turn a 100 x 10 strip at (200, 200) upwards on
    // screen (x 200..210, y 100..200), where the transform also draws it.
    control.SetAlign(0);
    control.SetPosition(200, 200);
    control.SetSize(100, 10);
    control.SetRotation(0, 0, 90);
    EXPECT_TRUE(control.Contains(205, 105));
    EXPECT_FALSE(control.Contains(250, 205));
    EXPECT_FALSE(control.Contains(205, 250));
    const ShapeVertex far = control.GetVertex(2, true);
    EXPECT_NEAR(far.position.x, 210, 0.01);
    EXPECT_NEAR(far.position.y, 100, 0.01);
}

TEST(GUI, DisabledOrHiddenAncestorsBlockHits)
{
    CGUI parent, child;
    parent.SetSize(50, 50);
    EXPECT_FALSE(parent.Contains(10, 10)); // a plain control starts disabled
    parent.SetEnabled(true);
    parent.SetPosition(100, 100);
    child.SetEnabled(true);
    child.SetPosition(10, 10);
    child.SetSize(20, 20);
    ASSERT_TRUE(child.SetParent(&parent));
    EXPECT_EQ(child.AbsolutePosition(), CVector(110, 110, 0));
    EXPECT_TRUE(child.Contains(115, 115));
    EXPECT_FALSE(child.Contains(15, 15));

    parent.SetVisible(false);
    EXPECT_FALSE(child.Contains(115, 115));
    parent.SetVisible(true);
    parent.SetEnabled(false);
    EXPECT_FALSE(child.Contains(115, 115));

    // A cycle would make every relative look-up recurse for ever.
    EXPECT_FALSE(parent.SetParent(&child));
    EXPECT_FALSE(parent.SetParent(&parent));
}

TEST(GUI, LoadAttributesReadsAttributesAndChildren)
{
    CXMLDocument document;
    ASSERT_TRUE(document.Parse(R"(<gui>
        <gui name="panel" x="12" y="34" z="5" w="200" h="80" align="1" enabled="TRUE"
             visible="0" moveable="1">
          <rotate z="30"/> <ambient r="0.5"/> <specular r="1" g="1" b="1" a="0.25"/>
          <shininess/> <alpha value="0.5"/> <blend value="true"/> <unknown/>
          <gradient> <p1 r="0.5"/> <p3 a="0.5"/> <p4 r="7" g="-1"/> <q9 r="0"/> </gradient>
        </gui></gui>)"));
    CGUI control;
    Recorder moved, resized, visible;
    ConnectSlot(moved.slots, control.Moved, &moved, &Recorder::Pair);
    ConnectSlot(resized.slots, control.Resized, &resized, &Recorder::Pair);
    ConnectSlot(visible.slots, control.VisibleChanged, &visible, &Recorder::Flag);
    control.LoadAttributes(*document.GetChild(0));

    EXPECT_STREQ(control.Name().GetText(), "panel");
    EXPECT_TRUE(moved.count == 1 && moved.x == 12 && moved.y == 34);
    EXPECT_TRUE(resized.count == 1 && resized.x == 200 && resized.y == 80);
    EXPECT_TRUE(visible.count == 1 && visible.x == 0);
    EXPECT_EQ(control.GetPosition().z, 5);
    EXPECT_EQ(control.GetAlign(), 1);
    EXPECT_TRUE(control.IsMoveable());
    EXPECT_EQ(control.GetRotation().z, 30);
    EXPECT_TRUE(control.IsEnabled());

    const CMaterial& material = control.GetMaterial();
    EXPECT_EQ(material.GetAmbient(), CVector(0.5f, 0, 0, 1));
    EXPECT_EQ(material.GetSpecular(), CVector(1, 1, 1, 0.25f));
    EXPECT_EQ(material.GetShininess(), 1.0f);
    EXPECT_EQ(material.GetDiffuse(), CVector(0.8f, 0.8f, 0.8f, 0.5f));
    EXPECT_TRUE(material.IsAdditive());
    EXPECT_EQ(material.GetEmission(), CVector(0, 0, 0, 0));
    // Components beyond 0..1 are clamped rather than wrapped into a byte.
    ASSERT_TRUE(control.HasColourArray());
    const uint8_t expected[16] = {127, 255, 255, 255, 255, 255, 255, 255,
                                  255, 255, 255, 127, 255, 0,   255, 255};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(control.GetColours()[i], expected[i]) << i;
}

TEST(GUI, AbsentAttributesKeepTheirDefaults)
{
    CGUI control;
    control.GetTransform().Set(14u, 7.0f);
    control.GetMaterial().SetAdditive(true);
    CXMLDocument document;
    ASSERT_TRUE(document.Parse("<gui><gui><blend/></gui></gui>"));
    control.LoadAttributes(*document.GetChild(0));
    EXPECT_EQ(control.GetPosition(), CVector(0, 0, 7));
    EXPECT_EQ(control.GetSize(), CVector(1, 1, 1));
    EXPECT_TRUE(control.GetMaterial().IsAdditive());
    CSprite sprite; // without "w" and "h" the size is the shown frame's
    sprite.AddFrame(Frame(64, 32, 1.0f));
    control.SetSprite(sprite);
    control.LoadAttributes(*document.GetChild(0));
    EXPECT_EQ(control.GetSize(), CVector(64, 32, 1));
}

TEST(GUI, DragFollowsThePointerAndEndsOnceAfterMoving)
{
    CGUI control;
    control.SetPosition(10, 10);
    control.SetSize(50, 50);
    control.SetMoveable(true);
    Recorder moved, ended;
    ConnectSlot(moved.slots, control.Moved, &moved, &Recorder::Pair);
    ConnectSlot(ended.slots, control.DragEnded, &ended, &Recorder::Pair);
    Inject(control, CInputMap::Press, 15, 15); // disabled: ignored
    Inject(control, CInputMap::Move, 40, 40);
    EXPECT_EQ(moved.count, 0);

    control.SetEnabled(true);
    Inject(control, CInputMap::Press, 15, 15);
    Inject(control, CInputMap::Move, 20, 30);
    Inject(control, CInputMap::Move, 25, 35);
    EXPECT_TRUE(moved.count == 2 && moved.x == 20 && moved.y == 30);
    Inject(control, CInputMap::Release, 25, 35);
    EXPECT_FALSE(control.IsDragging());
    EXPECT_TRUE(ended.count == 1 && ended.x == 20 && ended.y == 30);

    // The right button, a press never moved, and a control no longer moveable.
    Inject(control, CInputMap::Press, 30, 30, CInputMap::Right);
    Inject(control, CInputMap::Move, 100, 100);
    Inject(control, CInputMap::Press, 30, 30);
    Inject(control, CInputMap::Release, 30, 30);
    control.SetMoveable(false);
    Inject(control, CInputMap::Press, 30, 30);
    Inject(control, CInputMap::Move, 100, 100);
    EXPECT_EQ(moved.count, 2);
    EXPECT_EQ(ended.count, 1);
}

TEST(GUI, CopyTakesStateAndDragButShowsFramesInItsOwnMaterial)
{
    CGUI source;
    source.SetEnabled(true);
    source.SetPosition(5, 6);
    source.SetMoveable(true);
    CSprite sprite;
    sprite.AddFrame(Frame(8, 8, 0.25f));
    sprite.AddFrame(Frame(8, 8, 0.75f));
    source.SetSprite(sprite);

    CGUI copy;
    copy.CopyFrom(source);
    copy.ShowFrame(1);
    EXPECT_EQ(copy.GetMaterial().GetTextureMatrix().Get(0u), 0.75f);
    EXPECT_EQ(source.GetMaterial().GetTextureMatrix().Get(0u), 0.25f);
    Inject(copy, CInputMap::Press, 5, 6);
    Inject(copy, CInputMap::Move, 15, 16);
    EXPECT_EQ(copy.GetPosition().x, 15);
    EXPECT_EQ(source.GetPosition().x, 5);
}

TEST(GUI, AlignHookReceivesOnlyValidAnchorsAndMayLeaveTheCornersAlone)
{
    // As a font does: keeps the anchor for its text, the quad stays put.
    struct AnchorKeeper : CGUI
    {
        std::vector<int> seen;
        void ApplyAlign(int align) override { seen.push_back(align); }
    } control;
    control.SetEnabled(true);
    control.SetSize(10, 10);
    control.SetAlign(4);
    control.SetAlign(-1);
    control.SetAlign(9);
    EXPECT_EQ(control.seen, std::vector<int>{4});
    EXPECT_EQ(control.GetAlign(), 4);
    EXPECT_TRUE(control.Contains(10, 10));
    EXPECT_FALSE(control.Contains(-1, -1));
}
