#version 430 core
in vec2 vUv;
in vec2 vScreenUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform sampler2D alphaTex;
uniform float aspectRatio;
uniform vec2 lightSource;
uniform vec3 tint;
uniform vec3 minTint;
uniform float intensity;
uniform float innerRadius;

void main()
{
    // The occlusion mask is summed along the way from this pixel to the light.
    vec2 toLight = (lightSource - vScreenUv) * vec2(aspectRatio, 1.0);
    float visibility = 1.0;
    if (length(toLight) > innerRadius)
    {
        float blocked = 0.0;
        for (int step = 0; step < 16; ++step)
        {
            vec2 at = mix(vScreenUv, lightSource, float(step) / 16.0);
            blocked += texture(alphaTex, at).a;
        }
        visibility = clamp(1.0 - blocked, 0.0, 1.0);
    }
    float falloff = texture(tex, vUv).a;
    fragColour = vec4(falloff * intensity * mix(minTint, tint, visibility), 1.0);
}
