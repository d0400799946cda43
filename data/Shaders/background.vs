#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 tint;
layout(location = 3) in uint texture;
layout(location = 4) in float timeOfDay;

uniform int drawOrdinal;
uniform float ordinalStep;

// Every instance lies strictly nearer than everything the camera drew before it in this frame.
float OrdinalDepth()
{
    return 1.0 - 2.0 * float(drawOrdinal + gl_InstanceID + 1) * ordinalStep;
}

out vec2 vUv;
out vec4 vTint;
flat out uint vTexture;
out float vTimeOfDay;

void main()
{
    // The background always covers the whole viewport.
    gl_Position = vec4(position.xy * 2.0, OrdinalDepth(), 1.0);
    vUv = uv;
    vTint = tint;
    vTexture = texture;
    vTimeOfDay = timeOfDay;
}
