#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in mat3 modelWorld;
layout(location = 5) in uint texture;
layout(location = 6) in float obfuscation;

uniform mat3 worldScreen;
uniform int drawOrdinal;
uniform float ordinalStep;

// Every instance lies strictly nearer than everything the camera drew before it in this frame.
float OrdinalDepth()
{
    return 1.0 - 2.0 * float(drawOrdinal + gl_InstanceID + 1) * ordinalStep;
}

out vec2 vUv;
flat out uint vTexture;
out float vObfuscation;

void main()
{
    vec3 screen = worldScreen * modelWorld * position;
    gl_Position = vec4(screen.xy, OrdinalDepth(), 1.0);
    vUv = uv;
    vTexture = texture;
    vObfuscation = obfuscation;
}
