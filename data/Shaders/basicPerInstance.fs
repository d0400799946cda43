#version 430 core
// "basic" for batches whose textures change nearly instance by instance: every instance chooses its own
// units, so one draw serves them all. Its inputs are laid out exactly as "basic"'s.
in vec2 vUv;
in vec4 vTint;
flat in uint vTexture;
flat in uint vEmissiveTexture;
in vec4 vEmissiveTint;
in float vEmissiveMultiplier;
out vec4 fragColour;

uniform sampler2D samplers[16];

// Sampler arrays may only be indexed by constants here, so the unit picks its sampler through a switch.
vec4 SampleUnit(uint unit, vec2 uv)
{
    vec2 dx = dFdx(uv);
    vec2 dy = dFdy(uv);
    switch (unit)
    {
    case 0u: return textureGrad(samplers[0], uv, dx, dy);
    case 1u: return textureGrad(samplers[1], uv, dx, dy);
    case 2u: return textureGrad(samplers[2], uv, dx, dy);
    case 3u: return textureGrad(samplers[3], uv, dx, dy);
    case 4u: return textureGrad(samplers[4], uv, dx, dy);
    case 5u: return textureGrad(samplers[5], uv, dx, dy);
    case 6u: return textureGrad(samplers[6], uv, dx, dy);
    case 7u: return textureGrad(samplers[7], uv, dx, dy);
    case 8u: return textureGrad(samplers[8], uv, dx, dy);
    case 9u: return textureGrad(samplers[9], uv, dx, dy);
    case 10u: return textureGrad(samplers[10], uv, dx, dy);
    case 11u: return textureGrad(samplers[11], uv, dx, dy);
    case 12u: return textureGrad(samplers[12], uv, dx, dy);
    case 13u: return textureGrad(samplers[13], uv, dx, dy);
    case 14u: return textureGrad(samplers[14], uv, dx, dy);
    case 15u: return textureGrad(samplers[15], uv, dx, dy);
    }
    return vec4(0.0);
}

void main()
{
    vec4 colour = SampleUnit(vTexture, vUv) * vTint;
    vec3 emissive = SampleUnit(vEmissiveTexture, vUv).rgb * vEmissiveTint.rgb * vEmissiveMultiplier;
    fragColour = vec4(colour.rgb + emissive, colour.a);
}
