#pragma once
#include "TextureGenerators.h"

// The editor levels' ball: a lumpy purple rock, 64 x 64, lit from the top left, with a few darker
// craters, transparent around it.
TextureImage GeneratePurpleSpaceRock();
