#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;

out vec2 vUv;

void main()
{
    // Targets are stored bottom-up, so the image coordinate comes from the position, not the mesh uv.
    gl_Position = vec4(position.xy * 2.0, 0.0, 1.0);
    vUv = position.xy + 0.5;
}
