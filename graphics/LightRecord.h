#pragma once
#include "Math.h"

struct Texture;

// One light of one frame, as the light renderer hands it to the lighting effect.
struct LightRecord
{
    Matrix3 modelWorld; // the light quad's model-to-world transform
    Texture* texture = nullptr;
    Vector4 tint;
    Vector4 minTint; // the light's shadow tint
    Vector2 lightSource;
    float intensity = 1.0f;
    float innerRadius = 0.0f;
};

// The light quad's transform: the object's translation and rotation, then the light's centre and size.
// The object's scale and parent do not count: a light keeps its own size.
Matrix3 LightModelMatrix(const Vector2& translation, float rotation, const Vector2& center,
                         const Vector2& size);
