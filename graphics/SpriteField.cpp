#include "SpriteField.h"

#include "ShaderData.h"

#include <cmath>

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kTurnDegreesPerFrameAndEntry = 0.01 / 360.0;

// The turn of entry i after `frame` updates, as a rotation about the field's centre. The angle is
// reduced in double precision first: frame * i grows far past what a float holds exactly.
Matrix3 TurnAboutCentre(std::size_t index, std::uint64_t frame)
{
    const double degrees = std::fmod(
        static_cast<double>(frame) * static_cast<double>(index) * kTurnDegreesPerFrameAndEntry, 360.0);
    const double radians = degrees * kPi / 180.0;
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    Matrix3 turn;
    turn(0, 0) = c;
    turn(1, 0) = s;
    turn(0, 1) = -s;
    turn(1, 1) = c;
    // T(centre) R T(-centre): the rotation moves the centre back onto itself.
    turn(0, 2) = SpriteField::kCentreX - c * SpriteField::kCentreX;
    turn(1, 2) = -s * SpriteField::kCentreX;
    return turn;
}
} // namespace

SpriteField::SpriteField(Shader* shader, Texture* texture, std::size_t count)
{
    Material prototype(kMaterialName, shader, kOrder, MaterialRenderState(bmAlphaBlended, true, kDepthLess));
    if (texture != nullptr)
        prototype.data.SetUInt("texture", texture);
    modelWorldInput = prototype.data.FindInput("modelWorld", satMatrix3);
    tintInput = prototype.data.FindInput("tint", satVector4);
    materials.assign(count, prototype);
    matrices.reserve(count);
    tints.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        matrices.push_back(RestingMatrix(i));
        tints.push_back(TintOf(i, count));
    }
}

Matrix3 SpriteField::RestingMatrix(std::size_t index)
{
    const double ring = static_cast<double>(index / kPeriod);
    const double angle = static_cast<double>(index % kPeriod) * kPi / 180.0;
    const double radius = 10.0 + 2.3 * ring;
    const auto x = static_cast<float>(kCentreX + radius * std::cos(angle));
    const auto y = static_cast<float>(radius * std::sin(angle));
    return TranslationMatrix(x, y) * ScaleMatrix(kSpriteScale, kSpriteScale);
}

Matrix3 SpriteField::TurnedMatrix(std::size_t index, std::uint64_t frame)
{
    return TurnAboutCentre(index, frame) * RestingMatrix(index);
}

Vector4 SpriteField::TintOf(std::size_t index, std::size_t count)
{
    const float share = count > 0 ? static_cast<float>(index) / static_cast<float>(count) : 0.0f;
    return Vector4(1.0f - share, 0.0f, share, 1.0f);
}

void SpriteField::Update()
{
    ++frame;
    for (std::size_t i = 0; i < materials.size(); ++i)
    {
        // Always from the resting matrix: turning last frame's matrix again would let the error grow.
        const Matrix3 turned = TurnAboutCentre(i, frame) * matrices[i];
        Material& material = materials[i];
        material.data.SetMatrix3(modelWorldInput, turned);
        material.data.SetVector4(tintInput, tints[i]);
        material.Submit();
    }
}
