#include "HapticCalls.h"

#include <SDL.h>

namespace
{
class SdlHapticCalls : public HapticCalls
{
  public:
    SDL_Haptic* OpenFromJoystick(SDL_Joystick* joystick) override
    {
        return SDL_HapticOpenFromJoystick(joystick);
    }
    int NumEffects(SDL_Haptic* haptic) override { return SDL_HapticNumEffects(haptic); }
    unsigned int Query(SDL_Haptic* haptic) override { return SDL_HapticQuery(haptic); }
    int NumEffectsPlaying(SDL_Haptic* haptic) override { return SDL_HapticNumEffectsPlaying(haptic); }
    int NewEffect(SDL_Haptic* haptic, SDL_HapticEffect* effect) override
    {
        return SDL_HapticNewEffect(haptic, effect);
    }
    int RunEffect(SDL_Haptic* haptic, int effectId, std::uint32_t iterations) override
    {
        return SDL_HapticRunEffect(haptic, effectId, iterations);
    }
    void Close(SDL_Haptic* haptic) override { SDL_HapticClose(haptic); }
};

std::unique_ptr<HapticCalls>& InstalledCalls()
{
    static std::unique_ptr<HapticCalls> calls = std::make_unique<SdlHapticCalls>();
    return calls;
}
} // namespace

HapticCalls& GetHapticCalls()
{
    return *InstalledCalls();
}

void SetHapticCalls(std::unique_ptr<HapticCalls> calls)
{
    InstalledCalls() = calls ? std::move(calls) : std::make_unique<SdlHapticCalls>();
}
