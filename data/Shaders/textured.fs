#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;

void main()
{
    fragColour = texture(tex, vUv);
}
