#include "ObjectModelTestSupport.h"

#include "GameObject.h"

namespace
{
using ScriptPassTest = ObjectModelTest;
using Owners = std::vector<std::uint32_t>;

Owners TakeUpdatedOwners()
{
    Owners owners;
    for (const ProbeScript::Call& call : ProbeScript::updates)
        owners.push_back(call.owner);
    ProbeScript::updates.clear();
    return owners;
}

// The pass runs the objects that had scripts when it began, each with the script types it had when its
// turn came; a script removed on the way stays quiet, and an object created on the way waits a frame.
TEST_F(ScriptPassTest, ScriptsAddedOrRemovedDuringThePassWaitForTheNextOneAndRemovedOnesStaySilent)
{
    std::vector<GameObject*> holders;
    for (int i = 0; i < 3; ++i)
    {
        holders.push_back(factory->CreateObject());
        ProbeScript script;
        holders.back()->AddScript(script);
    }
    bool changed = false;
    auto* first = holders[0]->GetScriptAs<ProbeScript>(ScriptTypeId::kPlayerScript);
    first->action = [&](ProbeScript&)
    {
        if (changed)
            return;
        changed = true;
        GameObject* created = factory->CreateObject();
        ProbeScript createdScript;
        created->AddScript(createdScript);
        RemoveScript(holders[1]->id, ScriptTypeId::kPlayerScript);
        ProbeScript mover(ScriptTypeId::kMoveScript);
        holders[0]->AddScript(mover);
        holders[2]->AddScript(mover);
    };
    ProbeScript::updates.clear();

    factory->Update(0.5f);
    // Object 3's second script was there when its turn came; object 1's was not.
    EXPECT_EQ(TakeUpdatedOwners(), (Owners{1, 3, 3}));
    EXPECT_EQ(FindScript(2, ScriptTypeId::kPlayerScript), nullptr);

    factory->Update(0.5f);
    EXPECT_EQ(TakeUpdatedOwners(), (Owners{1, 1, 3, 3, 4}));
}

// A system's member list is handed out again until membership changes, and a walk keeps the list it
// started with while objects join and leave under it.
TEST_F(ScriptPassTest, SystemWalksKeepTheirMemberListAndItIsRebuiltOnlyAfterAChange)
{
    System& motion = *SystemManager::GetSystem(kMotionSystemSlot);
    ProbeComponent body(ComponentTypeId::kRigidBody);
    for (int i = 0; i < 3; ++i)
        factory->CreateObject()->AddComponent(body);
    const auto walked = motion.MemberList();
    EXPECT_EQ(motion.MemberList(), walked);
    EXPECT_EQ(*walked, (std::vector<std::uint32_t>{1, 2, 3}));

    factory->CreateObject()->AddComponent(body);
    factory->DestroyObjectKeepingId(2);
    EXPECT_EQ(*walked, (std::vector<std::uint32_t>{1, 2, 3}));
    const auto afterwards = motion.MemberList();
    EXPECT_EQ(*afterwards, (std::vector<std::uint32_t>{1, 3, 4}));
    EXPECT_EQ(motion.ObjectIds(), (std::set<std::uint32_t>{1, 3, 4}));
}
} // namespace
