#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform float gamma;
uniform float exposure;

// Larger values would turn the hue division below into inf / inf.
const float kLargestInput = 65504.0;

void main()
{
    // The image has the target's size: each pixel reads its own texel, unfiltered.
    vec3 colour = clamp(texelFetch(tex, ivec2(gl_FragCoord.xy), 0).rgb, vec3(0.0), vec3(kLargestInput));
    // Tiny or negative settings would divide by zero.
    float safeExposure = max(exposure, 1e-4);
    float safeGamma = max(gamma, 1e-4);
    float peak = max(colour.r, max(colour.g, colour.b));
    if (peak <= 0.0)
    {
        fragColour = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    // The exponential roll-off maps the brightest channel, scaled so that 1 stays 1, and the colour is
    // scaled with it: the channels keep their ratios, so a bright coloured light keeps its hue.
    float scale = 1.0 - exp(-safeExposure);
    float mappedPeak = (1.0 - exp(-safeExposure * peak)) / scale;
    vec3 mapped = colour * (mappedPeak / peak);
    if (mappedPeak > 1.0)
    {
        // What still exceeds 1 turns towards white by its share of the largest possible excess. Only the
        // colour's own white part (its weakest channel) whitens, so a saturated light stays its colour
        // and never clips into another hue, while a white-ish one turns hot white at its centre.
        float excess = (mappedPeak - 1.0) / (1.0 / scale - 1.0);
        float whiteShare = min(colour.r, min(colour.g, colour.b)) / peak;
        mapped = mix(colour / peak, vec3(1.0), clamp(excess * whiteShare, 0.0, 1.0));
    }
    fragColour = vec4(pow(mapped, vec3(1.0 / safeGamma)), 1.0);
}
