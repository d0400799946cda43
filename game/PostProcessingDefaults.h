#pragma once
#include "Math.h"

#include <cstdint>

// One look of the post-processing chain: the values a screen writes into its effects, by effect.
struct PostProcessingGrade
{
    Vector3 bloomThreshold;
    float bloomIntensity = 0.0f;
    float bloomHorizontalRadius = 0.0f;
    float bloomVerticalRadius = 0.0f;
    float bloomInnerIntensity = 0.0f;
    float bloomMidIntensity = 0.0f;
    float bloomOuterIntensity = 0.0f;
    float bloomOutermostIntensity = 0.0f;
    float bloomLodOffset = 0.0f;
    std::int32_t bloomSmoothingPasses = 0;
    Vector3 colorBalance;
    float saturation = 0.0f;
    float whitening = 0.0f;
    float saturationMultiplier1 = 0.0f;
    float saturationMultiplier2 = 0.0f;
    float saturationPower = 0.0f;
    float tonemapGamma = 0.0f;
    float tonemapExposure = 0.0f;
    float lightingBlurRadius = 0.0f;
};

// The match's look, which every screen after the credits keeps.
const PostProcessingGrade& MatchGrade();
// The credits' cooler, softer look.
const PostProcessingGrade& CreditsGrade();

// Writes the grade into every bloom, colour-balance, saturation, tone-mapping and lighting effect of the
// graphics system's chain; effects of other classes are left alone. Nothing happens without graphics.
void WritePostProcessingGrade(const PostProcessingGrade& grade);
// Writes the match's look into the chain.
void ResetPostProcessingDefaults();
