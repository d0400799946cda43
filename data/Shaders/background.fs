#version 430 core
in vec2 vUv;
in vec4 vTint;
flat in uint vTexture;
in float vTimeOfDay;
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
    // As the day goes on the light turns warm and dim: blue fades fastest, red slowest.
    const vec3 dusk = vec3(0.6, 0.36, 0.26);
    colour.rgb *= mix(vec3(1.0), dusk, clamp(vTimeOfDay, 0.0, 1.0));
    fragColour = colour;
}
