#pragma once

// Constructs every component and script class of the engine once, so that each stores its prototype.
void RegisterEnginePrototypes();
