#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform float saturation;
uniform float whitening;
uniform float multiplier1;
uniform float multiplier2;
uniform float power;

void main()
{
    vec3 colour = texture(tex, vUv).rgb;
    float luma = max(dot(colour, vec3(0.2126, 0.7152, 0.0722)), 0.0);
    vec3 result = max(mix(vec3(luma), colour, saturation), vec3(0.0)) * mix(multiplier1, multiplier2, luma);
    fragColour = vec4(result + whitening * pow(luma, power), 1.0);
}
