#include "Bloom.h"

#include "Camera.h"
#include "FullScreenPass.h"
#include "Graphics.h"
#include "Mesh.h"
#include "PassTimer.h"
#include "RenderStats.h"
#include "Shader.h"

#include <glad/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace
{
// Each draw reaches four times further than the one before and reads a coarser mipmap level.
constexpr float kRadiusFactors[5] = {0.5f, 2.0f, 8.0f, 32.0f, 128.0f};
constexpr float kLodSteps[5] = {0.0f, 2.0f, 4.0f, 6.0f, 8.0f};
constexpr float kRadiusScale = 1.5f;
// The two draws of every smoothing step read these levels of detail.
constexpr float kSmoothingLods[2] = {0.5f, 1.5f};
// More levels than a target of any size has.
constexpr std::uint32_t kMaxLevels = 16;

// A mipmap level that a sample at some level of detail reads, and its share of the sample.
struct LevelShare
{
    std::uint32_t level;
    float share;
};

// The levels a lookup at this level of detail reads with linear filtering between levels, at most
// `deepest`: below or at 0 the texture is magnified from level 0; past the deepest level only that one.
int LevelsRead(float lod, std::uint32_t deepest, LevelShare shares[2])
{
    if (!(lod > 0.0f))
    {
        shares[0] = {0u, 1.0f};
        return 1;
    }
    const float whole = std::floor(lod);
    const float fraction = lod - whole;
    if (whole >= static_cast<float>(deepest))
    {
        shares[0] = {deepest, 1.0f};
        return 1;
    }
    const auto first = static_cast<std::uint32_t>(whole);
    shares[0] = {first, 1.0f - fraction};
    if (fraction == 0.0f)
        return 1;
    shares[1] = {first + 1u, fraction};
    return 2;
}

const Framebuffer* Find(const std::map<void*, std::unique_ptr<Framebuffer>>& targets, void* key)
{
    auto found = targets.find(key);
    return found == targets.end() ? nullptr : found->second.get();
}

bool Usable(const Shader* shader)
{
    return shader != nullptr && shader->IsUsable();
}

// The deepest mipmap level a blur draw at this level of detail reads (linear filtering between levels).
std::uint32_t DeepestLevelRead(float lod)
{
    return lod <= 0.0f ? 0u : static_cast<std::uint32_t>(std::floor(lod)) + 1u;
}

// Weights beyond these are read with the plain blur, whose nine taps then cost less than the texels.
constexpr int kMaxTexelsRead = 24;
constexpr int kMaxTexelWeights = 1024;

// How a strip of one blur draw reads the texels of one mipmap level. When the level halves the target's
// length along the blur exactly, a pixel's nine taps fall at the same fractions of the level's texels for
// every pixel of one phase (its position within its texel of the level), so each covered texel is read
// once with the sum of the weights the taps give it. A level only a few texels long has weights for each
// pixel along the blur and every texel instead.
struct TexelWeights
{
    // Log2 of the pixels sharing one set of weights: the level, or past every pixel's position.
    int phaseShift = 0;
    int phaseCount = 1;
    int texelCount = 0;
    int firstTexel = 0;
    float weights[kMaxTexelWeights] = {};
};

// The texel weights of a strip drawn as "directionalBlur" would draw it at this level, radius, texture size
// and intensity (the draw's intensity times the level's share), or false when more texels than the taps are
// worth would be read.
bool ComputeTexelWeights(std::uint32_t length, std::uint32_t level, float radius, float textureSize,
                         float intensity, bool phased, TexelWeights& out);

bool ComputeTexelWeights(std::uint32_t length, std::uint32_t level, float radius, float textureSize,
                         float intensity, TexelWeights& out)
{
    return ComputeTexelWeights(length, level, radius, textureSize, intensity, true, out) ||
           ComputeTexelWeights(length, level, radius, textureSize, intensity, false, out);
}

// Phased: weights per phase of a texel, when the level halves the length exactly; otherwise per pixel
// along the blur over every texel of the level.
bool ComputeTexelWeights(std::uint32_t length, std::uint32_t level, float radius, float textureSize,
                         float intensity, bool phased, TexelWeights& out)
{
    if (level >= 16 || length == 0 || !(textureSize > 0.0f) || !std::isfinite(radius))
        return false;
    const std::uint32_t levelLength = std::max(length >> level, 1u);
    // The shader's Gaussian weights and their sum, in its own precision.
    float tapWeights[9];
    float weightSum = 0.0f;
    for (int k = -4; k <= 4; ++k)
    {
        tapWeights[k + 4] = std::exp(-static_cast<float>(k * k) / 8.0f);
        weightSum += tapWeights[k + 4];
    }
    const double scale = static_cast<double>(intensity) / static_cast<double>(weightSum);
    const double spacing = static_cast<double>(radius) * levelLength / static_cast<double>(textureSize);
    const double texelsPerPixel = static_cast<double>(levelLength) / static_cast<double>(length);
    // Phases of one texel when the level halves the length exactly; otherwise every pixel along the blur.
    constexpr double kMaxReach = 64.0;
    if (phased && ((levelLength << level) != length || !(std::fabs(spacing) * 4.0 + 2.0 < kMaxReach)))
        return false;
    const int positions = phased ? 1 << level : static_cast<int>(length);
    if (positions > kMaxTexelWeights ||
        (!phased && static_cast<std::int64_t>(length) * levelLength > kMaxTexelWeights))
        return false;
    // Phased texels are counted from the pixel's own texel, as far as the taps reach either way.
    const int reach = phased ? static_cast<int>(std::ceil(std::fabs(spacing) * 4.0)) + 2 : 0;
    const int span = phased ? 2 * reach + 2 : static_cast<int>(levelLength);
    const int shift = reach;
    std::vector<double> spread(static_cast<std::size_t>(positions) * static_cast<std::size_t>(span), 0.0);
    int lowest = span;
    int highest = -1;
    for (int position = 0; position < positions; ++position)
    {
        double* row = &spread[static_cast<std::size_t>(position) * static_cast<std::size_t>(span)];
        for (int k = -4; k <= 4; ++k)
        {
            const double at = (position + 0.5) * texelsPerPixel - 0.5 + k * spacing;
            const double whole = std::floor(at);
            const double fraction = at - whole;
            const double weight = scale * tapWeights[k + 4];
            const int texels[2] = {static_cast<int>(whole), static_cast<int>(whole) + 1};
            const double shares[2] = {weight * (1.0 - fraction), weight * fraction};
            for (int i = 0; i < 2; ++i)
            {
                if (shares[i] == 0.0)
                    continue;
                // Reads past the level's edges take the edge texel: the shader clamps phased reads itself.
                const int texel =
                    phased ? texels[i] + shift : std::clamp(texels[i], 0, static_cast<int>(levelLength) - 1);
                row[texel] += shares[i];
                lowest = std::min(lowest, texel);
                highest = std::max(highest, texel);
            }
        }
    }
    if (highest < lowest)
        lowest = highest = shift;
    const int count = phased ? highest - lowest + 1 : static_cast<int>(levelLength);
    const int first = phased ? lowest : 0;
    if (count > kMaxTexelsRead || count * positions > kMaxTexelWeights)
        return false;
    out.phaseShift = phased ? static_cast<int>(level) : 30;
    out.phaseCount = positions;
    out.texelCount = count;
    out.firstTexel = first - shift;
    for (int position = 0; position < positions; ++position)
        for (int i = 0; i < count; ++i)
            out.weights[position * count + i] = static_cast<float>(
                spread[static_cast<std::size_t>(position) * static_cast<std::size_t>(span) +
                       static_cast<std::size_t>(first + i)]);
    return true;
}

// The size of a mipmap level of a texture of this size.
std::pair<GLint, GLint> LevelSize(std::uint32_t width, std::uint32_t height, std::uint32_t level)
{
    return {static_cast<GLint>(std::max(width >> level, 1u)), static_cast<GLint>(std::max(height >> level, 1u))};
}

// Whether generating mipmaps makes every level the exact mean of the 2 x 2 texels above it (a side of one
// texel stays one), which is what the halving shader reproduces: only sides that are powers of two sample
// the level above exactly between its texels; other sizes leave its filter weights a rounding off a half.
bool HalvesExactly(std::uint32_t width, std::uint32_t height)
{
    return width != 0 && height != 0 && (width & (width - 1)) == 0 && (height & (height - 1)) == 0;
}

} // namespace

// A float texture holding, for each mipmap level a blur reads, one strip: the blur of every row of that
// level (for a horizontal blur; columns for a vertical one) at the target's resolution along the blur.
// The strips of a horizontal blur are stacked bottom to top, those of a vertical one left to right. Being
// float, the draws of a blur add up without rounding until the sum reaches the target.
class LevelStrips
{
  public:
    LevelStrips()
    {
        glGenFramebuffers(1, &framebuffer);
        glGenTextures(1, &texture);
    }
    ~LevelStrips()
    {
        glDeleteTextures(1, &texture);
        glDeleteFramebuffers(1, &framebuffer);
    }
    LevelStrips(const LevelStrips&) = delete;
    LevelStrips& operator=(const LevelStrips&) = delete;

    // Binds the strips' framebuffer at this size (binding the texture on the active unit when it has to be
    // re-specified) and clears it.
    void BindAndClear(std::uint32_t newWidth, std::uint32_t newHeight)
    {
        Bind(newWidth, newHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // Binds the framebuffer at this size without clearing it, for a pass that writes every texel.
    void Bind(std::uint32_t newWidth, std::uint32_t newHeight)
    {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        if (newWidth != width || newHeight != height)
        {
            width = newWidth;
            height = newHeight;
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, static_cast<GLsizei>(width),
                         static_cast<GLsizei>(height), 0, GL_RGBA, GL_FLOAT, nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        }
    }

    std::uint32_t GetTexture() const { return texture; }

  private:
    GLuint framebuffer = 0;
    GLuint texture = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

Bloom::Bloom(std::uint32_t dataVersion, Shader* copy, Shader* blur, Shader* thresholdPass)
    : PostProcessingEffect(dataVersion), thresholdShader(thresholdPass), blurShader(blur), copyShader(copy)
{
}

Bloom::~Bloom()
{
    for (auto& [key, check] : glowChecks)
        if (check.query != 0)
            glDeleteQueries(1, &check.query);
}

const Framebuffer* Bloom::GetThresholdTarget(void* windowContext) const
{
    return Find(thresholdTargets, windowContext);
}

const Framebuffer* Bloom::GetHorizontalTarget(void* windowContext) const
{
    return Find(horizontalTargets, windowContext);
}

const Framebuffer* Bloom::GetVerticalTarget(void* windowContext) const
{
    return Find(verticalTargets, windowContext);
}

void Bloom::PrepareTargets(const Camera& camera)
{
    void* key = camera.windowContext;
    const auto w = static_cast<std::uint32_t>(std::max(camera.width / 4, 1));
    const auto h = static_cast<std::uint32_t>(std::max(camera.height / 4, 1));
    if (thresholdTargets.find(key) == thresholdTargets.end())
    {
        thresholdTargets[key] = std::make_unique<Framebuffer>(w, h, true, false);
        horizontalTargets[key] = std::make_unique<Framebuffer>(w, h, true, false);
        verticalTargets[key] = std::make_unique<Framebuffer>(w, h, true, false);
        return;
    }
    thresholdTargets[key]->Resize(w, h, true);
    horizontalTargets[key]->Resize(w, h, true);
    verticalTargets[key]->Resize(w, h, true);
}

void Bloom::DrawQuad() const
{
    DrawIndexed(GL_TRIANGLES, 6);
}

void Bloom::HalveLevels(const Framebuffer& source, std::uint32_t deepest, LevelPlace places[])
{
    const std::uint32_t width = source.GetWidth();
    const std::uint32_t height = source.GetHeight();
    places[0] = {source.GetColourTexture(), 0, 0, 0};
    // Every texel is written, not added to (the caller has turned blending off).
    halvingShader->Use();
    halvingShader->SetInt("tex", 0);
    const GLuint program = halvingShader->GetProgram();
    std::size_t stage = 0;
    for (std::uint32_t made = 0; made < deepest; made += 2, ++stage)
    {
        // Two levels a pass: the second reads 16 texels of the first's source, a third would read 64.
        const int count = std::min(2, static_cast<int>(deepest - made));
        const auto [sourceWidth, sourceHeight] = LevelSize(width, height, made);
        const auto [firstWidth, firstHeight] = LevelSize(width, height, made + 1);
        const auto [secondWidth, secondHeight] = LevelSize(width, height, made + 2);
        const GLint atlasWidth = firstWidth + (count == 2 ? secondWidth : 0);
        if (levelStages.size() <= stage)
            levelStages.push_back(std::make_unique<LevelStrips>());
        LevelStrips& levels = *levelStages[stage];
        levels.Bind(static_cast<std::uint32_t>(atlasWidth), static_cast<std::uint32_t>(firstHeight));
        glViewport(0, 0, atlasWidth, firstHeight);
        const LevelPlace& from = places[made];
        glBindTexture(GL_TEXTURE_2D, from.texture);
        glUniform2i(glGetUniformLocation(program, "sourceOrigin"), from.x, from.y);
        glUniform2i(glGetUniformLocation(program, "sourceSize"), sourceWidth, sourceHeight);
        glUniform2i(glGetUniformLocation(program, "firstSize"), firstWidth, firstHeight);
        glUniform2i(glGetUniformLocation(program, "secondSize"), secondWidth, secondHeight);
        halvingShader->SetInt("levelCount", count);
        DrawQuad();
        places[made + 1] = {levels.GetTexture(), 0, 0, 0};
        if (count == 2)
            places[made + 2] = {levels.GetTexture(), firstWidth, 0, 0};
    }
}

// Every draw samples its level of detail, which is one mipmap level or a linear mix of two; sampling a level
// along the blur is linear in the level's rows (columns), so the draw's share of each level is blurred
// once per row of that level into its strip, and the strips, filtered across the blur the way the level
// is, add up to the draws. Coarse levels have few rows, so most of the taps are no longer repeated for
// every pixel of the target.
void Bloom::Blur(Framebuffer& target, const Framebuffer& source, const Vector2& direction, float textureSize,
                 const BlurDraw* draws, int drawCount, std::uint32_t deepestLevel)
{
    const bool rows = direction.x != 0.0f;
    const std::uint32_t length = rows ? target.GetHeight() : target.GetWidth();
    const std::uint32_t deepest = std::min({deepestLevel, source.LastLevel(), kMaxLevels - 1});
    // One strip per level each draw reads, in draw order.
    constexpr int kMaxStrips = 16;
    struct Strip
    {
        std::uint32_t level;
        float share;
        int draw;
        GLint size;
        GLint offset;
    };
    Strip stripList[kMaxStrips];
    int stripCount = 0;
    std::uint32_t total = 0;
    for (int draw = 0; draw < drawCount && stripCount + 2 <= kMaxStrips; ++draw)
    {
        LevelShare shares[2];
        const int count = LevelsRead(draws[draw].lod, deepest, shares);
        for (int i = 0; i < count; ++i)
        {
            const auto size = static_cast<GLint>(std::max(length >> shares[i].level, 1u));
            stripList[stripCount++] = {shares[i].level, shares[i].share, draw, size,
                                       static_cast<GLint>(total)};
            total += static_cast<std::uint32_t>(size);
        }
    }
    // Each strip reads its level's covered texels once when the weights allow it, and nine filtered taps
    // otherwise.
    const std::uint32_t along = rows ? target.GetWidth() : target.GetHeight();
    std::vector<TexelWeights> weights(static_cast<std::size_t>(stripCount));
    bool texelsOnly = true;
    std::uint32_t deepestStrip = 0;
    bool byTexels[kMaxStrips] = {};
    for (int i = 0; i < stripCount; ++i)
    {
        const Strip& strip = stripList[i];
        byTexels[i] = Usable(texelsShader) &&
                      ComputeTexelWeights(along, strip.level, draws[strip.draw].radius, textureSize,
                                          draws[strip.draw].intensity * strip.share, weights[i]);
        texelsOnly = texelsOnly && byTexels[i];
        deepestStrip = std::max(deepestStrip, strip.level);
    }
    // Where each level's texels lie. Generating mipmaps finishes drawing each level before the next can
    // start; when every strip reads texels and the sides are powers of two, the levels are made here two
    // at a time instead, exactly as generating makes them.
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glDisable(GL_BLEND);
    LevelPlace places[kMaxLevels];
    if (texelsOnly && Usable(halvingShader) && HalvesExactly(source.GetWidth(), source.GetHeight()))
        HalveLevels(source, deepestStrip, places);
    else
    {
        source.BindMipmapped(deepest);
        for (std::uint32_t level = 0; level < kMaxLevels; ++level)
            places[level] = {source.GetColourTexture(), 0, 0, static_cast<GLint>(level)};
    }
    std::unique_ptr<LevelStrips>& strips = rows ? rowStrips : columnStrips;
    if (!strips)
        strips = std::make_unique<LevelStrips>();
    // The strips tile the texture and each is written, not added to: no clear, and no blending, which
    // would read every float texel back.
    strips->Bind(rows ? target.GetWidth() : total, rows ? total : target.GetHeight());

    GLint sizes[kMaxStrips] = {};
    GLint offsets[kMaxStrips] = {};
    GLint drawOf[kMaxStrips] = {};
    for (int i = 0; i < stripCount; ++i)
    {
        const Strip& strip = stripList[i];
        const BlurDraw& draw = draws[strip.draw];
        if (rows)
            glViewport(0, strip.offset, static_cast<GLsizei>(target.GetWidth()), strip.size);
        else
            glViewport(strip.offset, 0, strip.size, static_cast<GLsizei>(target.GetHeight()));
        const LevelPlace& place = places[strip.level];
        glBindTexture(GL_TEXTURE_2D, place.texture);
        if (byTexels[i])
        {
            const TexelWeights& weight = weights[static_cast<std::size_t>(i)];
            texelsShader->Use();
            texelsShader->SetInt("tex", 0);
            texelsShader->SetVector2("direction", direction);
            texelsShader->SetInt("fetchLevel", place.fetchLevel);
            texelsShader->SetInt("levelLength", static_cast<int>(std::max(along >> strip.level, 1u)));
            const GLuint program = texelsShader->GetProgram();
            glUniform2i(glGetUniformLocation(program, "levelOrigin"), place.x, place.y);
            glUniform2i(glGetUniformLocation(program, "origin"), rows ? 0 : strip.offset, rows ? strip.offset : 0);
            texelsShader->SetInt("phaseShift", weight.phaseShift);
            texelsShader->SetInt("texelCount", weight.texelCount);
            texelsShader->SetInt("firstTexel", weight.firstTexel);
            glUniform1fv(glGetUniformLocation(program, "weights"), weight.phaseCount * weight.texelCount,
                         weight.weights);
        }
        else
        {
            blurShader->Use();
            blurShader->SetInt("tex", 0);
            blurShader->SetVector2("direction", direction);
            blurShader->SetFloat("textureSize", textureSize);
            blurShader->SetFloat("intensity", draw.intensity * strip.share);
            blurShader->SetFloat("radius", draw.radius);
            blurShader->SetFloat("lod", static_cast<float>(strip.level));
        }
        DrawQuad();
        sizes[i] = strip.size;
        offsets[i] = strip.offset;
        drawOf[i] = strip.draw;
    }

    // The sum is written over the cleared target, as adding it to the cleared target would leave it.
    target.BindAndClear();
    glDepthMask(GL_FALSE);
    glBindTexture(GL_TEXTURE_2D, strips->GetTexture());
    levelsShader->Use();
    levelsShader->SetInt("tex", 0);
    levelsShader->SetVector2("direction", direction);
    levelsShader->SetInt("levelCount", stripCount);
    const GLuint program = levelsShader->GetProgram();
    glUniform1iv(glGetUniformLocation(program, "levelSizes"), stripCount, sizes);
    glUniform1iv(glGetUniformLocation(program, "levelOffsets"), stripCount, offsets);
    glUniform1iv(glGetUniformLocation(program, "levelDraws"), stripCount, drawOf);
    DrawQuad();
    if (blending == GL_TRUE)
        glEnable(GL_BLEND);
}

bool Bloom::IsUsable()
{
    if (levelsShader == nullptr && gGraphics != nullptr)
    {
        levelsShader = gGraphics->GetShader("blurLevels");
        texelsShader = gGraphics->GetShader("blurTexels");
        halvingShader = gGraphics->GetShader("halvedLevels");
        compositeShader = gGraphics->GetShader("bloomComposite");
    }
    if (Usable(levelsShader) && Usable(compositeShader) && Usable(thresholdShader) && Usable(blurShader) &&
        Usable(copyShader))
        return true;
    if (!reportedUnusable)
    {
        std::printf("ERROR: Bloom shaders are unusable; the image passes through unchanged.\n");
        reportedUnusable = true;
    }
    return false;
}

void Bloom::DrawThreshold(const Camera& camera, const Framebuffer& image, std::uint32_t query)
{
    Framebuffer& thresholdTarget = *thresholdTargets[camera.windowContext];
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthFunc(GL_ALWAYS);
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());
    thresholdTarget.BindAndClear();
    glDepthMask(GL_FALSE);
    glBindTexture(GL_TEXTURE_2D, image.GetColourTexture());
    thresholdShader->Use();
    thresholdShader->SetInt("tex", 0);
    thresholdShader->SetVector3("threshold", threshold);
    thresholdShader->SetFloat("intensity", intensity);
    if (query != 0)
        glBeginQuery(GL_SAMPLES_PASSED, query);
    DrawQuad();
    if (query != 0)
        glEndQuery(GL_SAMPLES_PASSED);
}

bool Bloom::PassesImageThrough(Camera& camera)
{
    thresholdDrawn = false;
    if (!IsUsable())
        return true;
    if (onlyBloom)
        return false;
    // Nothing above the threshold blurs to nothing, and nothing added over the scene is the scene. The
    // threshold shader discards what it does not keep, so the query counts kept texels.
    GlowCheck& check = glowChecks[camera.windowContext];
    if (check.query == 0)
        glGenQueries(1, &check.query);
    if (check.pending)
    {
        GLuint available = 0;
        glGetQueryObjectuiv(check.query, GL_QUERY_RESULT_AVAILABLE, &available);
        if (available != 0)
        {
            GLuint kept = 0;
            glGetQueryObjectuiv(check.query, GL_QUERY_RESULT, &kept);
            check.glowed = kept != 0;
        }
    }
    PrepareTargets(camera);
    DrawThreshold(camera, camera.GetCurrentTarget(), check.query);
    thresholdDrawn = true;
    check.pending = true;
    if (check.glowed)
        return false;
    // Only waiting tells whether this frame's bloom can be skipped.
    GLuint kept = 0;
    glGetQueryObjectuiv(check.query, GL_QUERY_RESULT, &kept);
    check.pending = false;
    check.glowed = kept != 0;
    return !check.glowed;
}

bool Bloom::ApplyInPlace(Camera& camera)
{
    // Only the glow is shown with "Only_Bloom", so the image is replaced, not added to.
    if (!addInPlace || onlyBloom || !IsUsable())
        return false;
    glActiveTexture(GL_TEXTURE0);
    const Framebuffer& image = camera.GetCurrentTarget();
    DrawGlow(camera, image);
    PassTimer::Mark("bloom composite");
    // The image plus the glow under the (ONE, ONE) blend is what copying the image into a cleared target
    // and adding the glow makes; adding straight over the image spares the copy and the clear.
    glBindFramebuffer(GL_FRAMEBUFFER, image.GetFramebuffer());
    glViewport(0, 0, static_cast<GLsizei>(image.GetWidth()), static_cast<GLsizei>(image.GetHeight()));
    glDepthMask(GL_FALSE);
    // The quarter-size glow is stretched over the whole image, which reads level 0 only.
    verticalTargets[camera.windowContext]->BindMipmapped(0);
    copyShader->Use();
    copyShader->SetInt("tex", 0);
    DrawQuad();
    glBindVertexArray(0);
    return true;
}

void Bloom::DrawGlow(Camera& camera, const Framebuffer& image)
{
    void* key = camera.windowContext;
    PassTimer::Mark("bloom threshold");
    if (!thresholdDrawn)
    {
        PrepareTargets(camera);
        DrawThreshold(camera, image);
    }
    thresholdDrawn = false;
    Framebuffer& thresholdTarget = *thresholdTargets[key];
    Framebuffer& horizontal = *horizontalTargets[key];
    Framebuffer& vertical = *verticalTargets[key];
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthFunc(GL_ALWAYS);
    glBindVertexArray(Mesh::GetQuad().CurrentVertexArray());

    PassTimer::Mark("bloom blur");
    const auto width = static_cast<float>(horizontal.GetWidth());
    const auto height = static_cast<float>(horizontal.GetHeight());
    const float intensities[5] = {innerIntensity, midIntensity, outerIntensity, outermostIntensity,
                                  outermostIntensity * 0.5f};
    BlurDraw draws[5];
    const std::uint32_t deepest = DeepestLevelRead(lodOffset + kLodSteps[4]);
    for (int draw = 0; draw < 5; ++draw)
        draws[draw] = {horizontalRadius * kRadiusFactors[draw] * kRadiusScale, lodOffset + kLodSteps[draw],
                       intensities[draw]};
    Blur(horizontal, thresholdTarget, Vector2(1.0f, 0.0f), width, draws, 5, deepest);
    for (int draw = 0; draw < 5; ++draw)
        draws[draw].radius = verticalRadius * kRadiusFactors[draw] * kRadiusScale;
    Blur(vertical, horizontal, Vector2(0.0f, 1.0f), height, draws, 5, deepest);

    PassTimer::Mark("bloom smoothing");
    // Two draws at fine levels, which have most of the target's rows: drawn directly, they cost less than
    // strips and their sum.
    for (std::int32_t pass = 0; pass < smoothingPasses; ++pass)
    {
        const struct
        {
            Framebuffer& target;
            const Framebuffer& source;
            Vector2 direction;
            float radius;
            float size;
        } steps[2] = {{horizontal, vertical, Vector2(1.0f, 0.0f), horizontalRadius, width},
                      {vertical, horizontal, Vector2(0.0f, 1.0f), verticalRadius, height}};
        for (const auto& step : steps)
        {
            step.target.BindAndClear();
            step.source.BindMipmapped(DeepestLevelRead(kSmoothingLods[1]));
            blurShader->Use();
            blurShader->SetInt("tex", 0);
            blurShader->SetVector2("direction", step.direction);
            blurShader->SetFloat("textureSize", step.size);
            blurShader->SetFloat("intensity", 0.5f);
            blurShader->SetFloat("radius", step.radius * 0.5f * kRadiusScale);
            blurShader->SetFloat("lod", kSmoothingLods[0]);
            DrawQuad();
            blurShader->SetFloat("radius", step.radius * 2.0f * kRadiusScale);
            blurShader->SetFloat("lod", kSmoothingLods[1]);
            DrawQuad();
        }
    }
}

void Bloom::Apply(Camera& camera)
{
    if (!IsUsable())
    {
        // The target is already cleared: leaving it so would black out the whole frame.
        CopyPreviousImage(camera);
        return;
    }
    const Framebuffer& previous = camera.GetPreviousTarget();
    DrawGlow(camera, previous);
    Framebuffer& vertical = *verticalTargets[camera.windowContext];
    PassTimer::Mark("bloom composite");
    camera.GetCurrentTarget().BindAndClear();
    glDepthMask(GL_FALSE);
    // The quarter-size bloom is stretched over the whole target, which reads level 0 only.
    vertical.BindMipmapped(0);
    if (onlyBloom)
    {
        copyShader->Use();
        copyShader->SetInt("tex", 0);
        DrawQuad();
    }
    else
    {
        // The bloom goes on unit 1 for the one draw; the unit keeps the texture it had.
        GLint unitOneTexture = 0;
        glActiveTexture(GL_TEXTURE1);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &unitOneTexture);
        glBindTexture(GL_TEXTURE_2D, vertical.GetColourTexture());
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, previous.GetColourTexture());
        compositeShader->Use();
        compositeShader->SetInt("tex", 0);
        compositeShader->SetInt("bloom", 1);
        DrawQuad();
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(unitOneTexture));
        glActiveTexture(GL_TEXTURE0);
    }
    glBindVertexArray(0);
}

void Bloom::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

namespace
{
constexpr float kMaxThreshold = 10.0f;
constexpr std::int32_t kMaxSmoothingPasses = 10;

FieldOptions Bounded(float step, float maximum)
{
    return FromVersion(1, step, 0.0f, maximum);
}

FieldOptions EditorOnly()
{
    FieldOptions options = FromVersion(1);
    options.save = false;
    return options;
}

// A float field clamped to [0, maximum] by its setter.
void AddBounded(DescriptorList<Bloom>& fields, const char* name, float step, float maximum,
                float Bloom::*field)
{
    fields.push_back(std::make_unique<Metafloat<Bloom>>(
        name, Bounded(step, maximum), [field](const Bloom& e) { return e.*field; },
        [field, maximum](Bloom& e, const float& v) { SetEffectField(e.*field, v, 0.0f, maximum); }));
}

void AddSwitch(DescriptorList<Bloom>& fields, const char* name, bool Bloom::*field)
{
    fields.push_back(std::make_unique<Metabool<Bloom>>(
        name, EditorOnly(), [field](const Bloom& e) { return e.*field; },
        [field](Bloom& e, const bool& v) { e.*field = v; }));
}
} // namespace

const DescriptorList<Bloom>& Bloom::Descriptors()
{
    static const DescriptorList<Bloom> list = [] {
        DescriptorList<Bloom> fields;
        fields.push_back(std::make_unique<MetaVector3<Bloom>>(
            "Threshold", Bounded(0.01f, kMaxThreshold), [](const Bloom& e) { return e.threshold; },
            [](Bloom& e, const Vector3& v) { SetEffectField(e.threshold, v, 0.0f, kMaxThreshold); }));
        AddBounded(fields, "Intensity", 0.01f, 20.0f, &Bloom::intensity);
        AddBounded(fields, "Horizontal_Radius", 0.01f, 10.0f, &Bloom::horizontalRadius);
        AddBounded(fields, "Vertical_Radius", 0.01f, 10.0f, &Bloom::verticalRadius);
        AddBounded(fields, "Inner_Intensity", 0.01f, 5.0f, &Bloom::innerIntensity);
        AddBounded(fields, "Mid_Intensity", 0.01f, 5.0f, &Bloom::midIntensity);
        AddBounded(fields, "Outer_Intensity", 0.01f, 5.0f, &Bloom::outerIntensity);
        AddBounded(fields, "Outermost_Intensity", 0.01f, 5.0f, &Bloom::outermostIntensity);
        AddSwitch(fields, "Only_Bloom", &Bloom::onlyBloom);
        fields.push_back(std::make_unique<Metafloat<Bloom>>(
            "LOD_Offset", FromVersion(1, 0.005f), [](const Bloom& e) { return e.lodOffset; },
            [](Bloom& e, const float& v) { SetEffectField(e.lodOffset, v); }));
        AddSwitch(fields, "AB_Test", &Bloom::abTest);
        fields.push_back(std::make_unique<Metaint<Bloom>>(
            "SmoothingPasses", Bounded(0.05f, static_cast<float>(kMaxSmoothingPasses)),
            [](const Bloom& e) { return e.smoothingPasses; },
            [](Bloom& e, const std::int32_t& v) {
                e.smoothingPasses = std::clamp(v, 0, kMaxSmoothingPasses);
            }));
        return fields;
    }();
    return list;
}
