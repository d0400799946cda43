#pragma once
#include "audio/AudioTypes.h"

// Reports a failed audio call as "<file>(<number>): FMOD ERROR <code> - <text>" on the standard output
// and returns whether the call succeeded; the caller goes on either way.
bool CheckSound(const char* sourceFile, int reportNumber, audio::Result result);
