#include "CreditsGradeReadBack.h"

#include "Graphics.h"
#include "PostProcessingDefaults.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
using namespace credits_test;

// A bloom of a class of its own: it takes the bloom values.
class TestOnlyEffect : public Bloom
{
  public:
    TestOnlyEffect() : Bloom(1, nullptr, nullptr, nullptr) {}
};

// An effect of a class the grades do not know; it must come through untouched.
class UnknownEffect : public PostProcessingEffect
{
  public:
    UnknownEffect() : PostProcessingEffect(1) {}
    void Apply(Camera&) override {}
    float strength = 3.5f;
};

class GradeTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        graphics = std::make_unique<Graphics>();
        AddShaderlessChain(*graphics);
        graphics->GetEffects().push_back(std::make_unique<UnknownEffect>());
    }

    std::unique_ptr<Graphics> graphics;
};
} // namespace

TEST_F(GradeTest, CreditsAndMatchColumnsReadBackByNameAndOnlyTwoFieldsLeaveTheStartUpLook)
{
    const FieldValues startUp = ReadChain(*graphics);
    ASSERT_EQ(startUp.size(), 18u) << "every saved field of the four effects";

    WritePostProcessingGrade(CreditsGrade());
    ExpectColumn(ReadChain(*graphics), CreditsColumn(), "credits");

    ResetPostProcessingDefaults();
    const FieldValues match = ReadChain(*graphics);
    ExpectColumn(match, MatchColumn(), "match");

    std::vector<std::string> changed;
    for (const auto& [name, values] : match)
        if (startUp.at(name) != values)
            changed.push_back(name);
    EXPECT_EQ(changed, (std::vector<std::string>{"Bloom.Threshold", "Saturation.Multiplier1"}));

    const auto* unknown = dynamic_cast<UnknownEffect*>(graphics->GetEffects().back().get());
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->strength, 3.5f);
}

TEST_F(GradeTest, ASubclassTakesItsBaseClassValuesAndNoGraphicsIsHarmless)
{
    graphics->GetEffects().push_back(std::make_unique<TestOnlyEffect>());
    WritePostProcessingGrade(CreditsGrade());
    const auto* derived = dynamic_cast<TestOnlyEffect*>(graphics->GetEffects().back().get());
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->intensity, 0.5f);
    EXPECT_EQ(derived->threshold, Vector3(1.1f, 1.1f, 1.1f));

    graphics.reset();
    ResetPostProcessingDefaults();
    WritePostProcessingGrade(CreditsGrade());
}
