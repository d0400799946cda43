#pragma once
#include "Framebuffer.h"
#include "Math.h"
#include "Metadata.h"
#include "PostProcessingEffect.h"

#include <map>
#include <memory>
#include <vector>

class LevelStrips;
class Shader;

// Adds a blurred copy of the image's bright parts: a threshold pass, then horizontal and vertical blurs
// that widen by factors of 4 and read ever coarser mipmap levels, then the sum over the scene.
class Bloom : public PostProcessingEffect
{
  public:
    Bloom(std::uint32_t dataVersion, Shader* copyShader, Shader* blurShader, Shader* thresholdShader);
    ~Bloom() override;

    void Apply(Camera& camera) override;
    // Draws the threshold pass first: when nothing lies above the threshold (or the shaders are unusable)
    // the image passes through; otherwise Apply goes on from that pass. After a frame whose threshold pass
    // kept something it answers without waiting for this one (a bloom of nothing adds nothing, so running
    // it is never wrong) and learns from the finished pass in a later frame when the glow has gone.
    bool PassesImageThrough(Camera& camera) override;
    // Adds the glow straight over the image in the camera's current target (the scene plus the glow, as
    // Apply composes it) unless only the glow is to be shown or the switch below is off.
    bool ApplyInPlace(Camera& camera) override;
    void DrawEditor() override;
    const char* PassName() const override { return "bloom"; }

    // The tunable fields, in editor order: "Threshold", "Intensity", "Horizontal_Radius",
    // "Vertical_Radius", "Inner_Intensity", "Mid_Intensity", "Outer_Intensity", "Outermost_Intensity",
    // "Only_Bloom", "LOD_Offset", "AB_Test", "SmoothingPasses". Their setters clamp to the editor ranges
    // and ignore NaN.
    static const DescriptorList<Bloom>& Descriptors();

    // The bloom targets of the camera's window, or null before its first Apply.
    const Framebuffer* GetThresholdTarget(void* windowContext) const;
    const Framebuffer* GetHorizontalTarget(void* windowContext) const;
    const Framebuffer* GetVerticalTarget(void* windowContext) const;

    Vector3 threshold{1.0f, 1.0f, 1.0f};
    float intensity = 0.6f;
    float horizontalRadius = 1.0f;
    float verticalRadius = 1.0f;
    float innerIntensity = 1.25f;
    float midIntensity = 1.0f;
    float outerIntensity = 0.75f;
    float outermostIntensity = 0.5f;
    float lodOffset = 0.5f;
    bool abTest = false; // editor only: drawing never reads it
    std::int32_t smoothingPasses = 2;
    bool onlyBloom = false;
    // Whether ApplyInPlace adds the glow over the image; off, Apply composes it (for comparisons).
    bool addInPlace = true;

  private:
    // Whether every shader was built; reports the first time they were not.
    bool IsUsable();
    void PrepareTargets(const Camera& camera);
    // The bright parts of the image into the camera's threshold target.
    // Counts the kept texels in the query when it is not 0.
    void DrawThreshold(const Camera& camera, const Framebuffer& image, std::uint32_t query = 0);
    // One blur along the direction: the draws (radius, level of detail, intensity) summed into the target.
    struct BlurDraw
    {
        float radius;
        float lod;
        float intensity;
    };
    void Blur(Framebuffer& target, const Framebuffer& source, const Vector2& direction, float textureSize,
              const BlurDraw* draws, int drawCount, std::uint32_t deepestLevel);
    // Where a mipmap level's texels lie: a level of a texture, or a region of a texture's level 0.
    struct LevelPlace
    {
        std::uint32_t texture;
        std::int32_t x;
        std::int32_t y;
        std::int32_t fetchLevel;
    };
    // Makes the source's levels 1 to `deepest` as generating mipmaps would, two levels a pass, into
    // float textures of their own, and tells where each lies (level 0 is the source's).
    void HalveLevels(const Framebuffer& source, std::uint32_t deepest, LevelPlace places[]);
    void DrawQuad() const;
    // The threshold pass (unless drawn already this frame), the blurs and the smoothing: the image's glow,
    // left in the camera's vertical target.
    void DrawGlow(Camera& camera, const Framebuffer& image);

    std::map<void*, std::unique_ptr<Framebuffer>> thresholdTargets;
    std::map<void*, std::unique_ptr<Framebuffer>> horizontalTargets;
    std::map<void*, std::unique_ptr<Framebuffer>> verticalTargets;
    // The level strips of the horizontal and the vertical blurs (see Blur), kept between frames.
    std::unique_ptr<LevelStrips> rowStrips;
    std::unique_ptr<LevelStrips> columnStrips;
    // The levels made by HalveLevels, one texture per pass.
    std::vector<std::unique_ptr<LevelStrips>> levelStages;
    Shader* thresholdShader = nullptr;
    Shader* blurShader = nullptr;
    Shader* copyShader = nullptr;
    // Sums a blur's level strips into its target ("blurLevels"), found on the first use.
    Shader* levelsShader = nullptr;
    // Draws a strip reading each texel the taps cover once ("blurTexels"), found on the first use; the
    // plain blur shader draws the strips when it does not build.
    Shader* texelsShader = nullptr;
    // Halves a level twice ("halvedLevels"), found on the first use; mipmaps are generated without it.
    Shader* halvingShader = nullptr;
    // Draws the scene with the bloom added in one pass ("bloomComposite"), found on the first use.
    Shader* compositeShader = nullptr;
    bool reportedUnusable = false;
    // Set when the threshold pass of this camera's frame was drawn before Apply.
    bool thresholdDrawn = false;
    // Per camera window: the query counting what the threshold pass kept, whether its answer is still
    // to be read, and whether the last answer read saw any glow.
    struct GlowCheck
    {
        std::uint32_t query = 0;
        bool pending = false;
        bool glowed = false;
    };
    std::map<void*, GlowCheck> glowChecks;
};
