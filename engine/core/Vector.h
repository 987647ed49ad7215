// Four-component float vector. It can be bound to outside float storage (one
// vertex of a vertex array, say) and then writes every change through to it.
#pragma once

class CVector
{
public:
    CVector(float x = 0.0f, float y = 0.0f, float z = 0.0f, float w = 0.0f);
    CVector(const CVector& other);
    CVector& operator=(const CVector& other);

    // count 2, 3 or 4 loads the storage into the value; other counts keep it.
    void Bind(float* storage, int count);

    void Set(float x, float y, float z, float w);
    void Set(float x, float y, float z);
    void Set(float x, float y);
    void Set(const CVector& other);

    bool operator==(const CVector& other) const;
    bool operator!=(const CVector& other) const { return !(*this == other); }

    CVector& operator+=(const CVector& other);
    CVector& operator-=(const CVector& other);
    CVector& operator*=(const CVector& other);
    CVector operator+(const CVector& other) const;
    CVector operator-(const CVector& other) const;
    CVector operator*(const CVector& other) const;

    CVector& Cross(const CVector& other);
    CVector CrossProduct(const CVector& other) const;
    CVector& Normalize();

    // Refreshes and returns the array view, for GL calls taking float[4].
    float* AsArray();

    float* GetStorage() const { return m_storage; }
    int GetBoundCount() const { return m_count; }

private:
    void WriteThrough();

    float* m_storage = nullptr;
    int m_count = 0;
    float m_array[4] = {0, 0, 0, 0};

public:
    float x, y, z, w;
};
