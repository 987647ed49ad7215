#include "core/Rotation.h"

#include <cmath>

namespace
{
// Deliberately a little below pi/180 (not the nearest float to it): stored
// orientations and the controls' hit tests were tuned with this factor.
constexpr double DegreeFactor = 0.017453288659453392;
} // namespace

CVector QuaternionFromAxisAngle(float ax, float ay, float az, float degrees)
{
    const float half = static_cast<float>(degrees * static_cast<float>(DegreeFactor)) * 0.5f;
    const float s = std::sin(half);
    CVector q(s * ax, s * ay, s * az, std::cos(half));
    q.Normalize();
    return q;
}

CVector QuaternionProduct(const CVector& a, const CVector& b)
{
    return CVector(a.x * b.w + b.x * a.w + a.y * b.z - b.y * a.z,
                   a.y * b.w + a.z * b.x + b.y * a.w - a.x * b.z,
                   a.z * b.w - a.y * b.x + b.y * a.x + b.z * a.w,
                   a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}

void QuaternionToMatrix(const CVector& q, float m[16])
{
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    m[0] = 1 - 2 * (y * y + z * z);
    m[1] = 2 * (x * y - w * z);
    m[2] = 2 * (w * y + x * z);
    m[3] = 0;
    m[4] = 2 * (w * z + x * y);
    m[5] = 1 - 2 * (x * x + z * z);
    m[6] = 2 * (y * z - w * x);
    m[7] = 0;
    m[8] = 2 * (x * z - w * y);
    m[9] = 2 * (w * x + y * z);
    m[10] = 1 - 2 * (x * x + y * y);
    m[11] = 0;
    m[15] = 1;
}

void RotationFromEuler(float m[16], float rx, float ry, float rz)
{
    const CVector q = QuaternionProduct(QuaternionProduct(QuaternionFromAxisAngle(1, 0, 0, rx),
                                                          QuaternionFromAxisAngle(0, 1, 0, ry)),
                                        QuaternionFromAxisAngle(0, 0, 1, rz));
    QuaternionToMatrix(q, m);
}
