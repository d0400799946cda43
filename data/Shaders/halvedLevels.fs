#version 430 core
out vec4 fragColour;

// Two successive mipmap levels of a level, side by side, made as generating mipmaps makes them: each texel
// the mean of the 2 x 2 texels under it (an edge texel stands in for a missing neighbour of a level one
// texel wide or high), rounded to a half float towards zero as the rasteriser writes one.
uniform sampler2D tex;
// The level halved: its region in level 0 of the texture and its size.
uniform ivec2 sourceOrigin;
uniform ivec2 sourceSize;
// The sizes of the first and the second level made; the second starts right of the first.
uniform ivec2 firstSize;
uniform ivec2 secondSize;
uniform int levelCount;

vec3 RoundedToHalf(vec3 value)
{
    vec3 magnitude = abs(value);
    vec3 normal = uintBitsToFloat(floatBitsToUint(value) & 0xFFFFE000u);
    vec3 subnormal = trunc(value * 16777216.0) / 16777216.0;
    return mix(subnormal, normal, greaterThanEqual(magnitude, vec3(6.103515625e-05)));
}

vec3 Source(int x, int y)
{
    return texelFetch(tex, sourceOrigin + min(ivec2(x, y), sourceSize - 1), 0).rgb;
}

// A texel of the first level made.
vec3 Halved(int x, int y)
{
    x = min(x, firstSize.x - 1);
    y = min(y, firstSize.y - 1);
    vec3 bottom = Source(2 * x, 2 * y) + Source(2 * x + 1, 2 * y);
    vec3 top = Source(2 * x, 2 * y + 1) + Source(2 * x + 1, 2 * y + 1);
    return RoundedToHalf((bottom + top) * 0.25);
}

void main()
{
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    if (pixel.x < firstSize.x)
    {
        fragColour = vec4(Halved(pixel.x, pixel.y), 1.0);
        return;
    }
    ivec2 texel = pixel - ivec2(firstSize.x, 0);
    if (levelCount < 2 || texel.y >= secondSize.y)
    {
        fragColour = vec4(0.0);
        return;
    }
    vec3 bottom = Halved(2 * texel.x, 2 * texel.y) + Halved(2 * texel.x + 1, 2 * texel.y);
    vec3 top = Halved(2 * texel.x, 2 * texel.y + 1) + Halved(2 * texel.x + 1, 2 * texel.y + 1);
    fragColour = vec4(RoundedToHalf((bottom + top) * 0.25), 1.0);
}
