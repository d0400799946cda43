#pragma once
#include "FilePath.h"

// Hands a file dropped on the window to the system that imports it, chosen by its exact extension:
// "GUIDs.txt" and ".bank" to the sound system, ".png" to the texture manager; anything else, and any
// folder, is ignored.
void DropFile(const FilePathParts& parts);
