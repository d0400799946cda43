#include "Bloom.h"
#include "GraphicsTestFixture.h"
#include "PassTimer.h"
#include "SceneHelpers.h"

#include <algorithm>

// Switched on, a frame's passes come back timed in the order they ran, the bloom split into its steps;
// switched off, nothing is timed.
TEST_F(GraphicsTest, PassTimerTimesEveryPassOfAFrameInOrder)
{
    // A white sprite above a low threshold gives the bloom something to add.
    dynamic_cast<Bloom&>(*graphics->GetEffects().at(0)).threshold = Vector3(0.5f, 0.5f, 0.5f);
    Scene scene(*graphics);
    scene.Add(Graphics::dmBasic, {0, 0}, {200, 200}, {1.0f, 1.0f, 1.0f, 1.0f});
    scene.Run();

    PassTimer::SetEnabled(true);
    scene.Run(1);
    const std::vector<PassTimer::PassTime> passes = PassTimer::Collect();
    PassTimer::SetEnabled(false);

    std::vector<std::string> names;
    for (const PassTimer::PassTime& pass : passes)
    {
        names.push_back(pass.pass);
        EXPECT_GE(pass.milliseconds, 0.0) << pass.pass;
    }
    const std::vector<std::string> expected = {"window clear",    "batches",         "bloom",
                                               "bloom threshold", "bloom blur",      "bloom smoothing",
                                               "bloom composite", "present",         "debug"};
    EXPECT_EQ(names, expected);

    scene.Run(1);
    EXPECT_TRUE(PassTimer::Collect().empty());
}
