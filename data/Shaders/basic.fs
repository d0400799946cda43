#version 430 core
in vec2 vUv;
in vec4 vTint;
in vec4 vEmissiveTint;
in float vEmissiveMultiplier;
out vec4 fragColour;

uniform sampler2D samplers[16];
// The texture units every instance of this draw names (the batch draws each run of instances that name
// the same units on its own), so they index the samplers with a value the whole draw shares.
uniform uint textureUnit;
uniform uint emissiveTextureUnit;

// A unit past the table samples nothing.
vec4 SampleUnit(uint unit, vec2 uv, vec2 dx, vec2 dy)
{
    return unit < 16u ? textureGrad(samplers[unit], uv, dx, dy) : vec4(0.0);
}

void main()
{
    vec2 dx = dFdx(vUv);
    vec2 dy = dFdy(vUv);
    vec4 colour = SampleUnit(textureUnit, vUv, dx, dy) * vTint;
    vec3 emissive = SampleUnit(emissiveTextureUnit, vUv, dx, dy).rgb * vEmissiveTint.rgb * vEmissiveMultiplier;
    fragColour = vec4(colour.rgb + emissive, colour.a);
}
