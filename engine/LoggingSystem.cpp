#include "LoggingSystem.h"

LoggingSystem* gLoggingSystem = nullptr;

LoggingSystem::LoggingSystem() : EngineSystem(estLogger)
{
    PublishOnce(gLoggingSystem, this);
}

LoggingSystem::~LoggingSystem()
{
    UnpublishIfOwner(gLoggingSystem, this);
}

void LoggingSystem::Log(const std::string& fileName, const std::string& line)
{
    GetStream(fileName) << line;
}

std::ofstream& LoggingSystem::GetStream(const std::string& fileName)
{
    std::unique_ptr<std::ofstream>& stream = streams[fileName];
    if (!stream)
        stream = std::make_unique<std::ofstream>(fileName, std::ios::out | std::ios::trunc);
    return *stream;
}

void LoggingSystem::Flush(const std::string& fileName)
{
    auto found = streams.find(fileName);
    if (found != streams.end())
        found->second->flush();
}

void LoggingSystem::Close(const std::string& fileName)
{
    streams.erase(fileName);
}
