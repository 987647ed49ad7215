// A sprite frame on a texture uploaded into a real GL context (Mesa's
// software renderer): its coordinates come from the uploaded canvas side, and
// showing it hands the material the texture's GL name.
#include "render/Sprite.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/Material.h"
#include "resources/Texture.h"
#include "shell/SDLTestSupport.h"

using SpriteGL = GLContextTest;

TEST_F(SpriteGL, FrameCoordinatesComeFromTheUploadedCanvas)
{
    CTexture texture;
    texture.Create(300, 200, 4, 32);
    texture.Upload({});
    ASSERT_EQ(texture.GetUploadedSize(), 512u);

    SpriteFrame frame;
    CSprite::SetFrameRect(frame, 0, 0, 300, 200, 0, &texture);
    EXPECT_EQ(frame.u, 0.0f);
    EXPECT_EQ(frame.v, 0.609375f);
    EXPECT_EQ(frame.su, 0.5859375f);
    EXPECT_EQ(frame.sv, 0.390625f);

    CSprite sprite;
    sprite.AddFrame(frame);
    CMaterial material;
    material.AddTexture(0, 0);
    sprite.BindMaterial(&material);
    sprite.ShowFrame(0);
    EXPECT_NE(texture.GetTextureName(), 0u);
    EXPECT_EQ(material.GetTexture(0), texture.GetTextureName());
}
