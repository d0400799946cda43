#include "MetaHooks.h"

std::function<void(LevelOArchive&, const Material&)> MetaHooks::saveMaterial;
std::function<void(LevelIArchive&, Material&)> MetaHooks::loadMaterial;
std::function<bool(Material&)> MetaHooks::editMaterial;
std::function<bool(const std::string&, std::string&)> MetaHooks::editTexture;
std::function<void(BehaviorInput&, std::uint32_t, const std::string&, std::uint32_t)> MetaHooks::editInput;
std::function<bool(const std::string&, std::string&)> MetaHooks::editBehavior;

void MetaHooks::Reset()
{
    saveMaterial = nullptr;
    loadMaterial = nullptr;
    editMaterial = nullptr;
    editTexture = nullptr;
    editInput = nullptr;
    editBehavior = nullptr;
}
