#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform vec2 direction;
uniform float radius;
uniform float textureSize;
uniform float intensity;
uniform float lod;

void main()
{
    // Nine Gaussian taps (sigma 2) spread along the direction, weights normalised to sum to 1.
    vec3 sum = vec3(0.0);
    float weightSum = 0.0;
    for (int k = -4; k <= 4; ++k)
    {
        float weight = exp(-float(k * k) / 8.0);
        vec2 offset = direction * float(k) * radius / textureSize;
        sum += weight * textureLod(tex, vUv + offset, lod).rgb;
        weightSum += weight;
    }
    fragColour = vec4(intensity * sum / weightSum, 1.0);
}
