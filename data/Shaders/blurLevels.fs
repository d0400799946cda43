#version 430 core
in vec2 vUv;
out vec4 fragColour;

// Strips of one directional blur, one per mipmap level read: each holds the blur of every row (or
// column) of its level, at the target's resolution along the blur. Summing each strip filtered linearly
// across the blur gives what sampling the levels themselves gives, without repeating the taps for every
// pixel that shares a row of a coarse level.
uniform sampler2D tex;
uniform vec2 direction;
uniform int levelCount;
uniform int levelSizes[16];
uniform int levelOffsets[16];
// The draw each strip belongs to; a draw's strips follow one another.
uniform int levelDraws[16];

// The target keeps half floats, which the rasteriser rounds towards zero: the draws are added one by one
// and each sum is rounded so, as adding each draw into the target would.
vec3 RoundedToTarget(vec3 value)
{
    vec3 magnitude = abs(value);
    vec3 normal = uintBitsToFloat(floatBitsToUint(value) & 0xFFFFE000u);
    vec3 subnormal = trunc(value * 16777216.0) / 16777216.0;
    return mix(subnormal, normal, greaterThanEqual(magnitude, vec3(6.103515625e-05)));
}

void main()
{
    // A horizontal blur stacks its strips as rows and is filtered vertically; a vertical one the other way.
    bool stackedRows = direction.x != 0.0;
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    float across = stackedRows ? vUv.y : vUv.x;
    vec3 sum = vec3(0.0);
    vec3 draw = vec3(0.0);
    for (int i = 0; i < levelCount; ++i)
    {
        // Linear filtering clamped to the edge, as the level itself is sampled.
        int size = levelSizes[i];
        float texel = across * float(size) - 0.5;
        float first = floor(texel);
        float weight = texel - first;
        int a = levelOffsets[i] + clamp(int(first), 0, size - 1);
        int b = levelOffsets[i] + clamp(int(first) + 1, 0, size - 1);
        vec3 near = texelFetch(tex, stackedRows ? ivec2(pixel.x, a) : ivec2(a, pixel.y), 0).rgb;
        vec3 far = texelFetch(tex, stackedRows ? ivec2(pixel.x, b) : ivec2(b, pixel.y), 0).rgb;
        draw += near + weight * (far - near);
        if (i + 1 == levelCount || levelDraws[i + 1] != levelDraws[i])
        {
            sum = RoundedToTarget(sum + draw);
            draw = vec3(0.0);
        }
    }
    fragColour = vec4(sum, 1.0);
}
