#pragma once
#include "Framebuffer.h"
#include "LightRecord.h"
#include "Metadata.h"
#include "PostProcessingEffect.h"
#include "ShaderData.h"

#include <cstddef>
#include <map>
#include <memory>
#include <vector>

class RenderLine;
class Shader;
struct Texture;

// The 2-D lighting link of the effect chain. Each frame the sprite renderer and the particle system feed
// it occlusion items and the light renderer one record per light; for each camera it draws an occlusion
// mask, accumulates the lights into a quarter-size buffer that reads the mask, blurs that buffer both ways
// and adds it over the image.
class Lighting : public PostProcessingEffect
{
  public:
    Lighting(std::uint32_t dataVersion, Shader* copyShader, Shader* blurShader, Shader* lightShader,
             Shader* occlusionShader);
    ~Lighting() override;

    void Apply(Camera& camera) override;
    // With no light this frame (or no usable shaders) the image passes through; the occlusion fed for
    // the frame is dropped, as Apply would drop it.
    bool PassesImageThrough(Camera& camera) override;
    // Lights the frame by adding the blurred light straight over the image (unless only the lighting is
    // shown, or there is nothing to light); the result is what Apply would make.
    bool ApplyInPlace(Camera& camera) override;
    void DrawEditor() override;
    const char* PassName() const override { return "lighting"; }
    // "Blur_Radius" (saved) and "Only_Lighting" (editor only).
    static const DescriptorList<Lighting>& Descriptors();

    // Adds this frame's occlusion of one sprite: its quad, the texture whose alpha hides light and how much
    // of it does. A missing texture occludes as a white square.
    void AddOcclusion(const Matrix3& modelWorld, Texture* texture, float obfuscation);
    // Adds this frame's record of one light.
    void AddLight(const LightRecord& record);
    // Forgets this frame's records and occlusion items (the end of every frame, drawn or not).
    void DropFrame();

    std::size_t GetOcclusionCount() const { return occlusionUsed; }
    // The item pool; its first GetOcclusionCount() items are this frame's occlusion.
    const std::vector<ShaderData>& GetOcclusionItems() const;
    const std::vector<LightRecord>& GetLightRecords() const { return records; }
    // The four targets of a window, or null before its first lit frame.
    const Framebuffer* GetMaskTarget(std::size_t windowIndex) const;
    const Framebuffer* GetLightTarget(std::size_t windowIndex) const;
    const Framebuffer* GetResultTarget(std::size_t windowIndex) const;

    float blurRadius = 1.0f;
    bool onlyLighting = false;
    // Whether ApplyInPlace adds the light over the image; off, Apply composes it (for comparisons).
    bool addInPlace = true;

  private:
    using TargetMap = std::map<std::size_t, std::unique_ptr<Framebuffer>>;

    // Whether every shader was built; reports the first time they were not.
    bool IsUsable();
    void PassThrough(Camera& camera);
    // The mask, the lights and their blur: the result target then holds the light to add.
    void DrawBlurredLight(Camera& camera);
    void PrepareTargets(Camera& camera);
    void DrawMask(Camera& camera);
    void DrawLights(Camera& camera);
    void BlurLights(Camera& camera);
    void Composite(Camera& camera);

    // The inputs every occlusion item is written through.
    struct OcclusionInputs
    {
        ShaderInput modelWorld;
        ShaderInput texture;
        ShaderInput obfuscation;
    };
    // One sprite's occlusion as fed. Most frames have no light and draw no mask, so the feed only
    // records it compactly; the items the mask batch draws are written from the records when needed.
    struct OcclusionRecord
    {
        Matrix3 modelWorld;
        Texture* texture = nullptr;
        float obfuscation = 0.0f;
    };
    // Writes the records not yet written into the item pool (growing it as needed).
    void WriteOcclusionItems() const;
    // Notes the bounds of this frame's occlusion in mask coordinates, widened for the light pass.
    void NoteOccluderBounds(Camera& camera);
    // Hands the light shader the occlusion bounds that the light's pixels may look across.
    void SetOccludersNear(const LightRecord& record, const Matrix3& worldScreen);

    OcclusionInputs occlusionInputs;
    std::vector<OcclusionRecord> occlusionRecords;
    mutable std::vector<ShaderData> occlusionItems;
    // Records fed this frame, and how many of them the items hold.
    std::size_t occlusionUsed = 0;
    mutable std::size_t occlusionWritten = 0;
    std::unique_ptr<RenderLine> occlusionBatch;
    TargetMap maskTargets;
    TargetMap lightTargets;
    TargetMap blurTargets;
    TargetMap resultTargets;
    Shader* occlusionShader = nullptr;
    Shader* lightShader = nullptr;
    Shader* blurShader = nullptr;
    Shader* copyShader = nullptr;
    std::vector<LightRecord> records;
    // This frame's occlusion bounds (low x, low y, high x, high y) in mask coordinates.
    std::vector<Vector4> occluderBounds;
    std::vector<Vector4> occludersNear;
    bool occlusionUnbounded = false;
    bool reportedUnusable = false;
};

// The lighting effect of the running graphics system, or null. Borrowed: the effect chain owns it.
extern Lighting* gLighting;
