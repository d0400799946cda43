#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform vec3 balance;

void main()
{
    vec4 colour = texture(tex, vUv);
    // A channel scaled below zero carries no light.
    fragColour = vec4(max(colour.rgb * balance, vec3(0.0)), colour.a);
}
