#include "core/Vector.h"

#include <cmath>

CVector::CVector(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

// Copies share the binding but never write through on copy, and the array
// view stays the copy's own.
CVector::CVector(const CVector& other)
    : m_storage(other.m_storage), m_count(other.m_count), x(other.x), y(other.y), z(other.z),
      w(other.w)
{
}

CVector& CVector::operator=(const CVector& other)
{
    m_storage = other.m_storage;
    m_count = other.m_count;
    x = other.x;
    y = other.y;
    z = other.z;
    w = other.w;
    return *this;
}

void CVector::Bind(float* storage, int count)
{
    m_storage = storage;
    m_count = count;
    if (!storage)
        return;
    switch (count)
    {
    case 2:
        x = storage[0], y = storage[1], z = 0, w = 0;
        break;
    case 3:
        x = storage[0], y = storage[1], z = storage[2], w = 0;
        break;
    case 4:
        x = storage[0], y = storage[1], z = storage[2], w = storage[3];
        break;
    default:
        break;
    }
}

void CVector::WriteThrough()
{
    if (!m_storage)
        return;
    if (m_count > 1)
    {
        m_storage[0] = x;
        m_storage[1] = y;
    }
    if (m_count > 2)
        m_storage[2] = z;
    if (m_count > 3)
        m_storage[3] = w;
}

void CVector::Set(float x_, float y_, float z_, float w_)
{
    x = x_, y = y_, z = z_, w = w_;
    WriteThrough();
}

void CVector::Set(float x_, float y_, float z_)
{
    Set(x_, y_, z_, 0.0f);
}

void CVector::Set(float x_, float y_)
{
    Set(x_, y_, 0.0f, 0.0f);
}

void CVector::Set(const CVector& other)
{
    Set(other.x, other.y, other.z, other.w);
}

bool CVector::operator==(const CVector& other) const
{
    return x == other.x && y == other.y && z == other.z && w == other.w;
}

CVector& CVector::operator+=(const CVector& o)
{
    x += o.x, y += o.y, z += o.z, w += o.w;
    WriteThrough();
    return *this;
}

CVector& CVector::operator-=(const CVector& o)
{
    x -= o.x, y -= o.y, z -= o.z, w -= o.w;
    WriteThrough();
    return *this;
}

CVector& CVector::operator*=(const CVector& o)
{
    x *= o.x, y *= o.y, z *= o.z, w *= o.w;
    WriteThrough();
    return *this;
}

CVector CVector::operator+(const CVector& o) const
{
    return {x + o.x, y + o.y, z + o.z, w + o.w};
}

CVector CVector::operator-(const CVector& o) const
{
    return {x - o.x, y - o.y, z - o.z, w - o.w};
}

CVector CVector::operator*(const CVector& o) const
{
    return {x * o.x, y * o.y, z * o.z, w * o.w};
}

CVector& CVector::Cross(const CVector& o)
{
    const float cx = y * o.z - z * o.y;
    const float cy = z * o.x - x * o.z;
    const float cz = x * o.y - y * o.x;
    x = cx, y = cy, z = cz;
    WriteThrough();
    return *this;
}

CVector CVector::CrossProduct(const CVector& other) const
{
    CVector result(x, y, z, w);
    result.Cross(other);
    return result;
}

CVector& CVector::Normalize()
{
    const float length = std::sqrt(x * x + y * y + z * z + w * w);
    if (length == 0.0f)
        return *this;
    x /= length, y /= length, z /= length, w /= length;
    WriteThrough();
    return *this;
}

float* CVector::AsArray()
{
    m_array[0] = x;
    m_array[1] = y;
    m_array[2] = z;
    m_array[3] = w;
    return m_array;
}
