// The progress bar's fill without a window: clamping, value ranges,
// resizing and the cut of the bar's texture.
#include "gui/Progress.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/XML.h"
#include "resources/Texture.h"

TEST(Progress, PercentIsClampedAndTheBarKeepsItsShareOfTheWidth)
{
    CProgress progress;
    progress.SetSize(200, 10);
    progress.SetPercent(150);
    EXPECT_EQ(progress.Percent(), 100);
    EXPECT_EQ(progress.GetBar().GetSize().x, 200);
    for (float wrong : {-5.0f, NAN})
    {
        progress.SetPercent(wrong);
        EXPECT_EQ(progress.Percent(), 0);
        EXPECT_EQ(progress.GetBar().GetSize().x, 0);
    }
    progress.SetPercent(25);
    progress.SetSize(400, 20);
    EXPECT_EQ(progress.GetBar().GetSize(), CVector(100, 20, 1));
}

TEST(Progress, ValueMapsItsRangeOntoThePercentage)
{
    CXMLDocument document;
    ASSERT_TRUE(document.Parse(R"(<gui><progress w="100" min="10" max="20"/></gui>)"));
    CProgress progress;
    progress.LoadAttributes(*document.GetChild(0));
    EXPECT_EQ(progress.GetValue(), 10u);
    const unsigned values[3] = {15, 25, 5};
    const float percents[3] = {50, 100, 0};
    for (int i = 0; i < 3; ++i)
    {
        progress.SetValue(values[i]);
        EXPECT_EQ(progress.Percent(), percents[i]) << values[i];
    }

    CProgress empty; // min = max = 0
    empty.SetPercent(40);
    empty.SetValue(7);
    EXPECT_EQ(empty.Percent(), 40);
}

TEST(Progress, BarTextureIsCutAtTheFillLevelWhateverFrameIsShown)
{
    CProgress progress;
    CSprite sprite;
    CTexture texture; // never uploaded: the frames only need to point at one
    for (float su : {1.0f, 0.5f, 0.25f})
    {
        SpriteFrame frame;
        frame.su = su;
        frame.texture = &texture;
        sprite.AddFrame(frame);
    }
    progress.SetSprite(sprite);
    progress.SetPercent(37);
    const CMatrix& matrix = progress.GetBar().GetMaterial().GetTextureMatrix();
    EXPECT_FLOAT_EQ(matrix.Get(0u), 0.5f * 0.37f);
    // Showing a frame writes its full width; the cut must survive that.
    progress.ShowFrame(1);
    EXPECT_EQ(progress.GetBar().GetFrame(), 2u);
    EXPECT_FLOAT_EQ(matrix.Get(0u), 0.25f * 0.37f);

    CProgress copy;
    copy.CopyFrom(progress);
    EXPECT_EQ(copy.GetBar().GetParent(), &copy);
    EXPECT_EQ(copy.Percent(), 37);
}

TEST(Progress, CopyThroughTheBaseTakesTheProgressPartOnlyFromAProgress)
{
    CProgress source;
    source.SetSize(100, 10);
    source.SetPercent(60);
    CProgress progress;
    CGUI& asBase = progress;
    asBase.CopyFrom(source);
    EXPECT_EQ(progress.Percent(), 60);
    EXPECT_EQ(progress.GetBar().GetParent(), &progress);
    EXPECT_FLOAT_EQ(progress.GetBar().GetSize().x, 60);

    asBase.CopyFrom(asBase);
    EXPECT_EQ(progress.GetBar().GetParent(), &progress);

    // From a plain control only the shared state comes across; neither side
    // changes kind.
    CGUI plain;
    plain.SetPosition(7, 8);
    progress.CopyFrom(plain);
    EXPECT_EQ(progress.GetPosition().x, 7);
    EXPECT_EQ(progress.Percent(), 60);
    EXPECT_EQ(progress.GetBar().GetParent(), &progress);
    EXPECT_EQ(progress.TypeCode(), CGUI::TypeProgress);
    plain.CopyFrom(source);
    EXPECT_EQ(plain.TypeCode(), CGUI::TypeGUI);
}
