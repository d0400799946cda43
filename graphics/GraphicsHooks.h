#pragma once

// Connects the renderer to the layers below it: the window provider's windows, the dropped-picture
// import and the material and texture fields of the object model.
namespace GraphicsHooks
{
// Reads the windows from the window provider when there is one.
void ConnectWindowProvider();
// Fills the platform and object-model hooks that graphics provides.
void Install();
// Detaches the hooks Install filled.
void Remove();
} // namespace GraphicsHooks
