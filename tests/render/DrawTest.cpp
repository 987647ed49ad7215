// The projection matrix builders against values worked out by hand,
// including the flat view's orthographic matrix with its translation sign.

#include "render/Draw.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace
{

std::vector<float> Elements(const CMatrix& m)
{
    return std::vector<float>(m.GetElements(), m.GetElements() + 16);
}

} // namespace

TEST(ProjectionMatrix, FrustumAndOrthoHaveOpenGLsLayout)
{
    EXPECT_EQ(
        Elements(FrustumMatrix(-1, 3, -2, 2, 1, 5)),
        (std::vector<float>{0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0.5f, 0, -1.5f, -1, 0, 0, -2.5f, 0}));
    // glOrtho would have -0.5, -0.5 and -1.25 in the last column.
    EXPECT_EQ(
        Elements(OrthoMatrix(-2, 6, -1, 3, 1, 9)),
        (std::vector<float>{0.25f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, -0.25f, 0, 0.5f, 0.5f, 1.25f, 1}));
}

TEST(ProjectionMatrix, FlatViewMapsWindowPixelsOntoTheViewport)
{
    // The camera sits at (800, 600, 0); its inverse moves points by -800, -600.
    const CMatrix projection = OrthoMatrix(0, 800, 600, 0, 0, 1000);
    const float* m = projection.GetElements();
    const float cases[][6] = {
        {0, 0, 0, -1, 1, 1},         // top-left corner, farthest depth
        {800, 600, 1000, 1, -1, -1}, // bottom-right corner, nearest depth
        {200, 450, 1, -0.5f, -0.5f, 0.998f},
    };
    for (const auto& c : cases)
    {
        const float x = c[0] - 800, y = c[1] - 600, z = c[2];
        EXPECT_NEAR(m[0] * x + m[4] * y + m[8] * z + m[12], c[3], 1e-6f) << c[0];
        EXPECT_NEAR(m[1] * x + m[5] * y + m[9] * z + m[13], c[4], 1e-6f) << c[1];
        EXPECT_NEAR(m[2] * x + m[6] * y + m[10] * z + m[14], c[5], 1e-6f) << c[2];
        EXPECT_EQ(m[3] * x + m[7] * y + m[11] * z + m[15], 1.0f);
    }
}

TEST(ProjectionMatrix, PerspectiveIsTheSymmetricFrustum)
{
    const float top = static_cast<float>(std::tan(M_PI / 8) * 0.1);
    const CMatrix expected = FrustumMatrix(-top, top, -top, top, 0.1f, 1000);
    const CMatrix m = PerspectiveMatrix(45, 1, 0.1f, 1000);
    for (unsigned i = 0; i < 16; ++i)
        EXPECT_NEAR(m.Get(i), expected.Get(i), 1e-5f) << i;
    EXPECT_NEAR(m.Get(0), 1 / std::tan(M_PI / 8), 1e-5);
    EXPECT_NEAR(PerspectiveMatrix(90, 2, 1, 10).Get(0), 0.5f, 1e-5f); // aspect widens x only
}
