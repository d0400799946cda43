#include "LevelIArchive.h"
#include "PhysicsTestSupport.h"

#include <boost/archive/xml_oarchive.hpp>
#include <imgui.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{
using ComponentXmlTest = PhysicsTest;

std::string Saved(const Component& component)
{
    std::ostringstream text;
    {
        boost::archive::xml_oarchive archive(text);
        component.Save(archive);
    }
    return text.str();
}

// The names of the elements written, in order, without the archive's own wrapper.
std::vector<std::string> ElementNames(const std::string& xml)
{
    std::vector<std::string> names;
    for (std::size_t open = xml.find('<'); open != std::string::npos; open = xml.find('<', open + 1))
    {
        const std::size_t close = xml.find('>', open);
        const std::string name = xml.substr(open + 1, close - open - 1);
        if (!name.empty() &&
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_") ==
                std::string::npos)
            names.push_back(name);
    }
    return names;
}

// The text with the first occurrence of one piece replaced.
std::string Replaced(std::string text, const std::string& piece, const std::string& with)
{
    const std::size_t at = text.find(piece);
    if (at != std::string::npos)
        text.replace(at, piece.size(), with);
    return text;
}

// The record as the level reader hands it to Load: without the "Collider_Type" element.
std::string WithoutColliderType(const std::string& xml)
{
    const std::size_t begin = xml.find("<Collider_Type>");
    const std::string closing = "</Collider_Type>";
    const std::size_t end = xml.find(closing);
    return xml.substr(0, begin) + xml.substr(end + closing.size());
}

std::unique_ptr<Component> LoadInto(Component& target, const std::string& xml)
{
    std::istringstream text(xml);
    LevelIArchive archive(text);
    return target.Load(archive);
}

TEST_F(ComponentXmlTest, RigidBodyWritesItsElementsInOrder)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 5);
    const std::vector<std::string> expected{
        "mass",         "inverseMass", "interia",          "inverseInertia",   "substance_type",
        "density",      "restitution", "Static_Friction",  "Dynamic_Friction", "Velocity",
        "Velocity",     "Velocity",    "Angular_Velocity", "Can_Rotate",       "Static",
        "Gravity_Scale"};
    EXPECT_EQ(ElementNames(Saved(*PhysicsWorld::BodyOf(box))), expected);
}

TEST_F(ComponentXmlTest, RigidBodyRoundTripsIntoAClone)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 5);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetVelocity({1.5f, -2.0f, 0.0f});
    body->SetAngularVelocity(12.0f);
    body->SetStaticFriction(0.25f);
    body->SetStatic(true);
    body->SetGravityScale(-3.0f);
    const std::string xml = Saved(*body);

    RigidBody target(0);
    target.SetDataVersion(1);
    std::unique_ptr<Component> loaded = LoadInto(target, xml);
    auto* copy = dynamic_cast<RigidBody*>(loaded.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, &target);
    EXPECT_EQ(copy->GetSubstance(), 5);
    EXPECT_FLOAT_EQ(copy->GetMass(), body->GetMass());
    EXPECT_EQ(copy->GetVelocity(), Vector3(1.5f, -2.0f, 0.0f));
    EXPECT_FLOAT_EQ(copy->GetAngularVelocity(), 12.0f);
    EXPECT_FLOAT_EQ(copy->GetStaticFriction(), 0.25f);
    EXPECT_TRUE(copy->GetStatic());
    EXPECT_FLOAT_EQ(copy->GetGravityScale(), -3.0f);
    EXPECT_EQ(Saved(*copy), xml);
}

TEST_F(ComponentXmlTest, AngularVelocityIsReadOnlyIntoABodyThatCanRotate)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 5);
    RigidBody* body = PhysicsWorld::BodyOf(box);
    body->SetAngularVelocity(12.0f);
    const std::string xml = Saved(*body);

    RigidBody fixed(0);
    fixed.SetDataVersion(1);
    fixed.SetCanRotate(false);
    auto loaded = LoadInto(fixed, xml);
    auto* copy = static_cast<RigidBody*>(loaded.get());
    EXPECT_FLOAT_EQ(copy->GetAngularVelocity(), 0.0f);
    // "Can_Rotate" comes after, so the copy can rotate again.
    EXPECT_TRUE(copy->GetCanRotate());
}

TEST_F(ComponentXmlTest, MalformedRecordThrowsAndChangesNothing)
{
    GameObject* box = world.Box(0.0f, 0.0f, 10.0f, 10.0f, 5);
    std::string xml = Saved(*PhysicsWorld::BodyOf(box));
    xml = Replaced(xml, "<Gravity_Scale>", "<Gravity_Scal>");
    RigidBody target(2);
    target.SetDataVersion(1);
    EXPECT_THROW(LoadInto(target, xml), LevelFormatError);
    EXPECT_EQ(target.GetSubstance(), 2);
    EXPECT_FLOAT_EQ(target.GetDensity(), 1.2f);

    const std::string outOfTable =
        Replaced(Saved(*PhysicsWorld::BodyOf(box)), "<substance_type>5<", "<substance_type>42<");
    auto loaded = LoadInto(target, outOfTable);
    EXPECT_EQ(static_cast<RigidBody*>(loaded.get())->GetSubstance(), 42);
}

TEST_F(ComponentXmlTest, BoxColliderRoundTripsAndRebuildsItsCorners)
{
    BoxCollider box;
    box.SetDataVersion(1);
    box.SetSize({3.0f, 5.0f});
    box.SetOffset({1.0f, 2.0f});
    box.SetLayer(6);
    box.SetResolution(false);
    const std::string xml = Saved(box);
    const std::vector<std::string> expected{"Collider_Type", "Layer",  "Resolution", "Dimentions",
                                            "Dimentions",    "Offset", "Offset"};
    EXPECT_EQ(ElementNames(xml), expected);
    EXPECT_NE(xml.find("<Collider_Type>BoxCollider</Collider_Type>"), std::string::npos);
    EXPECT_NE(xml.find("<Layer>6</Layer>"), std::string::npos);

    // The level reader takes "Collider_Type" off before the record reaches Load.
    const std::string record = WithoutColliderType(xml);
    BoxCollider target;
    target.SetDataVersion(1);
    auto loaded = LoadInto(target, record);
    auto* copy = dynamic_cast<BoxCollider*>(loaded.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetLayer(), 6u);
    EXPECT_FALSE(copy->GetResolution());
    EXPECT_EQ(copy->GetLocalPoints(), box.GetLocalPoints());
}

TEST_F(ComponentXmlTest, CircleColliderRoundTrips)
{
    CircleCollider circle;
    circle.SetDataVersion(1);
    circle.SetRadius(2.5f);
    const std::string xml = Saved(circle);
    const std::vector<std::string> expected{"Collider_Type", "Layer", "Resolution", "Radius"};
    EXPECT_EQ(ElementNames(xml), expected);
    const std::string record = WithoutColliderType(xml);
    CircleCollider target;
    target.SetDataVersion(1);
    auto loaded = LoadInto(target, record);
    auto* copy = dynamic_cast<CircleCollider*>(loaded.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_FLOAT_EQ(copy->GetRadius(), 2.5f);
    EXPECT_FLOAT_EQ(copy->GetLocalPoints().front().x, 2.5f);
}

// The editable fields of the component at its data version.
template <typename C> int EditableFields(const C& component)
{
    int editable = 0;
    for (const auto& field : C::Descriptors())
        editable += field->Edits(component) ? 1 : 0;
    return editable;
}

// How far down the component's editor moved the cursor.
float DrawnHeight(Component& component)
{
    const float top = ImGui::GetCursorPosY();
    component.DrawEditor();
    return ImGui::GetCursorPosY() - top;
}

TEST_F(ComponentXmlTest, EditorsDrawTheSubstanceChoiceAndOneWidgetPerEditableField)
{
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(800.0f, 600.0f);
    io.IniFilename = nullptr;
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    ImGui::NewFrame();
    const float row = ImGui::GetFrameHeightWithSpacing();
    const float textLine = ImGui::GetTextLineHeightWithSpacing();

    // The body: the substance combo, its density and restitution as text, then its fields.
    RigidBody& body = *PhysicsWorld::BodyOf(world.Box(0.0f, 0.0f, 10.0f, 10.0f, 5));
    EXPECT_GT(EditableFields(body), 0);
    EXPECT_FLOAT_EQ(DrawnHeight(body), row * static_cast<float>(1 + EditableFields(body)) + 2.0f * textLine);
    BoxCollider collider;
    collider.SetDataVersion(1);
    EXPECT_GT(EditableFields(collider), 0);
    EXPECT_FLOAT_EQ(DrawnHeight(collider), row * static_cast<float>(EditableFields(collider)));
    CircleCollider circle;
    circle.SetDataVersion(1);
    EXPECT_GT(EditableFields(circle), 0);
    EXPECT_FLOAT_EQ(DrawnHeight(circle), row * static_cast<float>(EditableFields(circle)));
    ImGui::Render();
    ImGui::DestroyContext();
}
} // namespace
