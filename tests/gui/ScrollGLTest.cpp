// Scroll bars in a real window: the thumb at the start, the middle and the
// end of the track for the minimum, middle and maximum value.
#include "gui/Scroll.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gui/GUIGLSupport.h"

using ScrollGLTest = GUIWindowTest;

TEST_F(ScrollGLTest, ThumbSitsWhereTheValueIsOnTheTrack)
{
    // 20 x 200 bars: buttons at y 0..20 and 180..200, a 140-pixel track.
    // Values past the range stop at its ends.
    const float values[3] = {-5, 5, 15};
    const int thumbTops[3] = {20, 90, 160};
    CScroll bars[3];
    for (int i = 0; i < 3; ++i)
    {
        CScroll& bar = bars[i];
        bar.SetPosition(100 + 100 * i, 100);
        bar.SetSize(20, 200);
        bar.SetMaximum(10);
        bar.SetValue(values[i]);
        Paint(bar, CVector(0, 0, 1, 0));
        Paint(bar.Thumb(), CVector(1, 0, 0, 0));
        Paint(bar.Decrement(), CVector(0, 1, 0, 0));
        Paint(bar.Increment(), CVector(0, 1, 0, 0));
        bar.Draw();
    }
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        const int x = 110 + 100 * i, top = 100 + thumbTops[i];
        ExpectPixel(x, 110, kGreen);
        ExpectPixel(x, 290, kGreen);
        ExpectPixel(x, top + 1, kRed);
        ExpectPixel(x, top + 18, kRed);
        ExpectPixel(x, top - 2, i == 0 ? kGreen : kBlue);
        ExpectPixel(x, top + 21, i == 2 ? kGreen : kBlue);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
