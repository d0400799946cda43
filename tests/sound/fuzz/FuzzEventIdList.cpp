// Reads every input as an event-id list. Every entry it yields must name an event: a short name without
// "/", taken from an "e" line.
#include "EventIdList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    for (const EventIdEntry& entry : ParseEventIdList(in))
    {
        if (entry.shortName.find('/') != std::string::npos)
            std::abort();
    }
    return 0;
}
