#include "GraphicsPrototypes.h"

#include "DrawingSystems.h"
#include "Light.h"
#include "ParticleComponent.h"
#include "Renderer.h"
#include "TextRenderer.h"

void RegisterGraphicsPrototypes()
{
    // Constructing each class once stores its prototype; later constructions leave it alone. The emitter
    // takes the graphics system's particle material, so levels loaded before a match keep their emitters.
    Light light;
    TextRenderer textRenderer;
    Renderer renderer;
    ParticleComponent particles;
    // The registrations run after start-up, once the object factory has made its system slots.
    InstallDrawingSystems();
}
