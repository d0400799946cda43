#pragma once

// Connects the renderer to the rest of the program: the window provider's windows, the dropped-picture
// import, the material and texture fields of the object model and the debug-draw sink.
namespace GraphicsHooks
{
// Reads the windows from the window provider when there is one.
void ConnectWindowProvider();
// Fills the platform and object-model hooks that graphics provides.
void Install();
// Detaches the hooks Install filled.
void Remove();
} // namespace GraphicsHooks
