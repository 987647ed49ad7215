// The surface of a shape: the four lighting colours, shininess, the blending
// mode, a texture matrix (sprites write their frame rectangle into it) and
// the texture names drawn on texture units 0, 1, ... in list order.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Matrix.h"
#include "core/Vector.h"

class CMaterial
{
public:
    CMaterial();

    const CVector& GetAmbient() const { return m_ambient; }
    const CVector& GetDiffuse() const { return m_diffuse; }
    const CVector& GetEmission() const { return m_emission; }
    const CVector& GetSpecular() const { return m_specular; }
    float GetShininess() const { return m_shininess; }
    void SetAmbient(const CVector& colour) { m_ambient = colour; }
    void SetDiffuse(const CVector& colour) { m_diffuse = colour; }
    void SetEmission(const CVector& colour) { m_emission = colour; }
    void SetSpecular(const CVector& colour) { m_specular = colour; }
    void SetShininess(float shininess) { m_shininess = shininess; }

    // Additive blending adds the source to the frame; otherwise it is
    // mixed by its alpha.
    bool IsAdditive() const { return m_additive; }
    void SetAdditive(bool additive) { m_additive = additive; }

    CMatrix& GetTextureMatrix() { return m_textureMatrix; }
    const CMatrix& GetTextureMatrix() const { return m_textureMatrix; }

    // Inserts at `index`, clamped to the count; later entries move up.
    void AddTexture(unsigned index, uint32_t name);
    // 0 past the end; setting past the end changes nothing.
    uint32_t GetTexture(unsigned index) const;
    void SetTexture(unsigned index, uint32_t name);
    unsigned GetTextureCount() const { return static_cast<unsigned>(m_textures.size()); }
    const std::vector<uint32_t>& GetTextures() const { return m_textures; }
    void ClearTextures() { m_textures.clear(); }

private:
    CVector m_ambient;
    CVector m_diffuse;
    CVector m_emission;
    CVector m_specular;
    float m_shininess = 0.0f;
    bool m_additive = false;
    CMatrix m_textureMatrix;
    std::vector<uint32_t> m_textures;
};
