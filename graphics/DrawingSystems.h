#pragma once

// Puts the sprite renderer, particle system, light renderer and text renderer system in their slots in
// place of the object model's placeholders. Needs the object factory started; slots already holding a
// real system are left alone.
void InstallDrawingSystems();
