#include "DrawingSystems.h"

#include "Light.h"
#include "ParticleComponent.h"
#include "Renderer.h"
#include "SystemManager.h"
#include "TextRenderer.h"

namespace
{
template <typename T> void Install(std::size_t slot)
{
    if (SystemManager::IsPlaceholder(slot))
    {
        SystemManager::ReplaceSystem(slot, std::make_unique<T>());
    }
}
} // namespace

void InstallDrawingSystems()
{
    Install<BasicRenderer>(kBasicRendererSlot);
    Install<ParticleSystem>(kParticleSystemSlot);
    Install<LightRenderer>(kLightRendererSlot);
    Install<TextRendererSystem>(kTextRendererSystemSlot);
}
