#pragma once
#include "TextureGenerators.h"

// The match's sprites. Every one is drawn from fixed seeds, so a regeneration gives the same pixels.

// An astronaut facing +x, 80 x 144: white suit, visor at +x, backpack at -x, accents in the team colour,
// transparent around. All four share one silhouette (one alpha mask).
TextureImage GenerateAstronautOrange();   // "Human1.1"
TextureImage GenerateAstronautBlue();     // "Human2.1"
TextureImage GenerateAstronautRed();      // "Astronaut_red_side"
TextureImage GenerateAstronautDeepBlue(); // "Astronaut_blue_side"

// The ball, 64 x 64: a violet orb with a near-white core, alpha 0 at the rim.
TextureImage GenerateBalls();

// Goals, 64 x 160: bright posts and bars round a fill of alpha about 0.3.
TextureImage GenerateGoalOrange();
TextureImage GenerateGoalBlue();

// Tan moon rock with a light top lip: the floor (1920 x 40) and the pedestal (100 x 80).
TextureImage GenerateFloorRock();
TextureImage GeneratePedestalRock();
TextureImage GenerateFloorRockLedge();
TextureImage GenerateFloorRockIsland();

// Bevelled metal pads: grey (100 x 20), the team pads (80 x 20) and the hover pad (100 x 20) with a
// glowing strip.
TextureImage GeneratePlatformMetal();
TextureImage GeneratePlatformOrange();
TextureImage GeneratePlatformBlue();
TextureImage GeneratePlatformHover();

// Dark steel panels, 200 x 460, the same mirrored left to right (a loaded sprite loses its flip).
TextureImage GenerateWallSteel();

// Molten orange-red veins, 128 x 32, opaque.
TextureImage GenerateLava();

// The HUD's dark translucent rounded panel (128 x 64) and its white soft pip (64 x 64), which the HUD
// tints.
TextureImage GenerateHudPanel();
TextureImage GenerateHudPip();
