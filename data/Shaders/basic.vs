#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in mat3 modelWorld;
layout(location = 5) in vec4 tint;
layout(location = 6) in int flipTexture;
layout(location = 7) in uint texture;
layout(location = 8) in uint emissiveTexture;
layout(location = 9) in vec4 emissiveTint;
layout(location = 10) in float emissiveMultiplier;

uniform mat3 worldScreen;
uniform int drawOrdinal;
uniform float ordinalStep;
// The texture units every instance of this draw names: the batch draws instances naming other units in
// draws of their own.
uniform uint textureUnit;
uniform uint emissiveTextureUnit;

// Every instance lies strictly nearer than everything the camera drew before it in this frame.
float OrdinalDepth()
{
    return 1.0 - 2.0 * float(drawOrdinal + gl_InstanceID + 1) * ordinalStep;
}

out vec2 vUv;
out vec4 vTint;
out vec4 vEmissiveTint;
out float vEmissiveMultiplier;

void main()
{
    vec3 screen = worldScreen * modelWorld * position;
    gl_Position = vec4(screen.xy, OrdinalDepth(), 1.0);
    // An instance drawn with units other than its own would show the wrong texture: it is left out
    // instead (outside the clip volume), so the draw's units are the only ones sampled.
    if (texture != textureUnit || emissiveTexture != emissiveTextureUnit)
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
    vUv = flipTexture != 0 ? vec2(1.0 - uv.x, uv.y) : uv;
    vTint = tint;
    vEmissiveTint = emissiveTint;
    vEmissiveMultiplier = emissiveMultiplier;
}
