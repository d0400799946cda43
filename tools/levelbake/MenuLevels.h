#pragma once

// The build functions of the menu screens' levels (targets of the level baker).
void BuildMainMenuLevel();
void BuildVictoryOrangeLevel();
void BuildVictoryBlueLevel();
