#include "core/Matrix.h"

#include <cmath>
#include <cstring>
#include <utility>

CMatrix::CMatrix(unsigned rows, unsigned cols) : m_rows(rows), m_cols(cols)
{
    if (rows && cols)
        m_elements.reset(new float[static_cast<size_t>(rows) * cols]);
    SetIdentity();
}

CMatrix::CMatrix(const CMatrix& other) : m_rows(other.m_rows), m_cols(other.m_cols)
{
    if (other.m_elements)
    {
        const size_t count = static_cast<size_t>(m_rows) * m_cols;
        m_elements.reset(new float[count]);
        std::memcpy(m_elements.get(), other.m_elements.get(), count * sizeof(float));
    }
}

CMatrix& CMatrix::operator=(const CMatrix& other)
{
    if (this != &other)
    {
        CMatrix copy(other);
        std::swap(m_elements, copy.m_elements);
        std::swap(m_rows, copy.m_rows);
        std::swap(m_cols, copy.m_cols);
    }
    return *this;
}

void CMatrix::SetIdentity()
{
    if (!m_elements)
        return;
    for (unsigned r = 0; r < m_rows; ++r)
        for (unsigned c = 0; c < m_cols; ++c)
            m_elements[static_cast<size_t>(r) * m_cols + c] = r == c ? 1.0f : 0.0f;
}

float CMatrix::Get(unsigned index) const
{
    return index < static_cast<size_t>(m_rows) * m_cols ? m_elements[index] : 0.0f;
}

void CMatrix::Set(unsigned index, float value)
{
    if (index < static_cast<size_t>(m_rows) * m_cols)
        m_elements[index] = value;
}

// The bounds check is on the flat index, so (0, cols + 1) may land in row 1.
float CMatrix::Get(unsigned row, unsigned col) const
{
    return Get(row * m_cols + col);
}

void CMatrix::Set(unsigned row, unsigned col, float value)
{
    Set(row * m_cols + col, value);
}

CVector CMatrix::ApplyTranslation(const CVector& v) const
{
    const float* m = m_elements.get();
    if (Is(4, 4))
        return CVector(v.x + m[12], v.y + m[13], v.z + m[14], 0.0f);
    if (Is(3, 3))
        return CVector(v.x + m[6], v.y + m[7], 0.0f, 0.0f);
    return v;
}

void CMatrix::SetTranslation(float x, float y, float z)
{
    if (Is(4, 4))
    {
        m_elements[12] = x;
        m_elements[13] = y;
        m_elements[14] = z;
    }
    else if (Is(3, 3))
    {
        m_elements[6] = x;
        m_elements[7] = y;
    }
}

CVector CMatrix::ApplyRotation(const CVector& v) const
{
    const float* m = m_elements.get();
    if (Is(4, 4))
        return CVector(v.x * m[0] + v.y * m[4] + v.z * m[8], v.x * m[1] + v.y * m[5] + v.z * m[9],
                       v.x * m[2] + v.y * m[6] + v.z * m[10], 0.0f);
    if (Is(3, 3))
        return CVector(v.x * m[0] + v.y * m[3], v.x * m[1] + v.y * m[4], 0.0f, 0.0f);
    return v;
}

CMatrix CMatrix::Inverse() const
{
    CMatrix result(4, 4);
    if (!Is(4, 4))
        return result;

    // Augmented [A | I] with A's rows taken across OpenGL's column-major order.
    float rows[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
        {
            rows[i][j] = m_elements[j * 4 + i];
            rows[i][4 + j] = i == j ? 1.0f : 0.0f;
        }
    float* r[4] = {rows[0], rows[1], rows[2], rows[3]};

    for (int k = 0; k < 4; ++k)
    {
        for (int i = k + 1; i < 4; ++i)
            if (std::fabs(r[i][k]) > std::fabs(r[k][k]))
                std::swap(r[i], r[k]);
        const float pivot = r[k][k];
        if (pivot == 0.0f)
            return result;
        for (int i = k + 1; i < 4; ++i)
        {
            const float factor = r[i][k] / pivot;
            for (int j = k; j < 8; ++j)
            {
                // Zero entries of the pivot row's identity half change nothing.
                if (j >= 4 && r[k][j] == 0.0f)
                    continue;
                r[i][j] -= factor * r[k][j];
            }
        }
    }

    for (int k = 3; k >= 0; --k)
    {
        for (int j = 4; j < 8; ++j)
        {
            float sum = r[k][j];
            for (int i = k + 1; i < 4; ++i)
                sum -= r[k][i] * r[i][j];
            r[k][j] = sum / r[k][k];
        }
    }

    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            result.m_elements[j * 4 + i] = r[i][4 + j];
    return result;
}
