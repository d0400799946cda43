#pragma once
#include <filesystem>

// Gives the test program a folder of its own, <temporary folder>/glimmock-<program>-<process id>, and
// points TMPDIR and XDG_DATA_HOME (where SDL puts the preferences folder) into it, so that tests never
// write into the user's preferences and two runs never remove each other's files. The folder is removed
// when the process that made it exits normally. Call it first in main; every test program's main does.
void EnterTestSandbox(const char* programPath);

// The folder EnterTestSandbox made (empty before it ran).
const std::filesystem::path& TestSandboxFolder();
