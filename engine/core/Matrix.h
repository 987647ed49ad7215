// Rows x cols float matrix: a 4 x 4 transform in OpenGL element order
// (translation at flat indices 12, 13, 14), a 3 x 3 plane transform, or a
// plain grid of weights such as a blur kernel.
#pragma once

#include <memory>

#include "core/Vector.h"

class CMatrix
{
public:
    CMatrix(unsigned rows = 4, unsigned cols = 4);
    CMatrix(const CMatrix& other);
    CMatrix& operator=(const CMatrix& other);
    ~CMatrix() = default;

    void SetIdentity();

    // Flat slots of a 4 x 4 matrix: the translation, and the diagonal scale
    // a sprite frame writes into its texture matrix.
    static constexpr unsigned TranslationX = 12, TranslationY = 13, TranslationZ = 14;
    static constexpr unsigned ScaleX = 0, ScaleY = 5;

    // Reads outside the elements give 0; writes there are ignored.
    float Get(unsigned index) const;
    void Set(unsigned index, float value);
    float Get(unsigned row, unsigned col) const;
    void Set(unsigned row, unsigned col, float value);

    unsigned GetRows() const { return m_rows; }
    unsigned GetCols() const { return m_cols; }
    // Flat element storage, handed to glLoadMatrixf/glMultMatrixf unchanged.
    const float* GetElements() const { return m_elements.get(); }
    float* GetElements() { return m_elements.get(); }

    CVector ApplyTranslation(const CVector& v) const;
    void SetTranslation(float x, float y, float z);
    CVector ApplyRotation(const CVector& v) const;

    // Inverse of a 4 x 4 matrix; the identity when singular or not 4 x 4.
    CMatrix Inverse() const;

private:
    bool Is(unsigned rows, unsigned cols) const { return m_rows == rows && m_cols == cols; }

    std::unique_ptr<float[]> m_elements;
    unsigned m_rows = 0;
    unsigned m_cols = 0;
};
