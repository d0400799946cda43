#pragma once
#include "Material.h"

#include <stdexcept>

namespace boost::archive
{
class xml_oarchive;
class xml_iarchive;
} // namespace boost::archive

// A material block that cannot be used as it stands; the level loader falls back on it.
class MaterialFormatError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

// Writes a whole material as the sequence of elements of a material field.
void SaveMaterialBlock(boost::archive::xml_oarchive& archive, const Material& material);
// Reads a material block: the inputs come from the shader's current layout, values copied by name and
// type. Throws MaterialFormatError for a block that would write out of bounds or name no GL state.
Material LoadMaterialBlock(boost::archive::xml_iarchive& archive);
