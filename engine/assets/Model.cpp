#include "assets/Model.h"

#include <algorithm>

CModel::CModel() : CResource(KindModel) {}

void CModel::Finish()
{
    constexpr float kFar = 1000000.0f;
    m_boundsMin.Set(kFar, kFar, kFar);
    m_boundsMax.Set(-kFar, -kFar, -kFar);
    const float* v = m_shape.GetVertices();
    for (unsigned i = 0; i < m_shape.GetVertexCount(); ++i, v += 3)
    {
        m_boundsMin.Set(std::min(m_boundsMin.x, v[0]), std::min(m_boundsMin.y, v[1]),
                        std::min(m_boundsMin.z, v[2]));
        m_boundsMax.Set(std::max(m_boundsMax.x, v[0]), std::max(m_boundsMax.y, v[1]),
                        std::max(m_boundsMax.z, v[2]));
    }
}
