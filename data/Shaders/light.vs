#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;

uniform mat3 worldScreen;
uniform mat3 modelWorld;

out vec2 vUv;
out vec2 vScreenUv;

void main()
{
    vec3 screen = worldScreen * modelWorld * position;
    gl_Position = vec4(screen.xy, 0.0, 1.0);
    vUv = uv;
    vScreenUv = screen.xy * 0.5 + 0.5;
}
