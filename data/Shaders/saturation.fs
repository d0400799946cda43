#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform float saturation;
uniform float whitening;
uniform float multiplier1;
uniform float multiplier2;
uniform float power;

const vec3 kLumaWeights = vec3(0.2126, 0.7152, 0.0722);

// Brightens a value in 0..1 by gain m without pushing it past 1: m = 1 leaves it, m = 2 takes 0.5 to 0.67.
vec3 Lift(vec3 value, float m)
{
    return value * m / (vec3(1.0) + (m - 1.0) * value);
}

void main()
{
    // The image has the target's size: each pixel reads its own texel, unfiltered.
    vec3 colour = texelFetch(tex, ivec2(gl_FragCoord.xy), 0).rgb;
    float luma = clamp(dot(colour, kLumaWeights), 0.0, 1.0);
    // Push each channel away from (or towards) the grey of the same brightness; greys stay put.
    vec3 saturated = clamp(mix(vec3(luma), colour, saturation), 0.0, 1.0);
    // Lift the darks by multiplier1 and the lights by multiplier2, the same for every channel.
    float gain = max(mix(multiplier1, multiplier2, luma), 1e-3);
    vec3 lifted = Lift(saturated, gain);
    // Only the brightest parts (luma to a high power) wash out towards white, never past it.
    float washOut = clamp(whitening * pow(luma, max(power, 1e-3)), 0.0, 1.0);
    fragColour = vec4(max(mix(lifted, vec3(1.0), washOut), vec3(0.0)), 1.0);
}
