#include "Math.h"

#include <cmath>

Matrix3 Matrix3::operator*(const Matrix3& o) const
{
    Matrix3 r;
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 3; ++column)
        {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k)
                sum += (*this)(row, k) * o(k, column);
            r(row, column) = sum;
        }
    }
    return r;
}

Vector3 Matrix3::operator*(const Vector3& v) const
{
    return {m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
            m[2] * v.x + m[5] * v.y + m[8] * v.z};
}

Vector2 Matrix3::TransformPoint(const Vector2& p) const
{
    Vector3 r = (*this) * Vector3(p.x, p.y, 1.0f);
    return {r.x, r.y};
}

Matrix3 RotationMatrix(float degrees)
{
    const float radians = degrees * 3.1415927f / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    Matrix3 r;
    r.m[0] = c;
    r.m[1] = s;
    r.m[2] = 0;
    r.m[3] = -s;
    r.m[4] = c;
    r.m[5] = 0;
    r.m[6] = 0;
    r.m[7] = 0;
    r.m[8] = 1;
    return r;
}

Matrix3 TranslationMatrix(float x, float y)
{
    Matrix3 r;
    r.m[6] = x;
    r.m[7] = y;
    return r;
}

Matrix3 ScaleMatrix(float x, float y)
{
    Matrix3 r;
    r.m[0] = x;
    r.m[4] = y;
    return r;
}

void NormalizeXY(Vector3& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y);
    if (length == 0.0f)
        return;
    v.x /= length;
    v.y /= length;
    v.z /= length;
}
