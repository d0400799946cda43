#include "SoundPlayLog.h"

namespace
{
bool logging = false;
std::vector<std::string> entries;
} // namespace

void SetSoundPlayLogging(bool on)
{
    logging = on;
}

bool IsSoundPlayLogging()
{
    return logging;
}

void LogSoundPlay(const std::string& name)
{
    if (logging)
        entries.push_back(name);
}

const std::vector<std::string>& SoundPlayLog()
{
    return entries;
}

void ClearSoundPlayLog()
{
    entries.clear();
}
