#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform vec3 threshold;
uniform float intensity;

void main()
{
    vec3 colour = texture(tex, vUv).rgb;
    fragColour = vec4(max(colour - threshold, vec3(0.0)) * intensity, 1.0);
}
