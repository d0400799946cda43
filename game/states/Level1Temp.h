#pragma once
#include "DevLevelSupport.h"
#include "GameState.h"
#include "Math.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class SpriteField;

// Rendering and physics test scenes on the number keys: 1 a pile of 51 falling boxes, 2 a box sliding
// off, 3 ten released boxes under a turning camera, 4 a field of 50,000 sprites drawn straight through
// the renderer; 5 goes to the physics test state, Escape quits. Scenes are built once per run and only
// reset afterwards; the objects they keep are ids, used only while still live.
class Level1Temp : public GameState
{
  public:
    static constexpr std::size_t kSceneOneCount = 51;
    static constexpr std::size_t kSceneThreeCount = 10;
    static constexpr const char* kPrefabName = "PhysicsObject";
    static constexpr const char* kSaveName = "test";

    Level1Temp();
    ~Level1Temp() override;

    // Makes the colour textures and "Textured", registers "PhysicsObject" and builds scene 1 once.
    void Load() override;
    void Init() override;
    // Moves the camera, submits the sprite field while it is on and reads the keys.
    void Update(float dt) override;
    // Saves the running level as "test".
    void Exit() override;
    // The level's objects go with the switch: forgets their ids.
    void Unload() override;

    // Forgets everything the run kept (built scenes, ids, camera, field): a fresh run, for tests.
    void ResetRun();

    const std::vector<std::uint32_t>& SceneOneIds() const { return sceneOneIds; }
    const std::vector<std::uint32_t>& SceneThreeIds() const { return sceneThreeIds; }
    std::uint32_t SceneTwoBoxId() const { return sceneTwoBoxId; }
    bool IsSpinning() const { return spinOn; }
    float CameraAngle() const { return cameraAngle; }
    bool IsFieldOn() const { return fieldOn; }
    // The sprite field once scene 4 was built, else null.
    const SpriteField* Field() const { return field.get(); }

  private:
    void MakeTextures();
    void RegisterPhysicsObject();
    void BuildOrResetSceneOne(bool reset);
    void ChooseSceneTwo();
    void ChooseSceneThree();
    void ChooseSceneFour();
    void ReadKeys();

    Vector3 cameraTarget{0.0f, 0.0f, 1.0f};
    bool spinOn = false;
    float cameraAngle = 0.0f;
    bool fieldOn = false;
    std::array<bool, 4> built{};
    std::vector<std::uint32_t> sceneOneIds;
    std::uint32_t sceneTwoBoxId = 0;
    std::vector<std::uint32_t> sceneThreeIds;
    std::unique_ptr<SpriteField> field;
    MainWindowWatch window;
};
