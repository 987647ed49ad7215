// A model: one shape filled from an OBJ or 3DS file or a height map, and the
// box around its vertices. It owns its shape; the sprite is empty until an
// owner gives it frames.
#pragma once

#include "core/Vector.h"
#include "render/Shape.h"
#include "render/Sprite.h"
#include "resources/Resource.h"

class CModel : public CResource
{
public:
    CModel();

    CShape& GetShape() { return m_shape; }
    const CShape& GetShape() const { return m_shape; }
    // The shape becomes a copy of `shape`.
    void CopyShape(const CShape& shape) { m_shape.CopyFrom(shape); }

    // Bounding box of the shape's vertices as they stand in its arrays. A
    // shape without vertices keeps the starting box, minimum 1000000 and
    // maximum -1000000 on every axis.
    void Finish();
    const CVector& GetBoundsMin() const { return m_boundsMin; }
    const CVector& GetBoundsMax() const { return m_boundsMax; }

    CSprite& GetSprite() { return m_sprite; }

private:
    CShape m_shape;
    CSprite m_sprite;
    CVector m_boundsMin;
    CVector m_boundsMax;
};
