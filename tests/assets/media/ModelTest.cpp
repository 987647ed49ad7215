// The model's bounding box and its shape copy.

#include "assets/Model.h"

#include <gtest/gtest.h>

#include "render/Heightmap.h"

namespace
{

void ExpectVector(const CVector& v, float x, float y, float z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

} // namespace

TEST(Model, FinishBoxesTheVerticesOrKeepsTheStartingBoxWithoutAny)
{
    CModel model;
    EXPECT_EQ(model.GetKind(), CResource::KindModel);
    model.Finish();
    ExpectVector(model.GetBoundsMin(), 1000000, 1000000, 1000000);
    ExpectVector(model.GetBoundsMax(), -1000000, -1000000, -1000000);

    model.GetShape().SetCounts(1, 0);
    model.GetShape().GetVertex(0).position.Set(1, 2, 3);
    model.Finish();
    ExpectVector(model.GetBoundsMin(), 1, 2, 3);
    ExpectVector(model.GetBoundsMax(), 1, 2, 3);

    const uint8_t heights[] = {9, 0, 200, 4, 5, 6};
    model.CopyShape(CHeightmap(3, 2, heights));
    EXPECT_EQ(model.GetShape().GetIndexCount(), 12u);
    model.Finish();
    ExpectVector(model.GetBoundsMin(), 0, 0, 0);
    ExpectVector(model.GetBoundsMax(), 2, 200, 1);
}
