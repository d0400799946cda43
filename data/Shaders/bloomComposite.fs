#version 430 core
in vec2 vUv;
out vec4 fragColour;

// The scene and the bloom over it in one pass: the sum the target would get from copying the scene and
// adding the bloom with (ONE, ONE) blending.
uniform sampler2D tex;
uniform sampler2D bloom;

void main()
{
    fragColour = texture(tex, vUv) + texture(bloom, vUv);
}
