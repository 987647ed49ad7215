// Rotations from three angles in degrees, through quaternions held in a
// CVector (x, y, z the vector part, w the scalar part).
#pragma once

#include "core/Vector.h"

CVector QuaternionFromAxisAngle(float ax, float ay, float az, float degrees);
CVector QuaternionProduct(const CVector& a, const CVector& b);
// Writes the rotation part of a 4 x 4 OpenGL matrix; the translation
// elements 12, 13 and 14 are left as they were.
void QuaternionToMatrix(const CVector& q, float m[16]);
void RotationFromEuler(float m[16], float rx, float ry, float rz);
