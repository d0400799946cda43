#pragma once
#include "TextureGenerators.h"

// The credits column the credits screen scrolls: 1024 x 4091 (640 x 2557 world units at 1.6 pixels a
// unit) of centred, outlined lettering on transparency. The title sits in the lower half of the screen
// on the first frame and the closing line stays on screen through the fade, where the column stops.
TextureImage GenerateCredits();
