#version 430 core
out vec4 fragColour;

// Successive mipmap levels of a level, side by side, made as generating mipmaps makes them: each texel the
// mean of the 2 x 2 texels under it (an edge texel stands in for a missing neighbour of a level one texel
// wide or high), rounded to a half float towards zero as the rasteriser writes one, level after level.
uniform sampler2D tex;
// Where the level halved lies in level 0 of the texture.
uniform ivec2 sourceOrigin;
// The levels made; sizes[0] is the level halved's size, sizes[n] and lefts[n] the n-th level made's size
// and left edge here.
uniform int levelCount;
uniform ivec2 levelSizes[9];
uniform int levelLefts[9];

vec3 RoundedToHalf(vec3 value)
{
    vec3 magnitude = abs(value);
    vec3 normal = uintBitsToFloat(floatBitsToUint(value) & 0xFFFFE000u);
    vec3 subnormal = trunc(value * 16777216.0) / 16777216.0;
    return mix(subnormal, normal, greaterThanEqual(magnitude, vec3(6.103515625e-05)));
}

void main()
{
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    int made = 1;
    while (made < levelCount && pixel.x >= levelLefts[made + 1])
        ++made;
    ivec2 texel = ivec2(pixel.x - levelLefts[made], pixel.y);
    if (texel.x >= levelSizes[made].x || texel.y >= levelSizes[made].y)
    {
        fragColour = vec4(0.0);
        return;
    }
    // The texels of the level halved under this one, in an order where every 2 x 2 block of each level
    // between completes in turn: each digit (base 4) picks a child, lowest digit for the finest step. Each
    // block's bottom pair and top pair are summed first, as the rows are filtered.
    vec3 bottom[9];
    vec3 top[9];
    vec3 result = vec3(0.0);
    int leaves = 1 << (2 * made);
    for (int leaf = 0; leaf < leaves; ++leaf)
    {
        ivec2 at = texel;
        for (int step = made; step >= 1; --step)
        {
            int digit = (leaf >> (2 * (step - 1))) & 3;
            at = min(2 * at + ivec2(digit & 1, digit >> 1), levelSizes[step - 1] - 1);
        }
        vec3 value = texelFetch(tex, sourceOrigin + at, 0).rgb;
        for (int step = 1; step <= made; ++step)
        {
            int digit = (leaf >> (2 * (step - 1))) & 3;
            if (digit == 0)
                bottom[step] = value;
            else if (digit == 1)
                bottom[step] += value;
            else if (digit == 2)
                top[step] = value;
            else
                top[step] += value;
            if (digit != 3)
                break;
            value = RoundedToHalf((bottom[step] + top[step]) * 0.25);
        }
        result = value;
    }
    fragColour = vec4(result, 1.0);
}
