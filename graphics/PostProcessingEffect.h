#pragma once
#include "Math.h"
#include "VersionedClass.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

class Camera;

// A full-screen effect of the chain: it reads the image the camera's previous target holds and writes
// the result into the camera's current target, which is bound, cleared and sized on entry (unit 0 active).
class PostProcessingEffect : public VersionedClass
{
  public:
    explicit PostProcessingEffect(std::uint32_t version) { dataVersion = version; }
    virtual ~PostProcessingEffect() = default;
    PostProcessingEffect(const PostProcessingEffect&) = delete;
    PostProcessingEffect& operator=(const PostProcessingEffect&) = delete;

    // Processes the camera's image.
    virtual void Apply(Camera& camera) = 0;
    // Asked before Apply, while the camera's current target still holds the image so far: true when this
    // frame's Apply would hand that image on unchanged, so the frame skips Apply and gives the next effect
    // the same image. An effect may drop what it was fed for the frame here.
    virtual bool PassesImageThrough(Camera&) { return false; }
    // Asked next, with the image so far still in the camera's current target: an effect whose result is
    // that image with something added over it may add it there and return true, and the frame hands the
    // same target on (no copy of the image). False leaves the work to Apply.
    virtual bool ApplyInPlace(Camera&) { return false; }
    // Asked before Apply with the effect that follows in the chain: true when this frame's Apply also does
    // that effect's work in the same pass, so the frame skips it.
    virtual bool FoldsInNext(PostProcessingEffect&) { return false; }
    // Draws the editor widgets of the effect's tunable fields.
    virtual void DrawEditor() {}
    // The class's current data version.
    virtual std::uint32_t GetVersion() const { return 1; }
    // The effect's row in a frame's pass timings.
    virtual const char* PassName() const { return "effect"; }
};

// Field setters of the effects, for files and editors: a NaN leaves the field as it was, and a value
// outside [minimum, maximum] is clamped to it.
inline void SetEffectField(float& field, float value, float minimum = -INFINITY, float maximum = INFINITY)
{
    if (!std::isnan(value))
        field = std::clamp(value, minimum, maximum);
}
inline void SetEffectField(Vector3& field, const Vector3& value, float minimum = -INFINITY,
                           float maximum = INFINITY)
{
    SetEffectField(field.x, value.x, minimum, maximum);
    SetEffectField(field.y, value.y, minimum, maximum);
    SetEffectField(field.z, value.z, minimum, maximum);
}
