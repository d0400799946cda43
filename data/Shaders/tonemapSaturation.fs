#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform float gamma;
uniform float exposure;
uniform float saturation;
uniform float whitening;
uniform float multiplier1;
uniform float multiplier2;
uniform float power;

// Tone mapping and saturation in one pass: the two functions below are those of "tonemap" and
// "saturation" (keep them in step), and the tone-mapped colour is cut to a half float as the target
// between the two passes would store it, so the result is the two passes' result.

const float kLargestInput = 65504.0;
const vec3 kLumaWeights = vec3(0.2126, 0.7152, 0.0722);

vec3 ToneMap(vec3 colour)
{
    colour = clamp(colour, vec3(0.0), vec3(kLargestInput));
    float safeExposure = max(exposure, 1e-4);
    float safeGamma = max(gamma, 1e-4);
    float peak = max(colour.r, max(colour.g, colour.b));
    if (peak <= 0.0)
        return vec3(0.0);
    float scale = 1.0 - exp(-safeExposure);
    float mappedPeak = (1.0 - exp(-safeExposure * peak)) / scale;
    vec3 mapped = colour * (mappedPeak / peak);
    if (mappedPeak > 1.0)
    {
        float excess = (mappedPeak - 1.0) / (1.0 / scale - 1.0);
        float whiteShare = min(colour.r, min(colour.g, colour.b)) / peak;
        mapped = mix(colour / peak, vec3(1.0), clamp(excess * whiteShare, 0.0, 1.0));
    }
    return pow(mapped, vec3(1.0 / safeGamma));
}

// The software rasteriser stores half floats rounded towards zero: the float's 13 lowest mantissa bits
// go. (The tone-mapped colour lies in 0..1, where halves are normal down to 6e-5.)
vec3 StoredAsHalf(vec3 colour)
{
    return uintBitsToFloat(floatBitsToUint(colour) & uvec3(0xFFFFE000u));
}

vec3 Lift(vec3 value, float m)
{
    return value * m / (vec3(1.0) + (m - 1.0) * value);
}

vec3 Saturate(vec3 colour)
{
    float luma = clamp(dot(colour, kLumaWeights), 0.0, 1.0);
    vec3 saturated = clamp(mix(vec3(luma), colour, saturation), 0.0, 1.0);
    float gain = max(mix(multiplier1, multiplier2, luma), 1e-3);
    vec3 lifted = Lift(saturated, gain);
    float washOut = clamp(whitening * pow(luma, max(power, 1e-3)), 0.0, 1.0);
    return max(mix(lifted, vec3(1.0), washOut), vec3(0.0));
}

void main()
{
    vec3 colour = texelFetch(tex, ivec2(gl_FragCoord.xy), 0).rgb;
    fragColour = vec4(Saturate(StoredAsHalf(ToneMap(colour))), 1.0);
}
