#pragma once
#include <cstdint>
#include <memory>

struct _SDL_Haptic;
struct _SDL_Joystick;
union SDL_HapticEffect;

// The rumble calls a controller slot makes, behind an interface so a test can stand in for a device
// that rumbles (SDL's virtual controllers cannot).
class HapticCalls
{
  public:
    virtual ~HapticCalls() = default;
    // Opens the rumble device of a joystick; null when it has none.
    virtual _SDL_Haptic* OpenFromJoystick(_SDL_Joystick* joystick) = 0;
    // How many effects the device can store.
    virtual int NumEffects(_SDL_Haptic* haptic) = 0;
    // The effect kinds the device supports, as SDL's bit mask.
    virtual unsigned int Query(_SDL_Haptic* haptic) = 0;
    // How many effects are playing now.
    virtual int NumEffectsPlaying(_SDL_Haptic* haptic) = 0;
    // Uploads an effect; its id, or -1.
    virtual int NewEffect(_SDL_Haptic* haptic, SDL_HapticEffect* effect) = 0;
    // Plays an uploaded effect; negative on failure.
    virtual int RunEffect(_SDL_Haptic* haptic, int effectId, std::uint32_t iterations) = 0;
    // Closes the device.
    virtual void Close(_SDL_Haptic* haptic) = 0;
};

// The calls in use: SDL's own unless a test installed others.
HapticCalls& GetHapticCalls();
// Installs other calls; null brings back SDL's.
void SetHapticCalls(std::unique_ptr<HapticCalls> calls);
