#pragma once
// The plain vector and matrix types of the 2-D engine.

struct Vector2
{
    float x = 0.0f;
    float y = 0.0f;

    constexpr Vector2() = default;
    constexpr Vector2(float x_, float y_) : x(x_), y(y_) {}
    constexpr Vector2(int x_, int y_) : x(static_cast<float>(x_)), y(static_cast<float>(y_)) {}

    constexpr Vector2 operator+(const Vector2& o) const { return {x + o.x, y + o.y}; }
    constexpr Vector2 operator-(const Vector2& o) const { return {x - o.x, y - o.y}; }
    constexpr Vector2 operator*(float s) const { return {x * s, y * s}; }
    constexpr bool operator==(const Vector2&) const = default;
};

struct Vector3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    constexpr Vector3(int x_, int y_, int z_)
        : x(static_cast<float>(x_)), y(static_cast<float>(y_)), z(static_cast<float>(z_))
    {
    }

    constexpr Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr bool operator==(const Vector3&) const = default;
};

// Also an RGBA colour with components in 0..1.
struct Vector4
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    constexpr Vector4() = default;
    constexpr Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    constexpr Vector4(int x_, int y_, int z_, int w_)
        : x(static_cast<float>(x_)), y(static_cast<float>(y_)), z(static_cast<float>(z_)),
          w(static_cast<float>(w_))
    {
    }

    constexpr bool operator==(const Vector4&) const = default;
};

// Nine floats in column-major order; points are column vectors, so a translation sits in elements 6 and 7.
struct Matrix3
{
    float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

    // The identity.
    constexpr Matrix3() = default;

    float& operator()(int row, int column) { return m[column * 3 + row]; }
    float operator()(int row, int column) const { return m[column * 3 + row]; }

    Matrix3 operator*(const Matrix3& o) const;
    // Applies the matrix to the column vector (x, y, z).
    Vector3 operator*(const Vector3& v) const;
    // Applies the matrix to the point (x, y, 1) and returns its x and y.
    Vector2 TransformPoint(const Vector2& p) const;

    bool operator==(const Matrix3&) const = default;
};

// The counter-clockwise rotation of column vectors by an angle in degrees.
Matrix3 RotationMatrix(float degrees);
// The translation by (x, y).
Matrix3 TranslationMatrix(float x, float y);
// The scale by (x, y).
Matrix3 ScaleMatrix(float x, float y);

// Divides x, y and z by the length of (x, y); leaves the vector alone when that length is 0.
void NormalizeXY(Vector3& v);
