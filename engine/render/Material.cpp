// Material defaults and the texture list's edits.

#include "render/Material.h"

#include <algorithm>

// OpenGL's own material defaults, except for the ambient alpha.
CMaterial::CMaterial()
    : m_ambient(0.2f, 0.2f, 0.2f, 0.0f), m_diffuse(0.8f, 0.8f, 0.8f, 1.0f), m_textureMatrix(4, 4)
{
}

void CMaterial::AddTexture(unsigned index, uint32_t name)
{
    const size_t at = std::min<size_t>(index, m_textures.size());
    m_textures.insert(m_textures.begin() + static_cast<std::ptrdiff_t>(at), name);
}

uint32_t CMaterial::GetTexture(unsigned index) const
{
    return index < m_textures.size() ? m_textures[index] : 0;
}

void CMaterial::SetTexture(unsigned index, uint32_t name)
{
    if (index < m_textures.size())
        m_textures[index] = name;
}
