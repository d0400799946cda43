#pragma once
#include "TextureGenerators.h"

// The menus' pictures, all 8-bit RGBA.

// 1920 x 1080, opaque: navy shading to violet-black, seeded stars and a ringed planet (also the match's).
TextureImage GenerateBG1();
// 250 x 100: grey centre (110, 110, 130), a 6-pixel white rim and transparent rounded corners.
TextureImage GenerateMenuButtonBase();
// 1024 x 256: "GLIMMOCK", the left half's letters orange and the right half's blue.
TextureImage GenerateMenuLogo();
// 512 x 512: a rounded frame over a dark translucent fill.
TextureImage GenerateMenuBorder();
// 1024 x 64: a bar shading from orange to blue.
TextureImage GenerateMenuBorderDetail();
// 256 x 256: a dark translucent rounded panel.
TextureImage GenerateMenuPanel();
// 4 x 4 of (8, 8, 16, 200).
TextureImage GenerateMenuBackdrop();
// 1024 x 576: both players' keys, the controller and the two shortcuts.
TextureImage GenerateControlsCard();
// 1024 x 512: "ORANGE WINS!" and "BLUE WINS!".
TextureImage GenerateVictoryOrange();
TextureImage GenerateVictoryBlue();
