#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform vec3 balance;

void main()
{
    vec4 colour = texture(tex, vUv);
    fragColour = vec4(colour.rgb * balance, colour.a);
}
