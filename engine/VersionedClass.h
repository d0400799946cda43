#pragma once
#include <cstdint>

// Carries the data version of an instance: a reflected field takes part in saving, loading and editing
// only while this version lies in the field's range.
class VersionedClass
{
  public:
    std::uint32_t GetDataVersion() const { return dataVersion; }
    void SetDataVersion(std::uint32_t version) { dataVersion = version; }

  protected:
    std::uint32_t dataVersion = 0;
};
