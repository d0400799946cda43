#version 430 core
in vec2 vUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform vec3 balance;

void main()
{
    // The image has the target's size: each pixel reads its own texel, unfiltered.
    vec4 colour = texelFetch(tex, ivec2(gl_FragCoord.xy), 0);
    // A channel scaled below zero carries no light.
    fragColour = vec4(max(colour.rgb * balance, vec3(0.0)), colour.a);
}
