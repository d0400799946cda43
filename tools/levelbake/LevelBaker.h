#pragma once
#include "Math.h"

#include <string>
#include <vector>

class GameObject;

// The level baker: builds the game's XML levels in code inside a started game and writes them, so the
// committed files are reproducible. Each target builds one level into an emptied world.

// One level the baker writes: the file stem and the function that builds it into the empty world.
struct BakeTarget
{
    std::string name;
    void (*build)();
};

// Every target, in the order they are baked. Adding a level is one row here and its build function.
const std::vector<BakeTarget>& BakeTargets();
// The target of that name, or null.
const BakeTarget* FindBakeTarget(const std::string& name);

// Empties the running world for a bake: no objects (ids start again from 1), prefabs, behaviour tables,
// module names or open menus; unpaused; the background back to a plain, untimed white-tinted picture.
void ResetBakeWorld();
// Builds the target into an emptied world and writes "<outDir>/Levels/<name>.xml" through a checked file
// (the bytes are staged back before they replace the file). Returns an empty text, else what went wrong.
std::string BakeLevel(const BakeTarget& target, const std::string& outDir);

// The menus every screen shares: the five menus with their buttons from the menu builders, then their
// panels, labels, places, sizes and layer orders, and the controls picture with its backdrop (hidden).
void AddMenuKit();

// Helpers for build functions.
// A new object of that name and tag with a sprite of the texture, at a place and size, in a layer order.
GameObject* AddSprite(const std::string& name, const std::string& texture, const Vector2& position,
                      const Vector2& size, int order, std::uint32_t tag = 0);
// A white label on the object, the first of the labels it will show, centred on it by the glyph advances,
// in a box that fits the longest of them.
void AddLabel(GameObject& object, const std::vector<std::string>& labels, float size,
              const Vector2& offset = Vector2{});
// Sets the background picture and its tint; the day cycle stays off.
void SetBakeBackground(const std::string& texture, const Vector4& tint);
