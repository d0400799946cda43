#include "MenuScript.h"

#include "CCSM.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "MenuButtonState.h"
#include "MenuSystem.h"
#include "Prototypes.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <SDL_keycode.h>

namespace
{
constexpr const char* kButtonPrefab = "Menu Button Prefab";
constexpr const char* kButtonBehavior = "Button Behavior";
constexpr const char* kControlsMenu = "Controls Menu";
constexpr const char* kControlsPicture = "Controls";
constexpr const char* kControlsBackground = "ControlsBG";
constexpr const char* kTextureInput = "texture";
constexpr std::int32_t kStickY = 1;
constexpr std::int32_t kButtonA = 0;
// A loaded button this small on an axis was saved without a real size.
constexpr float kDegenerateScale = 1.0f;
constexpr Vector3 kRepairedScale{250.0f, 100.0f, 1.0f};
constexpr Vector3 kFirstButtonPosition{0.0f, 100.0f, 1.0f};
constexpr float kButtonSpacing = 100.0f;

Transform* TransformOf(const GameObject* object)
{
    return object->GetComponentAs<Transform>(ComponentTypeId::kTransform);
}

CCSM* MachineOf(const GameObject* object)
{
    return object->GetComponentAs<CCSM>(ComponentTypeId::kCCSM);
}


void RunAction(std::uint32_t action, GameObject* button)
{
    if (gMenuSystem != nullptr && button != nullptr)
        gMenuSystem->RunAction(action, button);
}
} // namespace

GameObject* FindMenuObject(const std::string& name)
{
    return gGameObjectFactory != nullptr ? gGameObjectFactory->GetObjectByName(name) : nullptr;
}

void SetObjectAlpha(GameObject* object, float alpha)
{
    if (object == nullptr)
        return;
    if (Renderer* sprite = GetRenderer(*object))
        sprite->tint.w = alpha;
    if (TextRenderer* text = GetTextRenderer(*object))
    {
        Vector4 tint = text->GetTint();
        tint.w = alpha;
        text->SetTint(tint);
    }
}

void SetSpriteAlpha(const std::string& name, float alpha)
{
    if (GameObject* object = FindMenuObject(name))
        if (Renderer* sprite = GetRenderer(*object))
            sprite->tint.w = alpha;
}

MenuScript::MenuScript(std::string name) : Script(std::move(name), ScriptTypeId::kMenuScript)
{
    SetUpBindings();
    RegisterScriptPrototype(*this);
}

MenuScript::MenuScript(const MenuScript& source)
    : Script(source), buttonNames(source.buttonNames), inputDelay(source.inputDelay)
{
    SetUpBindings();
}

std::unique_ptr<Script> MenuScript::Clone() const
{
    return std::unique_ptr<Script>(new MenuScript(*this));
}

void MenuScript::SetUpBindings()
{
    bindings = BehaviorInput();
    bindings.SetKey(bindUp, SDLK_UP);
    bindings.SetAxis(bindUp, kStickY, 0, false);
    bindings.SetKey(bindDown, SDLK_DOWN);
    bindings.SetAxis(bindDown, kStickY, 0, true);
    bindings.SetKey(bindLeft, SDLK_LEFT);
    bindings.SetKey(bindRight, SDLK_RIGHT);
    bindings.SetKey(bindPress, SDLK_RETURN);
    bindings.SetButton(bindPress, kButtonA, 0);
}

bool MenuScript::Waiting(float dt)
{
    if (inputDelay <= 0.0f)
        return false;
    if (dt != 0.0f)
    {
        inputDelay -= 2.0f * dt;
        lastFrameTime = dt;
        return true;
    }
    // Paused (dt 0): the delay still runs out, on the last real frame time.
    if (lastFrameTime != 0.0f)
    {
        inputDelay -= 2.0f * lastFrameTime;
        return true;
    }
    return false;
}

void MenuScript::Update(float dt)
{
    if (selectedIndex < 0 || !active || Waiting(dt))
        return;
    if (buttonNames.empty())
        return;
    if (selectedIndex > LastIndex())
        selectedIndex = 0;

    // The button and its state are taken now: a press may deactivate this very script or open menus.
    GameObject* button = FindButton(buttonNames[selectedIndex]);
    MenuButtonState* state = ButtonStateOf(button);
    auto reselect = [&](std::int32_t index) {
        if (state != nullptr)
            RunAction(state->deselectAction, button);
        selectedIndex = index;
        button = FindButton(buttonNames[selectedIndex]);
        state = ButtonStateOf(button);
    };

    if (bindings.IsActionTriggered(bindUp) || bindings.IsActionTriggered(bindLeft))
    {
        MenuUpEvent up;
        EventManager::Dispatch(&up);
        if (selectedIndex > 0)
            reselect(selectedIndex - 1);
        else if (LastIndex() > 0)
            reselect(LastIndex());
    }
    else if (bindings.IsActionTriggered(bindRight) || bindings.IsActionTriggered(bindDown))
    {
        MenuDownEvent down;
        EventManager::Dispatch(&down);
        reselect(selectedIndex < LastIndex() ? selectedIndex + 1 : 0);
    }

    // A missing button or one without its state has no actions to run.
    if (state == nullptr)
        return;
    const std::uint32_t selectAction = state->selectAction;
    if (bindings.IsActionTriggered(bindPress))
    {
        MenuSelectEvent select;
        EventManager::Dispatch(&select);
        RunAction(state->pressAction, button);
    }
    RunAction(selectAction, button);
}

void MenuScript::Activate(bool on)
{
    if (!on)
    {
        Deactivate();
        return;
    }
    for (const std::string& name : buttonNames)
        SetObjectAlpha(FindButton(name), 1.0f);
    selectedIndex = 0;
    inputDelay = kInputDelay;
    active = true;
    GameObject* self = gGameObjectFactory != nullptr ? gGameObjectFactory->GetObject(owner) : nullptr;
    SetObjectAlpha(self, 1.0f);
    if (self != nullptr && self->name == kControlsMenu)
    {
        SetSpriteAlpha(kControlsPicture, 1.0f);
        SetSpriteAlpha(kControlsBackground, 1.0f);
    }
}

void MenuScript::Deactivate()
{
    for (const std::string& name : buttonNames)
    {
        GameObject* button = FindButton(name);
        if (button == nullptr)
            continue;
        if (MenuButtonState* state = ButtonStateOf(button))
            RunAction(state->deselectAction, button);
        SetObjectAlpha(button, 0.0f);
    }
    active = false;
    inputDelay = kInputDelay;
    selectedIndex = -1;
    GameObject* self = gGameObjectFactory != nullptr ? gGameObjectFactory->GetObject(owner) : nullptr;
    SetObjectAlpha(self, 0.0f);
    if (self != nullptr && self->name == kControlsMenu)
    {
        SetSpriteAlpha(kControlsPicture, 0.0f);
        SetSpriteAlpha(kControlsBackground, 0.0f);
    }
}

void MenuScript::AddButton(const std::string& name, std::string texture, std::uint32_t press,
                           std::uint32_t select, std::uint32_t deselect)
{
    if (gGameObjectFactory == nullptr)
        return;
    GameObject* button = FindMenuObject(name);
    if (button != nullptr)
    {
        CCSM* machine = MachineOf(button);
        Transform* transform = TransformOf(button);
        if (machine != nullptr)
        {
            // A machine without the button state first gets the buttons' behaviour.
            if (ButtonStateOf(button) == nullptr)
            {
                machine->SetBehavior(kButtonBehavior);
                if (machine->GetStateStack().empty() || machine->GetStateStack().back() != kStateMenuButtonMode)
                    machine->PushState(kStateMenuButtonMode);
            }
            if (MenuButtonState* state = ButtonStateOf(button))
            {
                state->selectAction = select;
                state->deselectAction = deselect;
                state->pressAction = press;
            }
        }
        if (transform != nullptr)
        {
            const Vector3 scale = transform->GetScale();
            if (scale.x <= kDegenerateScale || scale.y <= kDegenerateScale)
                transform->SetScale(Vector3{kRepairedScale.x, kRepairedScale.y, scale.z});
        }
        if (machine != nullptr && transform != nullptr)
        {
            buttonNames.push_back(name);
            return;
        }
    }

    button = gGameObjectFactory->CreateFromPrefab(kButtonPrefab);
    if (button == nullptr)
        return;
    button->SetName(name);
    if (Renderer* existing = GetRenderer(*button))
        existing->SetUInt(kTextureInput, &TextureManager::GetTexture(texture));
    else
    {
        Renderer sprite;
        sprite.SetUInt(kTextureInput, &TextureManager::GetTexture(texture));
        button->AddComponent(sprite);
    }
    if (MachineOf(button) == nullptr)
    {
        CCSM machine;
        button->AddComponent(machine);
    }
    CCSM* machine = MachineOf(button);
    machine->SetBehavior(kButtonBehavior);
    if (machine->GetStateStack().empty() || machine->GetStateStack().back() != kStateMenuButtonMode)
        machine->PushState(kStateMenuButtonMode);
    if (MenuButtonState* state = ButtonStateOf(button))
    {
        if (press != 0)
            state->pressAction = press;
        if (select != 0)
            state->selectAction = select;
        if (deselect != 0)
            state->deselectAction = deselect;
    }

    Transform* transform = TransformOf(button);
    if (!buttonNames.empty())
    {
        GameObject* previous = FindButton(buttonNames.back());
        Transform* previousTransform = previous != nullptr ? TransformOf(previous) : nullptr;
        if (previousTransform != nullptr && transform != nullptr)
        {
            Vector3 position = previousTransform->GetTranslation();
            position.y -= kButtonSpacing;
            transform->SetTranslation(position);
            Renderer* previousSprite = GetRenderer(*previous);
            Renderer* sprite = GetRenderer(*button);
            if (previousSprite != nullptr && sprite != nullptr)
            {
                sprite->material.SetOrder(previousSprite->material.GetOrder() + 1);
                sprite->material.needsRegistration = true;
            }
        }
    }
    else if (transform != nullptr)
        transform->SetTranslation(kFirstButtonPosition);
    buttonNames.push_back(name);
}

GameObject* MenuScript::FindButton(const std::string& name)
{
    if (gGameObjectFactory == nullptr)
        return nullptr;
    // A loaded button without a machine or a transform was given a working twin of the same name by
    // AddButton: the twin is the button, else the menu could never press it.
    GameObject* first = nullptr;
    for (GameObject* object : gGameObjectFactory->GetObjectsWithTag(kTagMenuButton))
    {
        if (object->name != name)
            continue;
        if (MachineOf(object) != nullptr && TransformOf(object) != nullptr)
            return object;
        if (first == nullptr)
            first = object;
    }
    return first;
}
