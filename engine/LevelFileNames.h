#pragma once

// Element names of level files. Some spellings differ between blocks on purpose: files rely on them.
namespace LevelElements
{
inline constexpr const char* kVersioned = "Versioned";
inline constexpr const char* kModuleNames = "Module_Names";

inline constexpr const char* kLastObjectId = "LastGameObjectId";
inline constexpr const char* kObjectListSize = "ObjectList_Size";
inline constexpr const char* kPrefabListSize = "PrefabList_Size";
inline constexpr const char* kPrefabName = "Prefab_Name";
inline constexpr const char* kFreeIds = "openSlots";
inline constexpr const char* kDestroyList = "destroyList";
// The family list of an object record.
inline constexpr const char* kChildren = "Children";

inline constexpr const char* kComponentPrefabsSize = "PreFab_Vector_Size";
inline constexpr const char* kComponentPrefabName = "PreFab_Name";
inline constexpr const char* kComponentPrefabMapSize = "PreFab_Map_Size";
inline constexpr const char* kComponentPrefabId = "PreFabComponent_ID";
inline constexpr const char* kComponentOuterSize = "Components_List_Outer_Size";
inline constexpr const char* kComponentObjectId = "ComponentObject_ID";
inline constexpr const char* kComponentInnerSize = "Components_List_Inner_Size";
inline constexpr const char* kComponentId = "Component_ID";

inline constexpr const char* kScriptPrefabsSize = "SPreFab_Vector_Size";
inline constexpr const char* kScriptPrefabName = "SPreFab_Name";
inline constexpr const char* kScriptPrefabMapSize = "SPreFab_Map_Size";
inline constexpr const char* kScriptPrefabId = "SPreFabScript_ID";
inline constexpr const char* kScriptOuterSize = "Scripts_List_Outer_Size";
inline constexpr const char* kScriptObjectId = "ScriptObject_ID";
inline constexpr const char* kScriptInnerSize = "Scripts_List_Inner_Size";
inline constexpr const char* kScriptId = "Script_ID";

inline constexpr const char* kContextsSize = "CMDContexts_Size";
inline constexpr const char* kContextName = "CommandContext_Name";
inline constexpr const char* kContextSize = "CommandContext_Size";
inline constexpr const char* kContextTag = "CommandContext_Tag";
inline constexpr const char* kSetsSize = "BehaviorSets_Size";
inline constexpr const char* kSetName = "BehaviorSet_Name";
inline constexpr const char* kSetInitState = "BehaviorSet_InitState";
inline constexpr const char* kSetSize = "BehaviorSet_Size";
inline constexpr const char* kBehaviorTag = "Behavior_Tag";
inline constexpr const char* kBehaviorName = "Behavior_Name";

inline constexpr const char* kBackgroundVersion = "Version_Number";
inline constexpr const char* kBackgroundTexture = "BackGround";

inline constexpr const char* kTagsSize = "Tags_size";
inline constexpr const char* kTags = "Tags";
inline constexpr const char* kObjectsSize = "Objects_size";
inline constexpr const char* kComponentsSize = "Components_size";
inline constexpr const char* kScriptsSize = "Scripts_size";
} // namespace LevelElements
