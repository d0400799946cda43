#include "AudioSystem.h"

#include "AudioState.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unordered_map>

namespace audio
{
using namespace detail;

namespace
{
// Banks larger than this are refused before anything is read.
constexpr std::uintmax_t kMaxBankBytes = 512u * 1024u * 1024u;

OutputKind gNextOutput = OutputKind::Device;
std::function<double()> gNextClock;

double SteadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool FiniteNonNegative(float value)
{
    return std::isfinite(value) && value >= 0.0f;
}
} // namespace

void SetNextOutput(OutputKind kind)
{
    gNextOutput = kind;
}

void SetNextClock(std::function<double()> clock)
{
    gNextClock = std::move(clock);
}

void ResetNextOutput()
{
    gNextOutput = OutputKind::Device;
    gNextClock = nullptr;
}

struct SystemState
{
    System* owner = nullptr;
    std::uint32_t serial = 0;
    bool initialized = false;
    int maxVoices = 0;
    OutputKind output = OutputKind::Silent;
    std::function<double()> clock;
    double lastTime = 0.0;
    bool audioSubsystem = false;
    SDL_AudioDeviceID device = 0;

    std::vector<Slot<std::unique_ptr<BankState>>> banks;
    std::vector<Slot<DescriptionState>> descriptions;
    std::vector<Slot<InstanceState>> instances;
    std::vector<std::uint32_t> freeBanks;
    std::vector<std::uint32_t> freeDescriptions;
    std::vector<std::uint32_t> freeInstances;
    std::unordered_map<Guid, std::uint32_t, GuidHash> eventsById; // GUID -> description slot

    // Process-wide registry of live systems, so a handle can outlive its system safely.
    static std::unordered_map<std::uint32_t, SystemState*>& Registry()
    {
        static std::unordered_map<std::uint32_t, SystemState*> registry;
        return registry;
    }
    static SystemState* Find(std::uint32_t serial)
    {
        if (serial == 0)
            return nullptr;
        auto found = Registry().find(serial);
        return found == Registry().end() ? nullptr : found->second;
    }

    template <typename T> static T* FindSlot(std::vector<Slot<T>>& slots, const HandleId& handle)
    {
        if (handle.slot >= slots.size())
            return nullptr;
        Slot<T>& slot = slots[handle.slot];
        if (!slot.live || slot.generation != handle.generation)
            return nullptr;
        return &slot.value;
    }

    template <typename T>
    HandleId Allocate(std::vector<Slot<T>>& slots, std::vector<std::uint32_t>& freeSlots, T value)
    {
        std::uint32_t index = 0;
        if (!freeSlots.empty())
        {
            index = freeSlots.back();
            freeSlots.pop_back();
        }
        else
        {
            index = static_cast<std::uint32_t>(slots.size());
            slots.emplace_back();
        }
        Slot<T>& slot = slots[index];
        ++slot.generation;
        slot.live = true;
        slot.value = std::move(value);
        return HandleId{serial, index, slot.generation};
    }

    template <typename T>
    static void Free(std::vector<Slot<T>>& slots, std::vector<std::uint32_t>& freeSlots, std::uint32_t index)
    {
        slots[index].live = false;
        slots[index].value = T{};
        freeSlots.push_back(index);
    }

    InstanceState* FindInstance(const HandleId& handle) { return FindSlot(instances, handle); }
    DescriptionState* FindDescription(const HandleId& handle) { return FindSlot(descriptions, handle); }

    void DestroyInstance(std::uint32_t index) { Free(instances, freeInstances, index); }

    void DestroyInstancesOf(std::uint32_t descriptionSlot)
    {
        for (std::uint32_t i = 0; i < instances.size(); ++i)
            if (instances[i].live && instances[i].value.descriptionSlot == descriptionSlot)
                DestroyInstance(i);
    }

    void DestroyEverything()
    {
        for (std::uint32_t i = 0; i < instances.size(); ++i)
            if (instances[i].live)
                DestroyInstance(i);
        for (std::uint32_t i = 0; i < descriptions.size(); ++i)
            if (descriptions[i].live)
                Free(descriptions, freeDescriptions, i);
        for (std::uint32_t i = 0; i < banks.size(); ++i)
            if (banks[i].live)
                Free(banks, freeBanks, i);
        eventsById.clear();
    }

    // Mixes every sounding instance, one block at a time, then limits the sum; runs on SDL's audio thread
    // with the device locked, so it must neither allocate nor print.
    void MixAll(float* out, int frames)
    {
        std::fill(out, out + 2 * frames, 0.0f);
        for (int done = 0; done < frames; done += kMixBlockFrames)
        {
            const int block = std::min(kMixBlockFrames, frames - done);
            int budget = maxVoices;
            for (Slot<InstanceState>& slot : instances)
                if (slot.live)
                    MixInstance(slot.value, out + 2 * done, block, kMixRate, budget);
        }
        LimitMix(out, 2 * frames);
    }

    // Silent output keeps time by the clock at each update; anything that starts between two updates
    // must first bring everything else up to now, or the next update would credit it with time from
    // before its start.
    void CatchUpSilentClock()
    {
        if (output != OutputKind::Silent || !initialized)
            return;
        const double now = clock();
        AdvanceAll(now - lastTime);
        lastTime = now;
    }

    static void SDLCALL DeviceCallback(void* userdata, Uint8* stream, int length)
    {
        auto* self = static_cast<SystemState*>(userdata);
        self->MixAll(reinterpret_cast<float*>(stream), length / static_cast<int>(2 * sizeof(float)));
    }

    void SwitchToSilent(const char* reason)
    {
        std::printf("WARNING: %s; sound continues without an audio device\n", reason);
        std::fflush(stdout);
        CloseDevice();
        output = OutputKind::Silent;
        lastTime = clock();
    }

    void CloseDevice()
    {
        if (device != 0)
            SDL_CloseAudioDevice(device);
        device = 0;
        if (audioSubsystem)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioSubsystem = false;
    }

    void OpenDevice()
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        {
            std::printf("WARNING: no audio driver (%s); sound continues without an audio device\n",
                        SDL_GetError());
            std::fflush(stdout);
            output = OutputKind::Silent;
            return;
        }
        audioSubsystem = true;
        SDL_AudioSpec wanted;
        SDL_zero(wanted);
        wanted.freq = kMixRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = 2;
        wanted.samples = kMixBlockFrames;
        wanted.callback = &SystemState::DeviceCallback;
        wanted.userdata = this;
        SDL_AudioSpec obtained;
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device == 0)
        {
            std::printf("WARNING: no audio device could be opened (%s); sound continues without one\n",
                        SDL_GetError());
            std::fflush(stdout);
            CloseDevice();
            output = OutputKind::Silent;
            return;
        }
        output = OutputKind::Device;
        SDL_PauseAudioDevice(device, 0);
    }

    void AdvanceAll(double seconds)
    {
        for (Slot<InstanceState>& slot : instances)
            if (slot.live)
                AdvanceInstance(slot.value, seconds);
    }

    // The state changes update makes: Starting becomes Playing, instances whose voices ended stop,
    // released stopped instances die.
    void StepStates()
    {
        for (std::uint32_t i = 0; i < instances.size(); ++i)
        {
            if (!instances[i].live)
                continue;
            InstanceState& instance = instances[i].value;
            if (instance.state == PlaybackState::Starting)
                instance.state = PlaybackState::Playing;
            if ((instance.state == PlaybackState::Playing || instance.state == PlaybackState::Stopping) &&
                instance.AllVoicesEnded())
                instance.state = PlaybackState::Stopped;
            if (instance.released && instance.state == PlaybackState::Stopped)
                DestroyInstance(i);
        }
    }
};

namespace
{
// Holds the device lock for a game-thread call while a device mixes on its own thread.
class DeviceLock
{
  public:
    explicit DeviceLock(const SystemState& system) : device(system.device)
    {
        if (device != 0)
            SDL_LockAudioDevice(device);
    }
    ~DeviceLock()
    {
        if (device != 0)
            SDL_UnlockAudioDevice(device);
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

  private:
    SDL_AudioDeviceID device;
};

// Reads a whole file after checking that it is a regular file of a sane size.
Result ReadWholeFile(const char* path, std::vector<std::uint8_t>* bytes)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status))
        return Result::FileNotFound;
    if (!fs::is_regular_file(status))
        return Result::FileBad;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxBankBytes)
        return Result::FileBad;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Result::FileBad;
    bytes->resize(static_cast<std::size_t>(size));
    if (size > 0 && !file.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(size)))
        return Result::FileBad;
    return Result::Ok;
}

std::uint32_t LayerSeed(const Guid& id, std::size_t layer)
{
    return static_cast<std::uint32_t>(GuidHash{}(id) ^ (0x9E3779B9u * static_cast<std::uint32_t>(layer + 1)));
}

// Turns a checked bank image into the layer's records, decoding every sound once.
Result BuildBank(BankFile& file, std::unique_ptr<BankState>* built)
{
    auto bank = std::make_unique<BankState>();
    bank->id = file.id;
    bank->kind = file.kind;
    for (const std::vector<std::uint8_t>& bytes : file.waves)
    {
        auto wave = std::make_unique<Wave>();
        const Result decoded = DecodeWave(bytes.data(), bytes.size(), wave.get());
        if (decoded != Result::Ok)
            return decoded;
        bank->waves.push_back(std::move(wave));
    }
    for (const EventRecord& record : file.events)
    {
        auto def = std::make_unique<EventDef>();
        def->id = record.id;
        def->path = record.path;
        def->fadeOut = record.fadeOut;
        def->hasParameter = record.hasParameter;
        def->parameter.name = record.parameter.name;
        def->parameter.minimum = record.parameter.minimum;
        def->parameter.maximum = record.parameter.maximum;
        def->parameter.defaultValue = record.parameter.defaultValue;
        double longest = 0.0;
        for (std::size_t i = 0; i < record.layers.size(); ++i)
        {
            const LayerRecord& source = record.layers[i];
            Layer layer;
            layer.loop = source.loop;
            layer.gain = source.gain;
            layer.picker.seed(LayerSeed(record.id, i));
            for (std::uint32_t index : source.waves)
            {
                const Wave* wave = bank->waves[index].get();
                layer.variants.push_back(wave);
                if (!source.loop)
                    longest = std::max(longest, wave->Seconds());
            }
            if (source.loop)
                def->oneshot = false;
            def->layers.push_back(std::move(layer));
        }
        def->lengthMs = static_cast<int>(std::lround(longest * 1000.0));
        bank->events.push_back(std::move(def));
    }
    *built = std::move(bank);
    return Result::Ok;
}
} // namespace

// ---- System ----

System::System() : state(std::make_unique<SystemState>()) {}

System::~System() = default;

Result System::create(System** system, unsigned int headerVersion)
{
    if (system == nullptr)
        return Result::InvalidParam;
    *system = nullptr;
    if (headerVersion != kHeaderVersion)
        return Result::HeaderMismatch;
    static std::uint32_t nextSerial = 0;
    System* created = new System();
    created->state->owner = created;
    created->state->serial = ++nextSerial;
    SystemState::Registry()[created->state->serial] = created->state.get();
    *system = created;
    return Result::Ok;
}

Result System::initialize(int maxChannels, unsigned int, unsigned int, void*)
{
    if (state->initialized)
        return Result::AlreadyInitialized;
    if (maxChannels <= 0)
        return Result::InvalidParam;
    state->maxVoices = maxChannels;
    state->clock = gNextClock ? gNextClock : std::function<double()>(&SteadySeconds);
    state->output = gNextOutput;
    if (state->output == OutputKind::Device)
        state->OpenDevice();
    state->lastTime = state->clock();
    state->initialized = true;
    return Result::Ok;
}

Result System::loadBankFile(const char* path, unsigned int, Bank* bank)
{
    if (bank == nullptr)
        return Result::InvalidParam;
    *bank = Bank{};
    if (path == nullptr)
        return Result::InvalidParam;

    std::vector<std::uint8_t> bytes;
    Result result = ReadWholeFile(path, &bytes);
    if (result != Result::Ok)
        return result;
    BankFile file;
    result = ReadBank(bytes.data(), bytes.size(), &file);
    if (result != Result::Ok)
        return result;
    for (const auto& slot : state->banks)
        if (slot.live && slot.value->id == file.id)
            return Result::BankAlreadyLoaded;
    std::unique_ptr<BankState> built;
    result = BuildBank(file, &built);
    if (result != Result::Ok)
        return result;

    DeviceLock lock(*state);
    BankState* loaded = built.get();
    const HandleId bankHandle = state->Allocate(state->banks, state->freeBanks, std::move(built));
    for (const std::unique_ptr<EventDef>& def : loaded->events)
    {
        const HandleId description = state->Allocate(state->descriptions, state->freeDescriptions,
                                                     DescriptionState{def.get(), bankHandle.slot});
        loaded->descriptionSlots.push_back(description.slot);
        state->eventsById.emplace(def->id, description.slot); // the first bank wins
    }
    bank->handle = bankHandle;
    return Result::Ok;
}

Result System::getEventByID(const Guid* id, EventDescription* description)
{
    if (description == nullptr)
        return Result::InvalidParam;
    *description = EventDescription{};
    if (id == nullptr)
        return Result::InvalidParam;
    DeviceLock lock(*state);
    auto found = state->eventsById.find(*id);
    if (found == state->eventsById.end())
        return Result::EventNotFound;
    const auto& slot = state->descriptions[found->second];
    description->handle = HandleId{state->serial, found->second, slot.generation};
    return Result::Ok;
}

Result System::update()
{
    if (!state->initialized)
        return Result::NotInitialized;
    if (state->output == OutputKind::Device && SDL_GetAudioDeviceStatus(state->device) == SDL_AUDIO_STOPPED)
        state->SwitchToSilent("the audio device stopped");
    state->CatchUpSilentClock();
    DeviceLock lock(*state);
    state->StepStates();
    return Result::Ok;
}

Result System::unloadAll()
{
    DeviceLock lock(*state);
    state->DestroyEverything();
    return Result::Ok;
}

Result System::release()
{
    state->CloseDevice();
    state->DestroyEverything();
    SystemState::Registry().erase(state->serial);
    delete this;
    return Result::Ok;
}

Result System::AdvanceTime(double seconds)
{
    if (state->output != OutputKind::Manual)
        return Result::WrongOutput;
    if (!std::isfinite(seconds) || seconds < 0.0)
        return Result::InvalidParam;
    state->AdvanceAll(seconds);
    return Result::Ok;
}

Result System::Render(float* out, int frames)
{
    if (state->output != OutputKind::Manual)
        return Result::WrongOutput;
    if (out == nullptr || frames < 0)
        return Result::InvalidParam;
    state->MixAll(out, frames);
    return Result::Ok;
}

OutputKind System::GetOutputKind() const
{
    return state->output;
}

int System::LiveInstanceCount() const
{
    DeviceLock lock(*state);
    return static_cast<int>(std::count_if(state->instances.begin(), state->instances.end(),
                                          [](const auto& slot) { return slot.live; }));
}

int System::LiveVoiceCount() const
{
    DeviceLock lock(*state);
    int count = 0;
    for (const auto& slot : state->instances)
        if (slot.live)
            count += slot.value.LiveVoices();
    return count;
}

int System::LoadedBankCount() const
{
    return static_cast<int>(
        std::count_if(state->banks.begin(), state->banks.end(), [](const auto& slot) { return slot.live; }));
}

// ---- Bank ----

bool Bank::isValid() const
{
    SystemState* system = SystemState::Find(handle.system);
    return system != nullptr && SystemState::FindSlot(system->banks, handle) != nullptr;
}

Result Bank::getID(Guid* id) const
{
    if (id == nullptr)
        return Result::InvalidParam;
    SystemState* system = SystemState::Find(handle.system);
    std::unique_ptr<BankState>* bank = system ? SystemState::FindSlot(system->banks, handle) : nullptr;
    if (bank == nullptr)
        return Result::InvalidHandle;
    *id = (*bank)->id;
    return Result::Ok;
}

// ---- EventDescription ----

namespace
{
// Finds the system and description of a handle; both null when the handle is null or stale.
struct DescriptionRef
{
    SystemState* system = nullptr;
    DescriptionState* description = nullptr;
};

DescriptionRef Resolve(const EventDescription& handleOwner)
{
    DescriptionRef ref;
    ref.system = SystemState::Find(handleOwner.handle.system);
    if (ref.system != nullptr)
        ref.description = ref.system->FindDescription(handleOwner.handle);
    if (ref.description == nullptr)
        ref.system = nullptr;
    return ref;
}

struct InstanceRef
{
    SystemState* system = nullptr;
    InstanceState* instance = nullptr;
};

InstanceRef Resolve(const EventInstance& handleOwner)
{
    InstanceRef ref;
    ref.system = SystemState::Find(handleOwner.handle.system);
    if (ref.system != nullptr)
        ref.instance = ref.system->FindInstance(handleOwner.handle);
    if (ref.instance == nullptr)
        ref.system = nullptr;
    return ref;
}
} // namespace

bool EventDescription::isValid() const
{
    return Resolve(*this).description != nullptr;
}

Result EventDescription::loadSampleData()
{
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    ref.description->def->sampleDataLoaded = true;
    return Result::Ok;
}

Result EventDescription::unloadSampleData()
{
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    ref.description->def->sampleDataLoaded = false;
    return Result::Ok;
}

Result EventDescription::getParameterCount(int* count) const
{
    if (count == nullptr)
        return Result::InvalidParam;
    *count = 0;
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    *count = ref.description->def->hasParameter ? 1 : 0;
    return Result::Ok;
}

Result EventDescription::getParameterByIndex(int index, ParameterDescription* parameter) const
{
    if (parameter == nullptr)
        return Result::InvalidParam;
    *parameter = ParameterDescription{};
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    if (index != 0 || !ref.description->def->hasParameter)
        return Result::InvalidParam;
    *parameter = ref.description->def->parameter;
    return Result::Ok;
}

Result EventDescription::isOneshot(bool* oneshot) const
{
    if (oneshot == nullptr)
        return Result::InvalidParam;
    *oneshot = false;
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    *oneshot = ref.description->def->oneshot;
    return Result::Ok;
}

Result EventDescription::getLength(int* lengthMs) const
{
    if (lengthMs == nullptr)
        return Result::InvalidParam;
    *lengthMs = 0;
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    *lengthMs = ref.description->def->lengthMs;
    return Result::Ok;
}

Result EventDescription::getID(Guid* id) const
{
    if (id == nullptr)
        return Result::InvalidParam;
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    *id = ref.description->def->id;
    return Result::Ok;
}

Result EventDescription::createInstance(EventInstance* instance)
{
    if (instance == nullptr)
        return Result::InvalidParam;
    *instance = EventInstance{};
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    InstanceState created;
    created.descriptionSlot = handle.slot;
    created.def = ref.description->def;
    created.parameter = created.def->parameter.defaultValue;
    DeviceLock lock(*ref.system);
    instance->handle =
        ref.system->Allocate(ref.system->instances, ref.system->freeInstances, std::move(created));
    return Result::Ok;
}

Result EventDescription::releaseAllInstances()
{
    DescriptionRef ref = Resolve(*this);
    if (ref.description == nullptr)
        return Result::InvalidHandle;
    DeviceLock lock(*ref.system);
    ref.system->DestroyInstancesOf(handle.slot);
    return Result::Ok;
}

// ---- EventInstance ----

bool EventInstance::isValid() const
{
    return Resolve(*this).instance != nullptr;
}

Result EventInstance::start()
{
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    ref.system->CatchUpSilentClock();
    DeviceLock lock(*ref.system);
    StartVoices(*ref.instance);
    ref.instance->state = PlaybackState::Starting;
    return Result::Ok;
}

Result EventInstance::stop(StopMode mode)
{
    if (mode != StopMode::AllowFadeout && mode != StopMode::Immediate)
        return Result::InvalidParam;
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    DeviceLock lock(*ref.system);
    InstanceState& instance = *ref.instance;
    if (mode == StopMode::Immediate)
    {
        EndVoices(instance);
        instance.state = PlaybackState::Stopped;
        return Result::Ok;
    }
    if (instance.state == PlaybackState::Starting || instance.state == PlaybackState::Playing)
    {
        instance.state = PlaybackState::Stopping;
        if (instance.def->fadeOut > 0.0f)
            instance.fading = true;
        else
            EndVoices(instance);
    }
    return Result::Ok;
}

Result EventInstance::release()
{
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    ref.instance->released = true;
    return Result::Ok;
}

Result EventInstance::getPlaybackState(PlaybackState* playbackState) const
{
    if (playbackState == nullptr)
        return Result::InvalidParam;
    *playbackState = PlaybackState::Stopped;
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    DeviceLock lock(*ref.system);
    *playbackState = ref.instance->state;
    return Result::Ok;
}

Result EventInstance::setVolume(float volume)
{
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    if (!FiniteNonNegative(volume))
        return Result::InvalidParam;
    DeviceLock lock(*ref.system);
    ref.instance->volume = std::min(volume, 10.0f);
    return Result::Ok;
}

Result EventInstance::getVolume(float* volume) const
{
    if (volume == nullptr)
        return Result::InvalidParam;
    *volume = 0.0f;
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    *volume = ref.instance->volume;
    return Result::Ok;
}

Result EventInstance::setPitch(float pitch)
{
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    if (!std::isfinite(pitch) || pitch <= 0.0f)
        return Result::InvalidParam;
    DeviceLock lock(*ref.system);
    ref.instance->pitch = pitch;
    return Result::Ok;
}

Result EventInstance::getPitch(float* pitch) const
{
    if (pitch == nullptr)
        return Result::InvalidParam;
    *pitch = 0.0f;
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    *pitch = ref.instance->pitch;
    return Result::Ok;
}

Result EventInstance::setParameterValueByIndex(int index, float value)
{
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    const EventDef& def = *ref.instance->def;
    if (index != 0 || !def.hasParameter || !std::isfinite(value))
        return Result::InvalidParam;
    DeviceLock lock(*ref.system);
    ref.instance->parameter = std::clamp(value, def.parameter.minimum, def.parameter.maximum);
    return Result::Ok;
}

Result EventInstance::getParameterValueByIndex(int index, float* value) const
{
    if (value == nullptr)
        return Result::InvalidParam;
    *value = 0.0f;
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    if (index != 0 || !ref.instance->def->hasParameter)
        return Result::InvalidParam;
    *value = ref.instance->parameter;
    return Result::Ok;
}

Result EventInstance::getDescription(EventDescription* description) const
{
    if (description == nullptr)
        return Result::InvalidParam;
    *description = EventDescription{};
    InstanceRef ref = Resolve(*this);
    if (ref.instance == nullptr)
        return Result::InvalidHandle;
    const std::uint32_t slot = ref.instance->descriptionSlot;
    description->handle = HandleId{ref.system->serial, slot, ref.system->descriptions[slot].generation};
    return Result::Ok;
}

} // namespace audio
