#include "LevelIArchive.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>

#include <sstream>

namespace
{
// A whole archive around the given elements, as the writer produces it.
std::string Archive(const std::string& elements)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n<!DOCTYPE boost_serialization>\n"
           "<boost_serialization signature=\"serialization::archive\" version=\"18\">\n" +
           elements + "</boost_serialization>\n";
}

template <typename T> std::string ErrorOf(const std::string& elements, const char* name, T& value)
{
    std::stringstream stream(Archive(elements));
    LevelIArchive archive(stream);
    try
    {
        ReadField(archive, name, value);
    }
    catch (const LevelFormatError& error)
    {
        return error.what();
    }
    return "no error";
}

TEST(LevelArchive, WrittenFieldsReadBackInOrder)
{
    std::stringstream stream;
    {
        boost::archive::xml_oarchive archive(stream);
        WriteField(archive, "Versioned", true);
        WriteField(archive, "Tag", std::int32_t{-3});
        WriteField(archive, "Flags", std::uint32_t{17});
        WriteField(archive, "Name", std::string("Object_4"));
        WriteField(archive, "Speed", 0.1f);
        WriteVector(archive, "openSlots", std::vector<std::uint32_t>{3, 2});
        WriteSet(archive, "Components", std::set<std::uint32_t>{7, 11});
        WriteVector(archive, "Module_Names", std::vector<std::string>{"A", "B"});
    }
    LevelIArchive archive(stream);
    bool versioned = false;
    std::int32_t tag = 0;
    std::uint32_t flags = 0;
    std::string name;
    float speed = 0.0f;
    std::vector<std::uint32_t> slots;
    std::set<std::uint32_t> components;
    std::vector<std::string> modules;
    ReadField(archive, "Versioned", versioned);
    ReadField(archive, "Tag", tag);
    ReadField(archive, "Flags", flags);
    ReadField(archive, "Name", name);
    ReadField(archive, "Speed", speed);
    ReadVector(archive, "openSlots", slots);
    ReadSet(archive, "Components", components);
    ReadVector(archive, "Module_Names", modules);
    EXPECT_TRUE(versioned);
    EXPECT_EQ(tag, -3);
    EXPECT_EQ(flags, 17u);
    EXPECT_EQ(name, "Object_4");
    EXPECT_EQ(speed, 0.1f);
    EXPECT_EQ(slots, (std::vector<std::uint32_t>{3, 2}));
    EXPECT_EQ(components, (std::set<std::uint32_t>{7, 11}));
    EXPECT_EQ(modules, (std::vector<std::string>{"A", "B"}));
}

TEST(LevelArchive, ReorderedOrRenamedElementThrows)
{
    std::stringstream stream(Archive("<Rotation>1</Rotation>\n<Depth>2</Depth>\n"));
    LevelIArchive archive(stream);
    float depth = 0.0f;
    try
    {
        ReadField(archive, "Depth", depth);
        FAIL() << "read a misnamed element";
    }
    catch (const LevelFormatError& error)
    {
        EXPECT_STREQ(error.what(), "element 1 'Depth': found element 'Rotation'");
    }
    float value = 0.0f;
    EXPECT_EQ(ErrorOf("<Depht>2</Depht>\n", "Depth", value), "element 1 'Depth': found element 'Depht'");
}

TEST(LevelArchive, BoolOtherThanZeroOrOneThrows)
{
    bool flag = false;
    EXPECT_EQ(ErrorOf("<Versioned>2</Versioned>\n", "Versioned", flag),
              "element 1 'Versioned': a bool must be 0 or 1, not 2");
    EXPECT_NE(ErrorOf("<Versioned>true</Versioned>\n", "Versioned", flag), "no error");
    EXPECT_EQ(ErrorOf("<Versioned>1</Versioned>\n", "Versioned", flag), "no error");
    EXPECT_TRUE(flag);
}

TEST(LevelArchive, TextForNumberThrows)
{
    float speed = 0.0f;
    std::int32_t count = 0;
    std::uint32_t id = 0;
    EXPECT_NE(ErrorOf("<Speed>fast</Speed>\n", "Speed", speed).find("'Speed'"), std::string::npos);
    EXPECT_NE(ErrorOf("<Speed>nan</Speed>\n", "Speed", speed), "no error");
    EXPECT_NE(ErrorOf("<Count>1.5</Count>\n", "Count", count), "no error");
    EXPECT_NE(ErrorOf("<Id>-1</Id>\n", "Id", id), "no error");
    EXPECT_NE(ErrorOf("<Id>4294967296</Id>\n", "Id", id), "no error");
    EXPECT_NE(ErrorOf("", "Id", id), "no error");
    EXPECT_NE(ErrorOf("<Id>3", "Id", id), "no error");
    std::uint64_t size = 0;
    EXPECT_NE(ErrorOf("<Size>-1</Size>\n", "Size", size), "no error");
    EXPECT_NE(ErrorOf("<Size>12x</Size>\n", "Size", size), "no error");
    EXPECT_EQ(ErrorOf("<Size>18446744073709551615</Size>\n", "Size", size), "no error");
    EXPECT_EQ(size, 18446744073709551615u);
}

TEST(LevelArchive, HugeCountIsRejectedBeforeAllocation)
{
    std::stringstream stream(Archive("<ObjectList_Size>4000000000</ObjectList_Size>\n"));
    LevelIArchive archive(stream);
    try
    {
        ReadCount(archive, "ObjectList_Size");
        FAIL() << "accepted an impossible count";
    }
    catch (const LevelFormatError& error)
    {
        EXPECT_NE(std::string(error.what()).find("exceeds the bytes left"), std::string::npos);
    }

    // The same count inside a collection: refused before the vector is sized (ASan would fail on 16 GB).
    std::stringstream vectorStream(Archive(
        "<openSlots><count>4000000000</count><item_version>0</item_version><item>1</item></openSlots>\n"));
    LevelIArchive vectorArchive(vectorStream, "Levels/Broken.xml");
    std::vector<std::uint32_t> slots{9};
    try
    {
        ReadVector(vectorArchive, "openSlots", slots);
        FAIL() << "accepted an impossible count";
    }
    catch (const LevelFormatError& error)
    {
        EXPECT_EQ(
            std::string(error.what()).rfind("Levels/Broken.xml: element 1 'openSlots': count 4000000000", 0),
            0u);
    }
    EXPECT_EQ(slots, std::vector<std::uint32_t>{9});
}

TEST(LevelArchive, CountWithinTheSourceIsAccepted)
{
    std::stringstream stream(Archive("<PrefabList_Size>3</PrefabList_Size>\n"));
    LevelIArchive archive(stream);
    EXPECT_EQ(ReadCount(archive, "PrefabList_Size"), 3u);
}

TEST(LevelArchive, CollectionWithMissingItemsThrows)
{
    std::stringstream stream(
        Archive("<openSlots><count>3</count><item_version>0</item_version><item>1</item></openSlots>\n"));
    LevelIArchive archive(stream);
    std::vector<std::uint32_t> slots;
    EXPECT_THROW(ReadVector(archive, "openSlots", slots), LevelFormatError);
    EXPECT_TRUE(slots.empty());
}

TEST(LevelArchive, BrokenHeaderFailsAtConstruction)
{
    std::stringstream stream("not xml at all");
    EXPECT_THROW(LevelIArchive archive(stream), LevelFormatError);
    std::stringstream empty;
    EXPECT_THROW(LevelIArchive archive(empty), LevelFormatError);
}

TEST(LevelArchive, ArchiveLeftAfterAFailedOrPartialReadClosesQuietly)
{
    std::stringstream stream(Archive("<A>1</A>\n<B>x</B>\n<C>3</C>\n"));
    {
        LevelIArchive archive(stream);
        std::int32_t a = 0;
        ReadField(archive, "A", a);
        EXPECT_THROW(ReadField(archive, "B", a), LevelFormatError);
    }
    std::stringstream partial(Archive("<A>1</A>\n<B>2</B>\n"));
    {
        LevelIArchive archive(partial);
        std::int32_t a = 0;
        ReadField(archive, "A", a);
        EXPECT_EQ(a, 1);
    }
}
} // namespace
