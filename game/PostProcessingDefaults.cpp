#include "PostProcessingDefaults.h"

#include "Bloom.h"
#include "ColorEffects.h"
#include "Graphics.h"
#include "Lighting.h"

#include <vector>

namespace
{
void WriteBloom(Bloom& bloom, const PostProcessingGrade& grade)
{
    bloom.threshold = grade.bloomThreshold;
    bloom.intensity = grade.bloomIntensity;
    bloom.horizontalRadius = grade.bloomHorizontalRadius;
    bloom.verticalRadius = grade.bloomVerticalRadius;
    bloom.innerIntensity = grade.bloomInnerIntensity;
    bloom.midIntensity = grade.bloomMidIntensity;
    bloom.outerIntensity = grade.bloomOuterIntensity;
    bloom.outermostIntensity = grade.bloomOutermostIntensity;
    bloom.lodOffset = grade.bloomLodOffset;
    bloom.smoothingPasses = grade.bloomSmoothingPasses;
}

void WriteSaturation(Saturation& effect, const PostProcessingGrade& grade)
{
    effect.saturation = grade.saturation;
    effect.whitening = grade.whitening;
    effect.multiplier1 = grade.saturationMultiplier1;
    effect.multiplier2 = grade.saturationMultiplier2;
    effect.power = grade.saturationPower;
}

void WriteTonemap(Tonemap& effect, const PostProcessingGrade& grade)
{
    effect.gamma = grade.tonemapGamma;
    effect.exposure = grade.tonemapExposure;
}

// Matched by class, in this order, so a class derived from one of them takes that class's values.
void WriteEffect(PostProcessingEffect* effect, const PostProcessingGrade& grade)
{
    if (auto* bloom = dynamic_cast<Bloom*>(effect))
        WriteBloom(*bloom, grade);
    else if (auto* balancer = dynamic_cast<ColorBalancer*>(effect))
        balancer->balance = grade.colorBalance;
    else if (auto* saturation = dynamic_cast<Saturation*>(effect))
        WriteSaturation(*saturation, grade);
    else if (auto* tonemap = dynamic_cast<Tonemap*>(effect))
        WriteTonemap(*tonemap, grade);
    else if (auto* lighting = dynamic_cast<Lighting*>(effect))
        lighting->blurRadius = grade.lightingBlurRadius;
}
} // namespace

const PostProcessingGrade& MatchGrade()
{
    static const PostProcessingGrade grade{.bloomThreshold = Vector3{1.0f, 1.1f, 1.0f},
                                           .bloomIntensity = 0.6f,
                                           .bloomHorizontalRadius = 1.0f,
                                           .bloomVerticalRadius = 1.0f,
                                           .bloomInnerIntensity = 1.25f,
                                           .bloomMidIntensity = 1.0f,
                                           .bloomOuterIntensity = 0.75f,
                                           .bloomOutermostIntensity = 0.5f,
                                           .bloomLodOffset = 0.5f,
                                           .bloomSmoothingPasses = 2,
                                           .colorBalance = Vector3{1.0f, 1.0f, 1.0f},
                                           .saturation = 2.0f,
                                           .whitening = 1.0f,
                                           .saturationMultiplier1 = 2.0f,
                                           .saturationMultiplier2 = 2.0f,
                                           .saturationPower = 8.0f,
                                           .tonemapGamma = 1.0f,
                                           .tonemapExposure = 0.7f,
                                           .lightingBlurRadius = 1.0f};
    return grade;
}

const PostProcessingGrade& CreditsGrade()
{
    static const PostProcessingGrade grade{.bloomThreshold = Vector3{1.1f, 1.1f, 1.1f},
                                           .bloomIntensity = 0.5f,
                                           .bloomHorizontalRadius = 1.2f,
                                           .bloomVerticalRadius = 1.0f,
                                           .bloomInnerIntensity = 1.1f,
                                           .bloomMidIntensity = 0.7f,
                                           .bloomOuterIntensity = 1.2f,
                                           .bloomOutermostIntensity = 1.0f,
                                           .bloomLodOffset = 1.0f,
                                           .bloomSmoothingPasses = 2,
                                           .colorBalance = Vector3{1.5f, 1.76f, 1.75f},
                                           .saturation = 1.11f,
                                           .whitening = 1.0f,
                                           .saturationMultiplier1 = 1.85f,
                                           .saturationMultiplier2 = 1.99f,
                                           .saturationPower = 8.0f,
                                           .tonemapGamma = 1.1f,
                                           .tonemapExposure = 0.7f,
                                           .lightingBlurRadius = 1.0f};
    return grade;
}

void WritePostProcessingGrade(const PostProcessingGrade& grade)
{
    if (gGraphics == nullptr)
        return;
    // A copy of the list: the walk must not depend on the chain staying put.
    std::vector<PostProcessingEffect*> effects;
    for (const auto& effect : gGraphics->GetEffects())
        effects.push_back(effect.get());
    for (PostProcessingEffect* effect : effects)
        WriteEffect(effect, grade);
}

void ResetPostProcessingDefaults()
{
    WritePostProcessingGrade(MatchGrade());
}
