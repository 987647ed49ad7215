// A button in a real window shows the sprite frame of its state: the base
// frame it was given plus the state number.
#include "gui/Button.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gui/GUIGLSupport.h"
#include "resources/Texture.h"

using ButtonGLTest = GUIWindowTest;

TEST_F(ButtonGLTest, EachStateShowsTheBaseFramePlusTheState)
{
    // Five 10 x 10 frames side by side; the button's base frame is 1.
    const Pixel colours[5] = {kGrey, kRed, kGreen, kBlue, {255, 255, 0}};
    CTexture texture;
    texture.Create(50, 10, 4, 32);
    for (unsigned y = 0; y < 10; ++y)
        for (unsigned x = 0; x < 50; ++x)
        {
            const Pixel& c = colours[x / 10];
            const uint8_t rgba[4] = {uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]), 255};
            texture.SetPixel(x, y, rgba);
        }
    CTexture::UploadOptions nearest;
    nearest.linear = false;
    texture.Upload(nearest);
    CSprite sprite;
    for (unsigned i = 0; i < 5; ++i)
    {
        SpriteFrame frame;
        CSprite::SetFrameRect(frame, i * 10, 0, 10, 10, 0, &texture);
        sprite.AddFrame(frame);
    }

    CButton button;
    button.SetSprite(sprite);
    button.SetFrame(1, false);
    button.SetPosition(100, 100);
    button.SetSize(60, 30);
    for (unsigned state = 0; state < CButton::StateCount; ++state)
    {
        SCOPED_TRACE(state);
        button.SetState(state);
        button.Draw();
        ExpectPixel(101, 101, colours[1 + state]);
        ExpectPixel(158, 128, colours[1 + state]);
        ExpectPixel(161, 115, kGrey);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
