#pragma once

// Points the GL calls of the texture manager at stand-ins that only hand out texture names, so that a
// process without a window keeps a real texture registry ("Default", "WhitePixel" and named textures).
// Nothing is stored or drawn. Call it before TextureManager::Init; later calls change nothing.
void InstallHeadlessTextures();
