#version 430 core
out vec4 fragColour;

// One strip of a directional blur at one mipmap level, as "directionalBlur" draws it at that level: the
// level's size halves the target's exactly, so a pixel's taps always fall at the same fractions of the
// level's texels for a given phase of the pixel within its texel, and each texel the taps cover is read once
// with its summed weight (the taps' Gaussian and linear weights, the intensity and the level's share).
uniform sampler2D tex;
uniform vec2 direction;
uniform int level;
// The level's size along the blur; reads past its edges take the edge texel, as the sampler clamps.
uniform int levelLength;
// Where the strip starts in the strips' texture.
uniform ivec2 origin;
// Pixels per texel of the level along the blur (a power of two), texels read per pixel and the offset of
// the first from the pixel's own texel.
uniform int phaseCount;
uniform int texelCount;
uniform int firstTexel;
// Per phase, the weight of each texel read.
uniform float weights[256];

void main()
{
    ivec2 pixel = ivec2(gl_FragCoord.xy) - origin;
    bool rows = direction.x != 0.0;
    int along = rows ? pixel.x : pixel.y;
    int across = rows ? pixel.y : pixel.x;
    int first = (along >> level) + firstTexel;
    int phase = (along & (phaseCount - 1)) * texelCount;
    vec3 sum = vec3(0.0);
    for (int i = 0; i < texelCount; ++i)
    {
        int t = clamp(first + i, 0, levelLength - 1);
        sum += weights[phase + i] * texelFetch(tex, rows ? ivec2(t, across) : ivec2(across, t), level).rgb;
    }
    fragColour = vec4(sum, 1.0);
}
