#pragma once
#include "EngineSystem.h"

#include <fstream>
#include <map>
#include <memory>
#include <string>

// Writes text lines to named files; one stream per file name, opened with truncation on first use.
class LoggingSystem : public EngineSystem
{
public:
    LoggingSystem();
    ~LoggingSystem() override;

    // Writes the line exactly as given (no line end added).
    void Log(const std::string& fileName, const std::string& line);
    // The stream of that file, opened with truncation on its first use (or first use after Close).
    std::ofstream& GetStream(const std::string& fileName);
    // Pushes the buffered lines of that file to disk.
    void Flush(const std::string& fileName);
    // Closes that file; the next Log starts it afresh.
    void Close(const std::string& fileName);

private:
    std::map<std::string, std::unique_ptr<std::ofstream>> streams;
};

extern LoggingSystem* gLoggingSystem;
