#pragma once

// Ctrl+C and SIGTERM only raise a flag; the frame loop sees it and shuts down through every Exit.
void InstallStopSignalHandlers();
bool StopRequested();
void ClearStopRequest();
