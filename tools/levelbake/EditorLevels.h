#pragma once

// The two editor levels, built into an empty world for the level baker: two players ("Left Player",
// "Right Player"), a ball and static blocks inside a 900 x 480 box. Editor_0 is painted with the first
// editor level's textures (made here first), Editor_2 only with the textures start-up registers.
void BuildEditor0Level();
void BuildEditor2Level();
