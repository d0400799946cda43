#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;

uniform mat3 worldScreen;
uniform mat3 modelWorld;
uniform vec2 lightSource;

out vec2 vUv;
out vec2 vLocal;
flat out vec2 vSourceUv;

void main()
{
    vec3 screen = worldScreen * modelWorld * position;
    gl_Position = vec4(screen.xy, 0.0, 1.0);
    vUv = uv;
    vLocal = position.xy;
    // Where the light comes from, in the mask's coordinates (0..1 across the screen).
    vec3 source = worldScreen * modelWorld * vec3(lightSource, 1.0);
    vSourceUv = source.xy * 0.5 + 0.5;
}
