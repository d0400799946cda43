#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in mat3 model;
layout(location = 5) in float size;
layout(location = 6) in vec4 colour;
layout(location = 7) in vec4 colourA;

uniform mat3 worldScreen;
uniform int renderingPoints;

out vec4 vColour;

void main()
{
    vec3 screen = worldScreen * model * position;
    gl_Position = vec4(screen.xy, 0.0, 1.0);
    gl_PointSize = size;
    // A line runs from its first colour at vertex 0 to its second at vertex 1.
    vColour = (renderingPoints != 0 || gl_VertexID != 0) ? colour : colourA;
}
