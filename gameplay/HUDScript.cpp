#include "HUDScript.h"

#include "Event.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "InputRecording.h"
#include "LevelArchive.h"
#include "ObjectAccess.h"
#include "QuietPrototype.h"
#include "Renderer.h"
#include "StatUtilities.h"
#include "TextRenderer.h"
#include "TextureManager.h"
#include "TimerScript.h"
#include "Transform.h"
#include "TypeIds.h"

#include <cmath>
#include <limits>
#include <string>

namespace
{
constexpr std::size_t kP1Score = 0;
constexpr std::size_t kP2Score = 1;
constexpr std::size_t kFirstMarker = 2;
constexpr std::size_t kTimer = 6;
constexpr Tag kTagHUD = 7;
constexpr std::int32_t kHUDOrder = 998;
constexpr float kHUDDepth = 0.1f;
// GL_RGBA: both the stored and the given pixel format of the colour textures.
constexpr std::uint32_t kFormatRGBA = 0x1908;

struct HUDColour
{
    const char* name;
    std::uint8_t rgba[4];
};

// "HUDGreen" is cyan on purpose: the finished-round markers were tuned with it.
constexpr HUDColour kHUDColours[] = {
    {"HUDGray", {75, 75, 75, 255}},    {"HUDWhite", {255, 255, 255, 255}}, {"HUDRed", {255, 0, 0, 255}},
    {"HUDBlue", {0, 0, 255, 255}},     {"HUDGreen", {0, 255, 255, 255}},   {"HUDpurple", {255, 0, 255, 255}},
    {"HUDyellow", {255, 255, 0, 255}},
};

void SetText(GameObject* object, const std::string& text)
{
    if (auto* renderer = object != nullptr
                             ? object->GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer)
                             : nullptr)
        renderer->SetText(text);
}

void Arrange(GameObject* object, const Vector3& at, const Vector3& scale)
{
    if (Transform* transform = TransformOf(object))
    {
        transform->SetTranslation(at);
        transform->SetScale(scale);
    }
}
} // namespace

HUDScript::HUDScript(std::uint32_t ownerId) : Script(kScriptName, ScriptTypeId::kHUDScript, ownerId)
{
    RegisterQuietPrototype(*this);
}

// Only the round scores travel with a copy; the copy binds its own objects later.
HUDScript::HUDScript(const HUDScript& source)
    : Script(source), p1RoundScore(source.p1RoundScore), p2RoundScore(source.p2RoundScore)
{
}

HUDScript::~HUDScript()
{
    Unsubscribe(evGoalScore);
}

std::unique_ptr<Script> HUDScript::Clone() const
{
    std::unique_ptr<HUDScript> copy(new HUDScript(*this));
    copy->Init();
    return copy;
}

void HUDScript::Init()
{
    // Before the texture manager runs there is no GL to make them with (the class prototype is made then).
    if (TextureManager::GetTextureCount() > 0)
    {
        for (const HUDColour& colour : kHUDColours)
            TextureManager::CreateTexture(colour.name, 1, 1, colour.rgba, kFormatRGBA);
    }
    Subscribe(evGoalScore);
}

void HUDScript::Exit()
{
    Unsubscribe(evGoalScore);
}

void HUDScript::Bind()
{
    bound = true;
    slots.fill(0);
    const std::vector<GameObject*> existing = gGameObjectFactory != nullptr
                                                  ? gGameObjectFactory->GetObjectsWithTag(kTagHUD)
                                                  : std::vector<GameObject*>{};
    if (existing.empty())
    {
        CreateSlots();
        return;
    }
    for (std::size_t i = 0; i < existing.size() && i < kSlotCount; ++i)
    {
        slots[i] = existing[i]->id;
        if (auto* text = existing[i]->GetComponentAs<TextRenderer>(ComponentTypeId::kTextRenderer))
            text->SetOrder(kTextOrder);
    }
}

void HUDScript::BindOnce()
{
    if (!bound && Live(owner) != nullptr)
        Bind();
}

void HUDScript::CreateSlots()
{
    if (gGameObjectFactory == nullptr)
        return;
    for (std::uint32_t& slot : slots)
    {
        GameObject* object = gGameObjectFactory->CreateObject();
        object->tag = kTagHUD;
        Renderer sprite;
        sprite.SetUInt("texture", &TextureManager::GetTexture("HUDWhite"));
        sprite.material.SetOrder(kHUDOrder);
        sprite.depth = kHUDDepth;
        object->AddComponent(sprite);
        slot = object->id;
    }
    for (std::size_t marker = 0; marker < kRoundsPerMatch; ++marker)
        Arrange(Live(slots[kFirstMarker + marker]),
                {-90.0f + 60.0f * static_cast<float>(marker), 220.0f, 1.0f}, {60.0f, 60.0f, 1.0f});

    GameObject* timer = Live(slots[kTimer]);
    GameStats stats;
    timer->AddComponent(stats);
    TimerScript clock(0, TimerScript::kDefaultRoundSeconds);
    timer->AddScript(clock);
    timer->SetName("timer");
    TintSlot(kTimer, 1.0f, 0.0f, 1.0f, 1.0f);
    Arrange(timer, {0.0f, 150.0f, 1.0f}, {120.0f, 30.0f, 1.0f});

    Arrange(Live(slots[kP1Score]), {-150.0f, 190.0f, 1.0f}, {60.0f, 60.0f, 1.0f});
    Arrange(Live(slots[kP2Score]), {150.0f, 190.0f, 1.0f}, {60.0f, 60.0f, 1.0f});
    TintSlot(kP1Score, 1.0f, 1.0f, 0.0f, 1.0f);
    TintSlot(kP2Score, 1.0f, 1.0f, 0.0f, 1.0f);
}

void HUDScript::TintSlot(std::size_t slot, float r, float g, float b, float a)
{
    GameObject* object = Live(slots[slot]);
    if (auto* sprite =
            object != nullptr ? object->GetComponentAs<Renderer>(ComponentTypeId::kRenderer) : nullptr)
        sprite->tint = {r, g, b, a};
}

void HUDScript::Update(float)
{
    BindOnce();
    GameObject* timer = Live(slots[kTimer]);
    const auto* clock =
        timer != nullptr ? timer->GetScriptAs<TimerScript>(ScriptTypeId::kTimerScript) : nullptr;
    if (clock == nullptr)
        return;
    const float shown = std::ceil(clock->GetTimeLeft());
    // Only whole numbers an int holds become text.
    if (!std::isfinite(shown) ||
        std::fabs(shown) > static_cast<float>(std::numeric_limits<std::int32_t>::max() / 2))
        return;
    SetText(timer, std::to_string(static_cast<std::int32_t>(shown)));
}

void HUDScript::OnNotify(Event* event)
{
    if (event == nullptr || event->EventType != evGoalScore)
        return;
    BindOnce();
    const float side = static_cast<GoalScoreEvent*>(event)->side;
    if (side == 0.0f)
        FinishRound();
    else if (side == 1.0f)
        ScoreFor(p1RoundScore, p1PointScore, kP1Score);
    else if (side == 2.0f)
        ScoreFor(p2RoundScore, p2PointScore, kP2Score);
}

void HUDScript::ScoreFor(std::uint32_t& roundScore, std::uint32_t& pointScore, std::size_t slot)
{
    ++roundScore;
    ++pointScore;
    SetText(Live(slots[slot]), std::to_string(pointScore));
}

void HUDScript::FinishRound()
{
    GameObject* timer = Live(slots[kTimer]);
    if (auto* clock =
            timer != nullptr ? timer->GetScriptAs<TimerScript>(ScriptTypeId::kTimerScript) : nullptr)
        clock->RestartClock();
    // Listeners read the counters as they stand before the round is booked; a level round goes to player 2.
    RoundFinishedEvent finished(p2PointScore < p1PointScore ? 1 : 2, p1PointScore, p2PointScore);
    Send(finished);

    if (roundsPlayed < kRoundsPerMatch)
        TintSlot(kFirstMarker + roundsPlayed, 0.0f, 1.0f, 0.0f, 2.0f);
    ++roundsPlayed;
    p1RoundScore = 0;
    p2RoundScore = 0;
    if (roundsPlayed < kRoundsPerMatch)
        return;

    for (std::size_t marker = 0; marker < kRoundsPerMatch; ++marker)
        TintSlot(kFirstMarker + marker, 1.0f, 1.0f, 1.0f, 1.0f);
    // A replayed match shows its end but never leaves for a victory screen; a level game goes to player 1.
    if (!IsReplaying())
    {
        GameFinishedEvent gameOver(p2PointScore > p1PointScore ? 2 : 1, p1PointScore, p2PointScore);
        Send(gameOver);
    }
    roundsPlayed = 0;
    p1RoundScore = 0;
    p2RoundScore = 0;
}

std::unique_ptr<Script> HUDScript::Load(LevelIArchive& archive)
{
    ReadField(archive, "P1PointScore", p1PointScore);
    ReadField(archive, "P2PointScore", p2PointScore);
    ReadField(archive, "P1RoundScore", p1RoundScore);
    ReadField(archive, "P2RoundScore", p2RoundScore);
    return Clone();
}

void HUDScript::Save(LevelOArchive& archive) const
{
    WriteField(archive, "P1PointScore", p1PointScore);
    WriteField(archive, "P2PointScore", p2PointScore);
    WriteField(archive, "P1RoundScore", p1RoundScore);
    WriteField(archive, "P2RoundScore", p2RoundScore);
}
