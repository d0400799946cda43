#include "MatchScenario.h"

#include "Event.h"
#include "GameObject.h"
#include "GameObjectFactory.h"
#include "GameStats.h"
#include "RigidBody.h"
#include "StatNames.h"
#include "TextRenderer.h"
#include "Transform.h"
#include "TypeIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

MatchWatch::MatchWatch()
{
    Listen();
}

void MatchWatch::Listen()
{
    Subscribe(evRoundFinished);
    Subscribe(evGameFinished);
    Subscribe(evGoalScore);
    Subscribe(evModuleLoaded);
}

void MatchWatch::OnNotify(Event* event)
{
    switch (event->EventType)
    {
    case evGoalScore:
        goals.push_back(static_cast<GoalScoreEvent*>(event)->side);
        break;
    case evRoundFinished:
        roundWinners.push_back(static_cast<RoundFinishedEvent*>(event)->winner);
        break;
    case evGameFinished:
    {
        const auto* finished = static_cast<GameFinishedEvent*>(event);
        game = {finished->winner, finished->scoreOne, finished->scoreTwo};
        ++gamesFinished;
        break;
    }
    case evModuleLoaded:
        ++modulesLoaded;
        moduleTags.push_back(static_cast<ModuleLoadedEvent*>(event)->tags);
        break;
    default:
        break;
    }
}

std::string Whereabouts()
{
    std::ostringstream text;
    for (Tag tag : {kTagPlayer, kTagBall})
        for (GameObject* object : gGameObjectFactory->GetObjectsWithTag(tag))
        {
            const Vector3 at =
                object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
            text << object->name << " " << object->id << " (" << at.x << ", " << at.y << ") ";
        }
    text << "event text \"" << TextOf("EventText") << "\" timer \"" << TextOf("timer") << "\"";
    return text.str();
}

bool Until(PlayHarness& game, const std::string& what, int limit, const std::function<bool()>& done)
{
    for (int step = 0; step < limit; ++step)
    {
        if (done())
            return true;
        game.Step();
    }
    if (done())
        return true;
    std::string file = "timeout_" + what;
    std::replace(file.begin(), file.end(), ' ', '_');
    game.Shot(file);
    ADD_FAILURE() << "no " << what << " within " << limit << " updates: " << Whereabouts();
    return false;
}

std::string TextOf(const std::string& name)
{
    GameObject* object = Named(name);
    const TextRenderer* text = object != nullptr ? GetTextRenderer(*object) : nullptr;
    return text != nullptr ? text->GetText() : std::string("<none>");
}

bool EveryoneHidden()
{
    for (Tag tag : {kTagPlayer, kTagBall})
        for (GameObject* object : gGameObjectFactory->GetObjectsWithTag(tag))
            if (object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation().y >
                kHiddenY + 100.0f)
                return false;
    return true;
}

bool EveryoneAtSpawn()
{
    for (Tag tag : {kTagPlayer, kTagBall})
        for (GameObject* object : gGameObjectFactory->GetObjectsWithTag(tag))
        {
            const auto* stats = object->GetComponentAs<GameStats>(ComponentTypeId::kGameStats);
            const Vector3 at =
                object->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
            if (stats == nullptr || std::abs(at.x - stats->GetStats().at(kStatGoalSpawnX)) > 1.0f ||
                at.y < -250.0f)
                return false;
        }
    return true;
}

bool ClockRuns()
{
    const std::string shown = TextOf("timer");
    return !shown.empty() && shown != "90" && shown != "<none>";
}

void PressShortcut(PlayHarness& game, std::int32_t digit)
{
    game.Press(kLeftShiftKey);
    game.Press(digit);
    game.Step();
    game.Release(digit);
    game.Release(kLeftShiftKey);
    game.Step();
}

void TapKey(PlayHarness& game, std::int32_t key)
{
    game.Press(key);
    game.Step();
    game.Release(key);
    game.Step();
}

Autopilot PilotOne(PlayHarness& game)
{
    return Autopilot(game, "Player 1", {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_RSHIFT});
}

Autopilot PilotTwo(PlayHarness& game)
{
    return Autopilot(game, "Player 2", {SDLK_a, SDLK_d, SDLK_w, SDLK_LSHIFT});
}

namespace
{
// side +1: player 1 to the right goal; -1: player 2 to the left goal.
bool Score(PlayHarness& game, Autopilot& pilot, float side)
{
    const std::string& player = pilot.Player();
    const auto step = [&](bool done, const char* what) {
        if (!done)
            ADD_FAILURE() << player << ": " << what << " failed: " << Whereabouts();
        return done;
    };
    if (!step(pilot.WalkTo(75.0f * side), "walk to the pedestal"))
        return false;
    if (!step(pilot.JumpOnto(25.0f * side, -160.0f), "jump onto the pedestal"))
        return false;
    pilot.Face(side > 0 ? -1 : 1);
    pilot.TapGrab();
    if (!step(Until(game, player + " grab", 20, [&] { return StatOf(player, kStatGrabbedObject) != 0.0f; }),
              "grab"))
        return false;
    // The held ball rides beside its holder, a holding distance away, and no longer falls.
    {
        GameObject* ball =
            gGameObjectFactory->GetObject(static_cast<std::uint32_t>(StatOf(player, kStatGrabbedObject)));
        game.Step();
        const Vector3 at = ball->GetComponentAs<Transform>(ComponentTypeId::kTransform)->GetTranslation();
        EXPECT_NEAR(std::abs(at.x - PositionOf(player).x), 24.0f, 0.5f);
        EXPECT_TRUE(GetRigidBody(ball)->GetStatic());
    }
    // A running jump from the pedestal's middle clears the grey platform's edge; from its far end a short
    // hop, steered only once the held ball is above the team pad, lands on the team pad.
    if (!step(pilot.WalkTo(20.0f * side), "step back on the pedestal"))
        return false;
    if (!step(pilot.RunJumpOnto(120.0f * side, -50.0f), "jump onto the grey platform"))
        return false;
    if (!step(pilot.WalkTo(163.0f * side), "walk along the grey platform"))
        return false;
    if (!step(pilot.HopOnto(260.0f * side, -50.0f, 3, 8), "hop onto the team platform"))
        return false;
    if (!step(pilot.WalkTo(236.0f * side), "step back on the team platform"))
        return false;
    pilot.Face(side > 0 ? 1 : -1);
    pilot.TapGrab();
    return true;
}
} // namespace

bool ScoreForPlayerOne(PlayHarness& game)
{
    Autopilot pilot = PilotOne(game);
    return Score(game, pilot, 1.0f);
}

bool ScoreForPlayerTwo(PlayHarness& game)
{
    Autopilot pilot = PilotTwo(game);
    return Score(game, pilot, -1.0f);
}

const std::uint8_t* PixelOfWorld(const std::vector<std::uint8_t>& shot, float x, float y)
{
    const int px = std::clamp(static_cast<int>(std::lround(320.0f + 0.711f * x)), 0, PlayHarness::kWidth - 1);
    const int py =
        std::clamp(static_cast<int>(std::lround(240.0f - 0.711f * y)), 0, PlayHarness::kHeight - 1);
    return PixelAt(shot, px, py);
}

MeanColour MeanOfWorldBox(const std::vector<std::uint8_t>& shot, float left, float bottom, float right,
                          float top)
{
    MeanColour mean;
    int count = 0;
    for (float y = bottom; y <= top; y += 1.4f)
        for (float x = left; x <= right; x += 1.4f)
        {
            const std::uint8_t* pixel = PixelOfWorld(shot, x, y);
            mean.r += pixel[0];
            mean.g += pixel[1];
            mean.b += pixel[2];
            ++count;
        }
    if (count > 0)
    {
        mean.r /= count;
        mean.g /= count;
        mean.b /= count;
    }
    return mean;
}
