#include "DeformationScript.h"
#include "DestructableScript.h"
#include "DraggingCollisionScript.h"
#include "EffectWorld.h"
#include "Event.h"
#include "EventManager.h"
#include "GameObject.h"
#include "GameStats.h"
#include "HazardCollisionScript.h"
#include "LevelArchive.h"
#include "LevelFile.h"
#include "LevelMusicScript.h"
#include "LevelRecords.h"
#include "MoveScript.h"
#include "SoundPlayLog.h"
#include "StagedLevel.h"
#include "TypeIds.h"
#include "VoiceOverScripts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>

// The seven effect scripts through the level writer and reader: names, fields, subscriptions, bad records.
namespace
{
class EffectPersistenceTest : public EffectWorldTest
{
  protected:
    static std::string SavedWorld()
    {
        std::ostringstream out;
        SaveLevelTo(out);
        return out.str();
    }
    static void Load(const std::string& bytes)
    {
        std::unique_ptr<StagedLevel> level = StageLevel(bytes, true, "effects.xml");
        CommitLevel(*level);
    }
    static std::string Replace(std::string text, const std::string& from, const std::string& to)
    {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
        return text;
    }
    template <typename T> T& Find(std::uint32_t typeId)
    {
        for (std::uint32_t id = 1; id < 40; ++id)
            if (const GameObject* object = objects.GetObject(id))
                if (T* script = object->GetScriptAs<T>(typeId))
                    return *script;
        ADD_FAILURE() << "no script of type " << typeId;
        throw std::runtime_error("missing script");
    }
    // A manager, a player, lava and a platform as the match level holds them.
    void BuildArena()
    {
        Manager();
        GameObject& player = WithMachine(kTagPlayer, "Player Behavior");
        DeformationScript deform;
        player.AddScript(deform);
        DestructableScript burn;
        player.AddScript(burn);
        GameObject* lava = objects.CreateObject();
        HazardCollisionScript hazard;
        lava->AddScript(hazard);
        GameObject& platform = WithMachine(kTagPlatform, "");
        MoveScript move;
        platform.AddScript(move);
        DraggingCollisionScript drag;
        platform.AddScript(drag);
    }
};

// Saved, reset and loaded: each class under its exact name and id, its fields bit for bit (0.1 is not a
// binary fraction), the announcer and the music subscribed to exactly their events, and one event reaching
// each once. Nothing is reported as not recognised.
TEST_F(EffectPersistenceTest, TheSevenScriptsComeBackFromALevelFile)
{
    BuildArena();
    std::string saved = SavedWorld();
    for (const char* name :
         {"VoiceOverScripts", "LevelMusicScript", "DeformationScript", "DestructableScript",
          "HazardCollisionScript", "MoveScript", "DraggingCollisionScript", "NextInc", "Original_X_Scale",
          "Original_Y_Scale", "Position_1_X", "Position_1_Y", "Position_2_X", "Position_2_Y"})
        EXPECT_NE(saved.find(name), std::string::npos) << name;
    saved = Replace(saved, "<NextInc>1</NextInc>", "<NextInc>3</NextInc>");
    saved = Replace(saved, "<Original_X_Scale>2.000000000e+01</Original_X_Scale>",
                    "<Original_X_Scale>0.1</Original_X_Scale>");
    saved = Replace(saved, "<Position_2_Y>0.000000000e+00</Position_2_Y>",
                    "<Position_2_Y>-123.456</Position_2_Y>");

    testing::internal::CaptureStdout();
    Load(saved);
    const std::string resaved = SavedWorld();
    Load(resaved);
    const std::string messages = testing::internal::GetCapturedStdout();
    EXPECT_EQ(messages.find("NOT RECOGNIZED"), std::string::npos) << messages;

    EXPECT_EQ(Find<LevelMusicScript>(ScriptTypeId::kLevelMusicScript).GetTargetIndex(), 3u);
    EXPECT_EQ(Find<DeformationScript>(ScriptTypeId::kDeformationScript).GetRestX(), 0.1f);
    EXPECT_EQ(Find<DeformationScript>(ScriptTypeId::kDeformationScript).GetRestY(), 40.0f);
    EXPECT_EQ(Find<MoveScript>(ScriptTypeId::kMoveScript).GetPoint2Y(), -123.456f);
    EXPECT_EQ(Find<MoveScript>(ScriptTypeId::kMoveScript).GetHeading(), MoveScript::kTowardFirst);
    EXPECT_EQ(Find<HazardCollisionScript>(ScriptTypeId::kHazardCollisionScript).GetVersion(), 1u);
    EXPECT_EQ(Find<DraggingCollisionScript>(ScriptTypeId::kDraggingCollisionScript).GetVersion(), 1u);
    EXPECT_EQ(Find<DestructableScript>(ScriptTypeId::kDestructableScript).GetVersion(), 1u);

    auto& voice = Find<VoiceOverScripts>(ScriptTypeId::kVoiceOverScripts);
    auto& music = Find<LevelMusicScript>(ScriptTypeId::kLevelMusicScript);
    EXPECT_EQ(voice.SubscribedTypes(), (std::set<std::int32_t>{9, 13, 14, 19}));
    EXPECT_EQ(music.SubscribedTypes(), (std::set<std::int32_t>{10, 11, 13}));
    for (std::int32_t type : {9, 10, 11, 13, 14, 19})
    {
        const std::set<Observer*> observers = EventManager::ObserversOf(type);
        EXPECT_EQ(observers.count(&voice), voice.SubscribedTypes().count(type)) << type;
        EXPECT_EQ(observers.count(&music), music.SubscribedTypes().count(type)) << type;
    }
    RoundStartEvent round;
    Send(round);
    LevelStartEvent start;
    Send(start);
    ASSERT_EQ(PlayedSince().size(), 2u) << "one event reaches each once";
    EXPECT_EQ(PlayedSince()[0], "RoundOne");
    EXPECT_EQ(PlayedSince()[1], CurrentMusicName);
}

// "NextInc" past the last target loads as the last; a wrong element name or a non-number is refused with
// the world unchanged.
TEST_F(EffectPersistenceTest, BadRecordsAreClampedOrRefused)
{
    BuildArena();
    const std::string saved = SavedWorld();
    Load(Replace(saved, "<NextInc>1</NextInc>", "<NextInc>7</NextInc>"));
    EXPECT_EQ(Find<LevelMusicScript>(ScriptTypeId::kLevelMusicScript).GetTargetIndex(), 4u);

    const std::string current = SavedWorld();
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"<NextInc>4</NextInc>", "<NextInc>seven</NextInc>"},
             {"<Original_Y_Scale>4.000000000e+01</Original_Y_Scale>", "<Original_Scale>40</Original_Scale>"},
             {"<Position_1_X>0.000000000e+00</Position_1_X>", "<Position_1_X>left</Position_1_X>"}})
    {
        EXPECT_THROW(Load(Replace(current, from, to)), LevelFormatError) << to;
        EXPECT_EQ(SavedWorld(), current) << to;
    }
}
} // namespace
