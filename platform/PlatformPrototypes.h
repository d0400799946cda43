#pragma once

// Constructs every component and script class of this subsystem once, so that each stores its prototype.
void RegisterPlatformPrototypes();
