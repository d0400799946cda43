#pragma once
#include "BehaviorInput.h"
#include "Script.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class GameObject;

// The script of a menu object: the ordered list of its buttons, which one is selected, and the keys and
// stick that move the selection and press it while the menu is on top of the menu stack.
class MenuScript : public Script
{
  public:
    static constexpr const char* kClassName = "MenuScript";
    static constexpr std::uint32_t kClassVersion = 1;
    // Seconds of input ignored after activation, counted down at twice the frame time.
    static constexpr float kInputDelay = 0.1f;

    // Binding slots: 0 Up, 1 Down, 2 Left, 3 Right, 6 Return / controller A.
    enum Binding : int
    {
        bindUp = 0,
        bindDown = 1,
        bindLeft = 2,
        bindRight = 3,
        bindPress = 6,
    };

    // Inactive with the navigation bindings set; the first construction stores the class prototype.
    explicit MenuScript(std::string name = kClassName);

    // Same name, button list and input delay; fresh bindings, no selection, no last frame time.
    std::unique_ptr<Script> Clone() const override;
    // Moves, presses and keeps the selected button's look while active (see the source for the order).
    void Update(float dt) override;
    // The level file records only that the object has the script.
    void Save(LevelOArchive& archive) const override { (void)archive; }
    std::uint32_t GetVersion() const override { return kClassVersion; }

    // Shows the buttons and the menu and selects the first button; false deactivates.
    void Activate(bool on);
    // Runs the buttons' deselect actions, hides them and the menu, and drops the selection.
    void Deactivate();
    // Lists a button, completing an existing object or making one from the button prefab. Indices of 0 are
    // not stored in a new button. May create objects: not during an object walk.
    void AddButton(const std::string& name, std::string texture, std::uint32_t press, std::uint32_t select,
                   std::uint32_t deselect);
    // The first live button (tag 9) of that name, or null.
    static GameObject* FindButton(const std::string& name);

    const std::vector<std::string>& GetButtonNames() const { return buttonNames; }
    std::int32_t GetSelectedIndex() const { return selectedIndex; }
    bool IsActive() const { return active; }
    float GetInputDelay() const { return inputDelay; }
    float GetLastFrameTime() const { return lastFrameTime; }
    void SetLastFrameTime(float seconds) { lastFrameTime = seconds; }
    const BehaviorInput& GetBindings() const { return bindings; }

  private:
    MenuScript(const MenuScript& source);
    void SetUpBindings();
    // Counts the input delay down; true while input is still ignored.
    bool Waiting(float dt);
    std::int32_t LastIndex() const { return static_cast<std::int32_t>(buttonNames.size()) - 1; }

    BehaviorInput bindings;
    std::vector<std::string> buttonNames;
    std::int32_t selectedIndex = -1;
    bool active = false;
    float inputDelay = kInputDelay;
    float lastFrameTime = 0.0f;
};

// The live object of that name, or null; menus find their objects by name.
GameObject* FindMenuObject(const std::string& name);
// Sets the alpha of an object's sprite tint and text colour, each when present; null does nothing.
void SetObjectAlpha(GameObject* object, float alpha);
// Shows (alpha 1) or hides (alpha 0) a named decoration's sprite.
void SetSpriteAlpha(const std::string& name, float alpha);
