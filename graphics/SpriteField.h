#pragma once
#include "Material.h"
#include "Math.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class Shader;
struct Texture;

// A field of sprites drawn straight through the renderer, without game objects: every entry owns its
// own material, rests on rings about (3000, 0) and turns about that point, the later entries faster.
// Entry i rests at radius 10 + 2.3 (i div 360) and angle (i mod 360) degrees, scaled by 10; after f
// updates it has turned by 0.01 f i / 360 degrees. Its tint runs from red (first) to blue (last).
class SpriteField
{
  public:
    static constexpr std::size_t kDefaultCount = 50000;
    static constexpr float kCentreX = 3000.0f;
    static constexpr float kSpriteScale = 10.0f;
    static constexpr std::size_t kPeriod = 360;
    static constexpr const char* kMaterialName = "lol";
    static constexpr std::int32_t kOrder = 1000;

    // Builds every entry at once (the batches point into the lists until the frame is drawn, so they are
    // never resized): material "lol" of the shader, order 1000, alpha blended, depth written and tested
    // with GL_LESS, the texture as its "texture".
    SpriteField(Shader* shader, Texture* texture, std::size_t count = kDefaultCount);
    SpriteField(const SpriteField&) = delete;
    SpriteField& operator=(const SpriteField&) = delete;

    // One frame: advances the frame counter, turns every entry from its resting matrix, writes its
    // "modelWorld" and "tint" and submits it.
    void Update();

    // The resting matrix of entry i: its place on the rings and its scale.
    static Matrix3 RestingMatrix(std::size_t index);
    // The matrix of entry i after `frame` updates.
    static Matrix3 TurnedMatrix(std::size_t index, std::uint64_t frame);
    // The tint of entry i of a field of `count` entries.
    static Vector4 TintOf(std::size_t index, std::size_t count);

    std::size_t Count() const { return materials.size(); }
    std::uint64_t Frame() const { return frame; }
    const std::vector<Material>& Materials() const { return materials; }
    const std::vector<Matrix3>& Matrices() const { return matrices; }
    const std::vector<Vector4>& Tints() const { return tints; }

  private:
    std::vector<Material> materials;
    std::vector<Matrix3> matrices;
    std::vector<Vector4> tints;
    // Every material copies one shader's layout: the inputs are found once for all.
    ShaderInput modelWorldInput;
    ShaderInput tintInput;
    std::uint64_t frame = 0;
};
