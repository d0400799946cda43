#include "ColorEffects.h"
#include "DrawingFixture.h"
#include "Light.h"
#include "RenderStats.h"
#include "Renderer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

class EffectSkipping : public DrawingTest
{
  protected:
    FrameResult Draw(bool skipping)
    {
        graphics->skipPassThroughEffects = skipping;
        return DrawFrames();
    }
};

// Colour balance (1, 1, 1), saturation (1, 0, 1, 1), lighting without lights and a bloom with nothing
// above its threshold each hand the image on untouched; skipping them must not change a pixel, and the
// effects that do change it still run.
TEST_F(EffectSkipping, EffectsThatPassTheImageThroughAreSkippedWithoutChangingIt)
{
    if (!ready)
        return;
    Settle();
    MakeSprite(-250, 100, 200, 150, Vector4(0.9f, 0.3f, 0.2f, 1.0f));
    MakeSprite(150, -50, 300, 120, Vector4(0.2f, 0.6f, 0.9f, 0.7f), "WhitePixel", 0.5f);
    Renderer& bright = *GetRenderer(MakeSprite(300, 150, 80, 80, Vector4(1.0f, 1.0f, 1.0f, 1.0f)));
    Saturation& saturation = Effect<Saturation>();
    saturation.saturation = 1.0f;
    saturation.whitening = 0.0f;
    saturation.multiplier1 = 1.0f;
    saturation.multiplier2 = 1.0f;

    struct Case
    {
        const char* name;
        Vector4 brightTint; // above 1, the bloom has something to add
        bool lit;
        std::uint64_t fewestDrawsSaved;
    };
    const Case cases[] = {
        // All four skipped: the bloom saves all but its threshold quad (10 + 8 + 2), the others 1 each.
        {"dim and unlit", Vector4(0.5f, 0.5f, 0.5f, 1.0f), false, 23},
        // Lighting and bloom change the image and run; colour balance and saturation are still skipped.
        {"bright and lit", Vector4(4.0f, 3.0f, 2.0f, 1.0f), true, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        bright.tint = c.brightTint;
        if (c.lit)
        {
            Light light;
            light.size = Vector2(600.0f, 600.0f);
            light.intensity = 2.0f;
            MakeObject(-100, 0).AddComponent(light);
        }

        const FrameResult full = Draw(false);
        const FrameResult skipped = Draw(true);

        EXPECT_LE(LargestDifference(full.image, skipped.image), 1.0f / 1024.0f);
        EXPECT_GE(full.drawCalls, skipped.drawCalls + c.fewestDrawsSaved);
        // The comparison saw real pixels, not a black frame.
        EXPECT_GT(*std::max_element(skipped.image.begin(), skipped.image.end()), 0.1f);
    }
}
