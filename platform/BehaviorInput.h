#pragma once
#include "Component.h"
#include "InputBinding.h"
#include "Metadata.h"

#include <cstdint>
#include <memory>
#include <vector>

// Maps a game object's actions (up, down, left, right, jump, grab) to keys, buttons and axes, so that
// player and menu scripts ask for actions and serve the keyboard and either controller alike.
class BehaviorInput : public Component
{
  public:
    static constexpr const char* kClassName = "BehaviorInput";
    static constexpr std::uint32_t kClassVersion = 1;
    // Six actions and a seventh binding the menus carry along.
    static constexpr std::size_t kBindingCount = 7;
    // More bindings than any file needs: a larger count is a damaged file.
    static constexpr std::uint64_t kMaxLoadedBindings = 64;

    enum Action : int
    {
        actUp,
        actDown,
        actLeft,
        actRight,
        actJump,
        actGrab,
    };

    BehaviorInput();
    BehaviorInput(const BehaviorInput&) = default;
    BehaviorInput& operator=(const BehaviorInput&) = default;

    std::unique_ptr<Component> Clone() const override;
    // Reads the binding block into this instance and returns a clone.
    std::unique_ptr<Component> Load(LevelIArchive& archive) override;
    // Writes the binding count and the five values of every binding.
    void Save(LevelOArchive& archive) const override;
    // Draws one binding editor per action.
    void DrawEditor() override;
    std::uint32_t GetVersion() const override { return kClassVersion; }

    // Whether the action's key, button or axis side was newly pressed this frame.
    bool IsActionTriggered(int action) const;
    // Whether the action's key, button or axis side is held now.
    bool IsActionHeld(int action) const;

    // Binds a key to the action.
    void SetKey(int action, std::int32_t key);
    // Binds a controller button of a slot to the action.
    void SetButton(int action, std::int32_t button, std::int32_t controllerIndex);
    // Binds one side of a controller axis of a slot to the action.
    void SetAxis(int action, std::int32_t axis, std::int32_t controllerIndex, bool positive);

    // The binding of an action, or null when the loaded block has none for it.
    InputBinding* FindBinding(int action);
    const InputBinding* FindBinding(int action) const;
    const std::vector<InputBinding>& GetBindings() const { return bindings; }

    // The editor descriptors, one per action.
    static const DescriptorList<BehaviorInput>& Descriptors();

  private:
    std::vector<InputBinding> bindings;
};
