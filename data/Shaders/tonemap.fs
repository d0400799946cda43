#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform float gamma;
uniform float exposure;

void main()
{
    vec3 colour = max(texture(tex, vUv).rgb, vec3(0.0));
    // Tiny or negative settings would divide by zero.
    float safeExposure = max(exposure, 1e-4);
    float safeGamma = max(gamma, 1e-4);
    // Exponential roll-off, scaled so that 1 stays 1: any brightness, however large, ends at most at 1.
    vec3 mapped = (vec3(1.0) - exp(-safeExposure * colour)) / (1.0 - exp(-safeExposure));
    mapped = clamp(mapped, 0.0, 1.0);
    fragColour = vec4(pow(mapped, vec3(1.0 / safeGamma)), 1.0);
}
