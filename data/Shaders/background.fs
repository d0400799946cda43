#version 430 core
in vec2 vUv;
in vec4 vTint;
flat in uint vTexture;
in float vTimeOfDay;
out vec4 fragColour;

uniform sampler2D samplers[16];

// The background is one instance a draw, so its unit is the same for every fragment of the draw
// (dynamically uniform) and may index the sampler array: the rasteriser samples one texture instead of
// stepping through a switch over all sixteen.
vec4 SampleUnit(uint unit, vec2 uv)
{
    return textureGrad(samplers[unit], uv, dFdx(uv), dFdy(uv));
}

void main()
{
    vec4 colour = SampleUnit(vTexture, vUv) * vTint;
    // As the day goes on the light turns warm and dim: blue fades fastest, red slowest.
    const vec3 dusk = vec3(0.6, 0.36, 0.26);
    colour.rgb *= mix(vec3(1.0), dusk, clamp(vTimeOfDay, 0.0, 1.0));
    fragColour = colour;
}
