#pragma once

// Runs every subsystem's prototype registration, lowest subsystem first; running it twice changes nothing.
void RegisterAllPrototypes();
