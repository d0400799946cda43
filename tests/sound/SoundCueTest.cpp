#include "SoundCue.h"
#include "SoundPrototypes.h"

#include "LevelIArchive.h"
#include "Prototypes.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>

#include <sstream>

class SoundCueTest : public ::testing::Test
{
  protected:
    void SetUp() override { ResetPrototypes(); }
    void TearDown() override { ResetPrototypes(); }
};

TEST_F(SoundCueTest, RegistersItsPrototypeUnderItsClassNameWithTypeId8)
{
    RegisterSoundPrototypes();
    const Component* prototype = FindComponentPrototype("SoundCue");
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype->GetTypeId(), 8u);
    EXPECT_EQ(prototype->GetName(), "SoundCue");
    ASSERT_EQ(SoundCue::Descriptors().size(), 1u);
    EXPECT_EQ(SoundCue::Descriptors()[0]->GetName(), "UNUSED");
}

TEST_F(SoundCueTest, TheUnusedFieldSavesAndLoadsLikeAnyOther)
{
    SoundCue cue;
    cue.SetDataVersion(SoundCue::kClassVersion);
    cue.SetUnused(2.5f);
    std::stringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        cue.Save(archive);
    }
    EXPECT_NE(stream.str().find("<UNUSED>"), std::string::npos) << stream.str();

    SoundCue target;
    target.SetDataVersion(SoundCue::kClassVersion);
    LevelIArchive archive(stream);
    const auto loaded = target.Load(archive);
    EXPECT_EQ(dynamic_cast<const SoundCue&>(*loaded).GetUnused(), 2.5f);
}
