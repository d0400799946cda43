#pragma once
#include "Math.h"
#include "Metadata.h"
#include "PostProcessingEffect.h"

#include <string>

class Saturation;
class Shader;

// Base of the single-pass grading effects: one full-screen draw of the previous image through the
// effect's shader with its uniforms. An effect whose shader could not be built copies the image instead.
class ColorEffect : public PostProcessingEffect
{
  public:
    ColorEffect(std::uint32_t dataVersion, Shader* shader, std::string effectName);
    void Apply(Camera& camera) override;
    // An effect whose settings are the identity draws nothing.
    bool PassesImageThrough(Camera& camera) override;

    // Whether the settings leave every colour as it is.
    virtual bool IsIdentity() const { return false; }
    // Sets the effect's own uniforms, in table order, on its program in use.
    virtual void SetUniforms(const Shader& program) const = 0;
    // Whether the effect's shader was built.
    bool IsUsable() const;
    // Sets the effect's uniforms on its own program (which stays in use).
    void UploadUniforms() const;

  private:
    Shader* shader = nullptr;
    std::string effectName;
    bool reportedUnusable = false;
};

// Scales the colour channels.
class ColorBalancer : public ColorEffect
{
  public:
    explicit ColorBalancer(std::uint32_t dataVersion, Shader* shader);
    void DrawEditor() override;
    // "Balance".
    static const DescriptorList<ColorBalancer>& Descriptors();
    const char* PassName() const override { return "colour balance"; }

    Vector3 balance{1.0f, 1.0f, 1.0f};

  protected:
    void SetUniforms(const Shader& program) const override;
    bool IsIdentity() const override;
};

// Exposure and gamma: maps the open range of scene brightness smoothly onto 0..1.
class Tonemap : public ColorEffect
{
  public:
    explicit Tonemap(std::uint32_t dataVersion, Shader* shader);
    void DrawEditor() override;
    // "Gamma", then "Exposure".
    static const DescriptorList<Tonemap>& Descriptors();
    const char* PassName() const override { return "tone mapping"; }

    float gamma = 1.0f;
    float exposure = 0.7f;
    // Whether a saturation that follows is done in the same pass; off, each has its own (for comparisons).
    bool foldSaturation = true;

    void Apply(Camera& camera) override;
    // True for a saturation that changes the image, when both shaders and the combined one were built.
    bool FoldsInNext(PostProcessingEffect& next) override;
    void SetUniforms(const Shader& program) const override;

  private:
    // The saturation the next Apply does as well, or null.
    Saturation* folded = nullptr;
    Shader* combinedShader = nullptr;
};

// Boosts colourfulness, lifts the mid-tones and whitens the highlights.
class Saturation : public ColorEffect
{
  public:
    explicit Saturation(std::uint32_t dataVersion, Shader* shader);
    void DrawEditor() override;
    // "Saturation", "Whitening", "Multiplier1", "Multiplier2", "Power".
    static const DescriptorList<Saturation>& Descriptors();
    const char* PassName() const override { return "saturation"; }

    float saturation = 2.0f;
    float whitening = 1.0f;
    float multiplier1 = 1.5f;
    float multiplier2 = 2.0f;
    float power = 8.0f;

    void SetUniforms(const Shader& program) const override;
    bool IsIdentity() const override;
};
