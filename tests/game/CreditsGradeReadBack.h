#pragma once
// Reads the post-processing chain back through the effects' field descriptors, by XML name, and the two
// columns of values the credits and the match write.
#include "Bloom.h"
#include "ColorEffects.h"
#include "Graphics.h"
#include "LevelArchive.h"
#include "Lighting.h"

#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace credits_test
{
// "Class.XML_Name" to the numbers the saved element holds.
using FieldValues = std::map<std::string, std::vector<float>>;

inline std::vector<float> NumbersIn(const std::string& text)
{
    std::string plain;
    bool inTag = false;
    for (char c : text)
    {
        if (c == '<' || c == '>')
        {
            inTag = c == '<';
            plain += ' ';
        }
        else if (!inTag)
            plain += c;
    }
    std::vector<float> numbers;
    std::istringstream in(plain);
    for (std::string word; in >> word;)
        numbers.push_back(std::strtof(word.c_str(), nullptr));
    return numbers;
}

template <typename T> void ReadEffect(const T& effect, const std::string& className, FieldValues& values)
{
    std::ostringstream out;
    {
        boost::archive::xml_oarchive archive(out);
        SaveFields(T::Descriptors(), archive, effect);
    }
    // A vector is saved as one element per component, all under the field's name.
    const std::string xml = out.str();
    for (const auto& field : T::Descriptors())
    {
        const std::string& name = field->GetName();
        for (std::size_t open = xml.find("<" + name + ">"); open != std::string::npos;
             open = xml.find("<" + name + ">", open + 1))
        {
            const std::size_t begin = open + name.size() + 2;
            const std::size_t end = xml.find("</" + name + ">", begin);
            for (float number : NumbersIn(xml.substr(begin, end - begin)))
                values[className + "." + name].push_back(number);
        }
    }
}

// Every saved field of every graded effect of the chain.
inline FieldValues ReadChain(Graphics& graphics)
{
    FieldValues values;
    for (const auto& effect : graphics.GetEffects())
    {
        if (const auto* bloom = dynamic_cast<const Bloom*>(effect.get()))
            ReadEffect(*bloom, "Bloom", values);
        else if (const auto* balancer = dynamic_cast<const ColorBalancer*>(effect.get()))
            ReadEffect(*balancer, "ColorBalancer", values);
        else if (const auto* saturation = dynamic_cast<const Saturation*>(effect.get()))
            ReadEffect(*saturation, "Saturation", values);
        else if (const auto* tonemap = dynamic_cast<const Tonemap*>(effect.get()))
            ReadEffect(*tonemap, "Tonemap", values);
        else if (const auto* lighting = dynamic_cast<const Lighting*>(effect.get()))
            ReadEffect(*lighting, "Lighting", values);
    }
    return values;
}

// The graded effects the graphics system builds at start that need no shader to exist (all but the
// lighting), in their start-up order.
inline void AddShaderlessChain(Graphics& graphics)
{
    auto& effects = graphics.GetEffects();
    effects.push_back(std::make_unique<ColorBalancer>(1, nullptr));
    effects.push_back(std::make_unique<Bloom>(1, nullptr, nullptr, nullptr));
    effects.push_back(std::make_unique<Tonemap>(1, nullptr));
    effects.push_back(std::make_unique<Saturation>(1, nullptr));
}

inline const FieldValues& CreditsColumn()
{
    static const FieldValues column = {
        {"Bloom.Threshold", {1.1f, 1.1f, 1.1f}},
        {"Bloom.Intensity", {0.5f}},
        {"Bloom.Horizontal_Radius", {1.2f}},
        {"Bloom.Vertical_Radius", {1.0f}},
        {"Bloom.Inner_Intensity", {1.1f}},
        {"Bloom.Mid_Intensity", {0.7f}},
        {"Bloom.Outer_Intensity", {1.2f}},
        {"Bloom.Outermost_Intensity", {1.0f}},
        {"Bloom.LOD_Offset", {1.0f}},
        {"Bloom.SmoothingPasses", {2.0f}},
        {"ColorBalancer.Balance", {1.5f, 1.76f, 1.75f}},
        {"Saturation.Saturation", {1.11f}},
        {"Saturation.Whitening", {1.0f}},
        {"Saturation.Multiplier1", {1.85f}},
        {"Saturation.Multiplier2", {1.99f}},
        {"Saturation.Power", {8.0f}},
        {"Tonemap.Gamma", {1.1f}},
        {"Tonemap.Exposure", {0.7f}},
        {"Lighting.Blur_Radius", {1.0f}},
    };
    return column;
}

inline const FieldValues& MatchColumn()
{
    static const FieldValues column = {
        {"Bloom.Threshold", {1.0f, 1.1f, 1.0f}},
        {"Bloom.Intensity", {0.6f}},
        {"Bloom.Horizontal_Radius", {1.0f}},
        {"Bloom.Vertical_Radius", {1.0f}},
        {"Bloom.Inner_Intensity", {1.25f}},
        {"Bloom.Mid_Intensity", {1.0f}},
        {"Bloom.Outer_Intensity", {0.75f}},
        {"Bloom.Outermost_Intensity", {0.5f}},
        {"Bloom.LOD_Offset", {0.5f}},
        {"Bloom.SmoothingPasses", {2.0f}},
        {"ColorBalancer.Balance", {1.0f, 1.0f, 1.0f}},
        {"Saturation.Saturation", {2.0f}},
        {"Saturation.Whitening", {1.0f}},
        {"Saturation.Multiplier1", {2.0f}},
        {"Saturation.Multiplier2", {2.0f}},
        {"Saturation.Power", {8.0f}},
        {"Tonemap.Gamma", {1.0f}},
        {"Tonemap.Exposure", {0.7f}},
        {"Lighting.Blur_Radius", {1.0f}},
    };
    return column;
}

// Every field of the column whose effect class is in the chain reads back exactly, and the chain holds
// no graded field the column lacks.
inline void ExpectColumn(const FieldValues& chain, const FieldValues& column, const std::string& label)
{
    auto classOf = [](const std::string& name) { return name.substr(0, name.find('.')); };
    for (const auto& [name, values] : chain)
        EXPECT_EQ(column.count(name), 1u) << label << ": " << name << " is not in the column";
    for (const auto& [name, expected] : column)
    {
        const auto found = chain.find(name);
        if (found != chain.end())
            EXPECT_EQ(found->second, expected) << label << ": " << name;
        else
        {
            const std::string fieldClass = classOf(name);
            const bool classInChain = std::any_of(chain.begin(), chain.end(), [&](const auto& entry) {
                return classOf(entry.first) == fieldClass;
            });
            EXPECT_FALSE(classInChain) << label << ": " << name << " was not read back";
        }
    }
}
} // namespace credits_test
