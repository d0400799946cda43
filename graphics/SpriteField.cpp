#include "SpriteField.h"

#include "ShaderData.h"

#include <cmath>
#include <utility>

namespace
{
constexpr double kPi = 3.14159265358979323846;
// Entry i turns by 0.01 degrees times frame * i / 360: a whole turn every 12,960,000 units of frame * i.
constexpr std::uint64_t kUnitsPerTurn = 36000ull * 360ull;
constexpr double kRadiansPerUnit = 2.0 * kPi / static_cast<double>(kUnitsPerTurn);

// Every this many entries an update takes the turn's cosine and sine afresh; the entries between step on
// from there by one complex multiplication each, erring by a few units of double's last place at most.
constexpr std::size_t kExactEvery = 64;

// The angle of entry i after `frame` updates. The product is reduced exactly in integers, so the angle
// never drifts however long the field turns.
double TurnRadians(std::size_t index, std::uint64_t frame)
{
    const std::uint64_t units = (frame % kUnitsPerTurn) * index % kUnitsPerTurn;
    return static_cast<double>(units) * kRadiansPerUnit;
}

// A rotation of the given cosine and sine about the field's centre.
Matrix3 TurnAboutCentre(double cosine, double sine)
{
    const float c = static_cast<float>(cosine);
    const float s = static_cast<float>(sine);
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

// turn * resting for two 2-D affine matrices (bottom rows 0, 0, 1): the full product's zero terms skipped.
Matrix3 Turned(const Matrix3& turn, const Matrix3& resting)
{
    Matrix3 r;
    for (int column = 0; column < 3; ++column)
    {
        r(0, column) = turn(0, 0) * resting(0, column) + turn(0, 1) * resting(1, column);
        r(1, column) = turn(1, 0) * resting(0, column) + turn(1, 1) * resting(1, column);
    }
    r(0, 2) += turn(0, 2);
    r(1, 2) += turn(1, 2);
    return r;
}

// Each frame writes, sorts and stages the entries in order: their texture bindings and instance bytes are
// laid out again one entry after another, so those passes read memory front to back instead of striding
// over each copy's list of inputs. The old blocks are let go only after all new ones are taken, or the
// allocator would hand each one straight back to the next entry.
void LayOutInOrder(std::vector<Material>& materials)
{
    std::vector<std::vector<TextureBinding>> oldBindings;
    std::vector<std::vector<std::uint8_t>> oldBytes;
    oldBindings.reserve(materials.size());
    oldBytes.reserve(materials.size());
    for (Material& material : materials)
    {
        std::vector<TextureBinding> bindings(material.data.textureBindings);
        std::vector<std::uint8_t> bytes(material.data.data);
        oldBindings.push_back(std::exchange(material.data.textureBindings, std::move(bindings)));
        oldBytes.push_back(std::exchange(material.data.data, std::move(bytes)));
    }
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
    LayOutInOrder(materials);
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
    const double radians = TurnRadians(index, frame);
    return Turned(TurnAboutCentre(std::cos(radians), std::sin(radians)), RestingMatrix(index));
}

Vector4 SpriteField::TintOf(std::size_t index, std::size_t count)
{
    const float share = count > 0 ? static_cast<float>(index) / static_cast<float>(count) : 0.0f;
    return Vector4(1.0f - share, 0.0f, share, 1.0f);
}

void SpriteField::Update()
{
    ++frame;
    // Entry i + 1 has turned one step further than entry i.
    const double step = TurnRadians(1, frame);
    const double stepCosine = std::cos(step);
    const double stepSine = std::sin(step);
    double cosine = 1.0;
    double sine = 0.0;
    for (std::size_t i = 0; i < materials.size(); ++i)
    {
        if (i % kExactEvery == 0)
        {
            const double radians = TurnRadians(i, frame);
            cosine = std::cos(radians);
            sine = std::sin(radians);
        }
        else
        {
            const double next = cosine * stepCosine - sine * stepSine;
            sine = sine * stepCosine + cosine * stepSine;
            cosine = next;
        }
        // Always from the resting matrix: turning last frame's matrix again would let the error grow.
        const Matrix3 turned = Turned(TurnAboutCentre(cosine, sine), matrices[i]);
        Material& material = materials[i];
        material.data.SetMatrix3(modelWorldInput, turned);
        material.data.SetVector4(tintInput, tints[i]);
        material.Submit();
    }
}
