#version 430 core
out vec4 fragColour;

// One strip of a directional blur at one mipmap level, as "directionalBlur" draws it at that level: the
// level's size halves the target's exactly, so a pixel's taps always fall at the same fractions of the
// level's texels for a given phase of the pixel within its texel, and each texel the taps cover is read once
// with its summed weight (the taps' Gaussian and linear weights, the intensity and the level's share).
uniform sampler2D tex;
uniform vec2 direction;
// Where the level's texels lie: a mipmap level of the texture, or a region of its level 0.
uniform int fetchLevel;
uniform ivec2 levelOrigin;
// The level's size along the blur; reads past its edges take the edge texel, as the sampler clamps.
uniform int levelLength;
// Where the strip starts in the strips' texture.
uniform ivec2 origin;
// A pixel's own texel is its position along the blur shifted right so (by the level, or past every
// pixel when the weights are per pixel), its phase the bits shifted out (integer division is slow here);
// then the texels read per pixel and the offset of the first from the pixel's own texel.
uniform int phaseShift;
uniform int texelCount;
uniform int firstTexel;
// Per phase, the weight of each texel read.
uniform float weights[1024];

void main()
{
    ivec2 pixel = ivec2(gl_FragCoord.xy) - origin;
    bool rows = direction.x != 0.0;
    int along = rows ? pixel.x : pixel.y;
    int across = rows ? pixel.y : pixel.x;
    int first = (along >> phaseShift) + firstTexel;
    int phase = (along & ((1 << phaseShift) - 1)) * texelCount;
    vec3 sum = vec3(0.0);
    for (int i = 0; i < texelCount; ++i)
    {
        int t = clamp(first + i, 0, levelLength - 1);
        int index = phase + i;
        vec3 texel = texelFetch(tex, levelOrigin + (rows ? ivec2(t, across) : ivec2(across, t)), fetchLevel).rgb;
        sum += weights[index] * texel;
    }
    fragColour = vec4(sum, 1.0);
}
