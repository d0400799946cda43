#include "MenuLevels.h"

#include "Font.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "LevelBaker.h"
#include "MenuSystem.h"
#include "Renderer.h"
#include "TextRenderer.h"
#include "TextureManager.h"
#include "Transform.h"
#include "TypeIds.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace
{
constexpr const char* kPanelTexture = "MenuPanel";
constexpr const char* kBackground = "BG1";
constexpr int kBackdropOrder = 4000;
constexpr int kPanelOrder = 4100;
constexpr int kButtonOrder = 4200;
constexpr int kControlsOrder = 4300;
constexpr float kLabelSize = 26.0f;
constexpr float kDialogSize = 22.0f;
constexpr float kDialogWidth = 600.0f;
constexpr float kDialogMargin = 30.0f;
constexpr float kButtonGap = 55.0f;
constexpr float kPauseButtonGap = 50.0f;

struct ButtonPlace
{
    const char* name;
    std::vector<std::string> labels;
};

void Place(GameObject& object, const Vector2& position, const Vector2& size)
{
    if (auto* transform = object.GetComponentAs<Transform>(ComponentTypeId::kTransform))
    {
        transform->SetTranslation(Vector3{position.x, position.y, transform->GetTranslation().z});
        transform->SetScale(Vector3{size.x, size.y, 1.0f});
    }
}

GameObject& Named(const std::string& name)
{
    GameObject* object = gGameObjectFactory->GetObjectByName(name);
    if (object == nullptr)
        throw std::runtime_error("the menu builders made no object named " + name);
    return *object;
}

void SetOrder(GameObject& object, int order)
{
    if (Renderer* sprite = GetRenderer(object))
        sprite->material.SetOrder(order);
}

// Gives a menu object a panel sprite, places it and labels it with its title near the panel's top.
void AddPanel(const std::string& menu, const Vector2& position, const Vector2& size,
              const std::vector<std::string>& labels, float labelSize, float labelY)
{
    GameObject& object = Named(menu);
    Place(object, position, size);
    Renderer panel;
    panel.SetUInt("texture", &TextureManager::GetTexture(kPanelTexture));
    panel.material.SetOrder(kPanelOrder);
    panel.tint.w = 0.0f;
    object.AddComponent(panel);
    AddLabel(object, labels, labelSize, Vector2{0.0f, labelY});
}

// Places a column of buttons from y = top downward, each one gap below the one before.
void PlaceButtons(const std::vector<ButtonPlace>& buttons, float top, const Vector2& size, float gap)
{
    float y = top;
    for (const ButtonPlace& button : buttons)
    {
        GameObject& object = Named(button.name);
        Place(object, Vector2{0.0f, y}, size);
        SetOrder(object, kButtonOrder);
        AddLabel(object, button.labels, kLabelSize);
        y -= gap;
    }
}

void HideText(const std::string& name)
{
    GameObject& object = Named(name);
    if (TextRenderer* text = GetTextRenderer(object))
    {
        Vector4 tint = text->GetTint();
        tint.w = 0.0f;
        text->SetTint(tint);
    }
}
} // namespace

void AddMenuKit()
{
    gMenuSystem->RunMenuBuilders();

    Named(MenuSystem::kMainMenu);
    PlaceButtons({{"MM_Play_Button", {"Play"}},
                  {"MM_Controls_Button", {"Controls"}},
                  {"MM_Settings_Button", {"Settings"}},
                  {"MM_Credits_Button", {"Credits"}},
                  {"MM_Quit_Button", {"Quit"}}},
                 55.0f, Vector2{220.0f, 44.0f}, kButtonGap);

    AddPanel(MenuSystem::kSettingsMenu, Vector2{0.0f, -5.0f}, Vector2{340.0f, 300.0f}, {"Settings"}, kLabelSize,
             116.0f);
    PlaceButtons({{"Settings_FullScreen_Button", {"Full Screen: Off", "Full Screen: On"}},
                  {"Settings_Music_Button", {"Music: On", "Music: Off"}},
                  {"Settings_SFX_Button", {"SFX: On", "SFX: Off"}},
                  {"Settings_Back_Button", {"Back"}}},
                 55.0f, Vector2{280.0f, 44.0f}, kButtonGap);

    // The match's HUD holds the top band of the view, and its clock shows through the open panel (all text
    // draws above the menus): the pause menu sits below it, its buttons closer together.
    AddPanel(MenuSystem::kPauseMenu, Vector2{0.0f, -25.0f}, Vector2{300.0f, 420.0f}, {"Paused"}, kLabelSize,
             185.0f);
    PlaceButtons({{"Resume Button", {"Resume"}},
                  {"Restart_Button", {"Restart"}},
                  {"Controls_Button", {"Controls"}},
                  {"Options_Button", {"Options"}},
                  {"Credits_Button", {"Credits"}},
                  {"Quit Button", {"Main Menu"}},
                  {"QuitGame_Button", {"Quit Game"}}},
                 120.0f, Vector2{220.0f, 40.0f}, kPauseButtonGap);

    GameObject& returnButton = Named("Return_Button");
    Place(returnButton, Vector2{0.0f, -205.0f}, Vector2{200.0f, 40.0f});
    SetOrder(returnButton, kButtonOrder);
    AddLabel(returnButton, {"Return"}, kLabelSize);

    const std::vector<std::string> questions{
        "Are you sure you want to quit?", "Are you sure you want to return to the main menu?",
        "Are you sure you want to restart the game?", "Are you sure you want to view the credits?"};
    // Wide enough for the longest question with a margin each side.
    float dialogWidth = kDialogWidth;
    for (const std::string& question : questions)
        dialogWidth = std::max(dialogWidth, std::ceil(MeasureText(question, kDialogSize).x) + 2.0f * kDialogMargin);
    AddPanel(MenuSystem::kDialogName, Vector2{0.0f, 0.0f}, Vector2{dialogWidth, 220.0f}, questions, kDialogSize,
             40.0f);
    for (const auto& [name, x, label] : {std::tuple{"No Button", -100.0f, "No"}, std::tuple{"Yes Button", 100.0f, "Yes"}})
    {
        GameObject& button = Named(name);
        Place(button, Vector2{x, -50.0f}, Vector2{150.0f, 44.0f});
        SetOrder(button, kButtonOrder);
        AddLabel(button, {label}, kLabelSize);
    }

    // Every menu and button starts hidden; the menu system shows the top menu.
    for (GameObject* object : gGameObjectFactory->GetObjectsWithTag(kTagMenuButton))
        HideText(object->name);
    for (GameObject* object : gGameObjectFactory->GetObjectsWithTag(kTagMenu))
        if (GetTextRenderer(*object) != nullptr)
            HideText(object->name);

    GameObject* controls =
        AddSprite("Controls", "ControlsCard", Vector2{0.0f, 35.0f}, Vector2{720.0f, 405.0f}, kControlsOrder);
    GetRenderer(*controls)->tint.w = 0.0f;
    GameObject* backdrop =
        AddSprite("ControlsBG", "MenuBackdrop", Vector2{0.0f, 0.0f}, Vector2{4000.0f, 2000.0f}, kBackdropOrder);
    GetRenderer(*backdrop)->tint.w = 0.0f;
}

void BuildMainMenuLevel()
{
    AddMenuKit();
    AddSprite("MM_Border", "MenuBorder", Vector2{0.0f, -55.0f}, Vector2{300.0f, 300.0f}, 3000);
    AddSprite("MM_Border_Detail", "MenuBorderDetail", Vector2{0.0f, 96.0f}, Vector2{512.0f, 32.0f}, 3010);
    AddSprite("MM_Logo", "MenuLogo", Vector2{0.0f, 165.0f}, Vector2{480.0f, 120.0f}, 3020);
    SetBakeBackground(kBackground, Vector4{1.0f, 1.0f, 1.0f, 1.0f});
}

namespace
{
void BuildVictoryLevel(const char* banner, const Vector4& backgroundTint)
{
    AddMenuKit();
    AddSprite("Victory_Banner", banner, Vector2{0.0f, 80.0f}, Vector2{640.0f, 320.0f}, 3000);
    GameObject* hint = gGameObjectFactory->CreateObject();
    hint->SetName("Victory_Hint");
    Place(*hint, Vector2{0.0f, -170.0f}, Vector2{1.0f, 1.0f});
    AddLabel(*hint, {"Press any key for the credits - Esc for the main menu"}, kLabelSize);
    SetBakeBackground(kBackground, backgroundTint);
}
} // namespace

void BuildVictoryOrangeLevel()
{
    BuildVictoryLevel("VictoryOrange", Vector4{1.0f, 0.8f, 0.6f, 1.0f});
}

void BuildVictoryBlueLevel()
{
    BuildVictoryLevel("VictoryBlue", Vector4{0.65f, 0.8f, 1.0f, 1.0f});
}
