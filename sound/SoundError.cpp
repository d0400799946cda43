#include "SoundError.h"

#include <cstdio>

bool CheckSound(const char* sourceFile, int reportNumber, audio::Result result)
{
    if (result == audio::Result::Ok)
        return true;
    std::printf("%s(%d): FMOD ERROR %d - %s\n", sourceFile, reportNumber, static_cast<int>(result),
                audio::ErrorString(result));
    std::fflush(stdout);
    return false;
}
