#pragma once
#include "Material.h"

#include "ArchiveFwd.h"

// Writes a whole material as the sequence of elements of a material field.
void SaveMaterialBlock(LevelOArchive& archive, const Material& material);
// Reads a material block: the inputs come from the shader's current layout, values copied by name and
// type. Throws LevelFormatError for a malformed block or one that would write out of bounds or name no
// GL state.
Material LoadMaterialBlock(LevelIArchive& archive);
