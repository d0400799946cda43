#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform vec3 threshold;
uniform float intensity;

void main()
{
    vec3 colour = max(texture(tex, vUv).rgb, vec3(0.0));
    // The share of the colour above its threshold, taken from the whole colour rather than channel by
    // channel: subtracting per channel would tint the glow of a saturated light towards its strongest
    // channel and leave out the others.
    vec3 safeColour = max(colour, vec3(1e-6));
    vec3 above = max(colour - threshold, vec3(0.0)) / safeColour;
    float share = max(above.r, max(above.g, above.b));
    vec3 kept = colour * share * intensity;
    // Nothing kept leaves the cleared texel as it is and is not counted as glow.
    if (all(equal(kept, vec3(0.0))))
        discard;
    fragColour = vec4(kept, 1.0);
}
