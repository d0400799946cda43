#version 430 core
in vec2 vUv;
in vec2 vLocal;
flat in vec2 vSourceUv;
out vec4 fragColour;

uniform sampler2D tex;
uniform sampler2D alphaTex;
uniform float aspectRatio;
uniform vec2 lightSource;
uniform vec3 tint;
uniform vec3 minTint;
uniform float intensity;
uniform float innerRadius;

const float kMaxSteps = 64.0;
const int kMaxOccluders = 32;

// Bounds (low x, low y, high x, high y, in mask coordinates) of everything drawn into the mask near this
// light, widened so that a bilinear sample outside them reads only clear texels; -1 when there were too
// many to list.
uniform vec4 occluders[kMaxOccluders];
uniform int occluderCount;

// Whether the segment from `from` to `to` touches the box.
bool Crosses(vec2 from, vec2 to, vec4 box)
{
    vec2 along = to - from;
    along = vec2(abs(along.x) < 1e-9 ? 1e-9 : along.x, abs(along.y) < 1e-9 ? 1e-9 : along.y);
    vec2 toLow = (box.xy - from) / along;
    vec2 toHigh = (box.zw - from) / along;
    vec2 enter = min(toLow, toHigh);
    vec2 leave = max(toLow, toHigh);
    return max(max(enter.x, enter.y), 0.0) <= min(min(leave.x, leave.y), 1.0);
}

// Whether the way from this pixel to the light may pass over anything drawn into the mask; where it
// cannot, every sample of the march would read zero.
bool MayBeShadowed(vec2 here)
{
    if (occluderCount < 0)
        return true;
    bool crosses = false;
    for (int k = 0; k < occluderCount && !crosses; ++k)
        crosses = Crosses(here, vSourceUv, occluders[k]);
    return crosses;
}

// How much of the way from this pixel to the light is free of occluders: 1 in the open, 0 behind an
// opaque sprite. Samples about once per mask pixel, measured with the screen's true proportions.
float Visibility(vec2 here)
{
    if (!MayBeShadowed(here))
        return 1.0;
    vec2 toLight = vSourceUv - here;
    float pixels = length(toLight * vec2(aspectRatio, 1.0)) * float(textureSize(alphaTex, 0).y);
    int steps = int(clamp(ceil(pixels), 1.0, kMaxSteps));
    float blocked = 0.0;
    for (int i = 0; i < steps; ++i)
    {
        vec2 at = here + toLight * ((float(i) + 0.5) / float(steps));
        blocked = max(blocked, textureLod(alphaTex, at, 0.0).r);
        // Fully blocked stays fully blocked: the rest of the way cannot change the result.
        if (blocked >= 1.0)
            break;
    }
    return 1.0 - clamp(blocked, 0.0, 1.0);
}

void main()
{
    float falloff = texture(tex, vUv).a;
    // Where the light's texture gives nothing, the light adds nothing, whatever the shadow: the march
    // (nearly all of the cost) is left out.
    if (falloff == 0.0)
    {
        fragColour = vec4(0.0);
        return;
    }
    vec2 here = gl_FragCoord.xy / vec2(textureSize(alphaTex, 0));
    // Close to the source (in the light's own units) nothing casts a shadow.
    float visibility = length(vLocal - lightSource) <= innerRadius ? 1.0 : Visibility(here);
    fragColour = vec4(falloff * intensity * mix(minTint, tint, visibility), falloff);
}
