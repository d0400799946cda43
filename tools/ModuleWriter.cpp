#include "ModuleWriter.h"

#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelArchive.h"
#include "LevelFileNames.h"
#include "LevelPaths.h"
#include "LevelRecords.h"
#include "ModuleFile.h"
#include "Registries.h"
#include "SafeFileWriter.h"

#include <boost/archive/xml_oarchive.hpp>

#include <iostream>
#include <stdexcept>

using namespace LevelElements;

namespace
{
// A family of its own, so a loaded module object points at no object of the level it came from.
const std::vector<std::uint32_t> kDetachedFamily = {0};

void WriteModuleObject(LevelOArchive& ar, const GameObject& object, bool versioned)
{
    WriteObjectRecord(ar, object, kDetachedFamily);
    const auto components = ComponentRegistry().find(object.id);
    std::vector<const Component*> present;
    if (components != ComponentRegistry().end())
    {
        for (const auto& [typeId, component] : components->second)
        {
            if (component)
                present.push_back(component.get());
        }
    }
    WriteField(ar, kComponentsSize, static_cast<std::uint32_t>(present.size()));
    for (const Component* component : present)
        WriteComponentRecord(ar, component, 0, versioned);

    const auto scripts = ScriptRegistry().find(object.id);
    std::vector<const Script*> presentScripts;
    if (scripts != ScriptRegistry().end())
    {
        for (const auto& [typeId, script] : scripts->second)
        {
            if (script)
                presentScripts.push_back(script.get());
        }
    }
    WriteField(ar, kScriptsSize, static_cast<std::uint32_t>(presentScripts.size()));
    for (const Script* script : presentScripts)
        WriteScriptRecord(ar, script, 0, versioned);
}
} // namespace

void SaveModuleTo(std::ostream& out, const std::vector<std::uint32_t>& tags,
                  const std::vector<std::vector<std::uint32_t>>& groups, bool versioned)
{
    const GameObjectFactory& factory = RequireFactory();
    if (tags.size() < groups.size())
        throw std::invalid_argument("every group needs a tag");
    boost::archive::xml_oarchive ar(out);
    if (versioned)
        WriteField(ar, kVersioned, true);
    WriteField(ar, kTagsSize, static_cast<std::uint32_t>(groups.size()));
    WriteVector(ar, kTags, tags);
    for (const std::vector<std::uint32_t>& group : groups)
    {
        WriteField(ar, kObjectsSize, static_cast<std::uint32_t>(group.size()));
        for (std::uint32_t id : group)
        {
            const GameObject* object = factory.GetObject(id);
            if (object == nullptr)
                throw std::invalid_argument("no object " + std::to_string(id) + " to write");
            WriteModuleObject(ar, *object, versioned);
        }
    }
}

bool SaveModule(const std::string& name, const std::vector<std::uint32_t>& tags,
                const std::vector<std::vector<std::uint32_t>>& groups, bool versioned)
{
    if (IsSkippedFileName(name))
        return false;
    const std::string path = LevelFilePath(kModuleFolder, name);
    const auto write = [&](std::ostream& out) { SaveModuleTo(out, tags, groups, versioned); };
    const auto check = [&path, versioned](const std::string& bytes) { StageModule(bytes, versioned, path); };
    const std::string fault = WriteFileChecked(path, write, check);
    if (fault.empty())
        return true;
    std::cout << "ERROR: module " << name << " not saved: " << fault << "\n";
    return false;
}
