#include "Engine.h"
#include "UpdateCounter.h"

#include "FrameRateManager.h"
#include "StopSignal.h"
#include "SystemManager.h"

#include <SDL.h>

#include <exception>
#include <iostream>
#include <string>

Engine* gEngine = nullptr;

void ReportSystemError(std::string_view systemName, const std::string& message)
{
    std::cerr << "Engine system error in: " << systemName << ".  " << "Exception thrown: " << message << "\n";
}

double ReadSystemClock()
{
    // A 64-bit counter: SDL_GetTicks' 32-bit milliseconds lose resolution in float and wrap after 49 days.
    static const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    return static_cast<double>(SDL_GetPerformanceCounter()) / frequency;
}

Engine::Engine(SystemFactories factories_) : factories(std::move(factories_)), clock(ReadSystemClock)
{
    physicsStep = [](float dt) { PhysicsUpdate(dt); };
    if (gEngine == nullptr)
    {
        running = true;
        gEngine = this;
    }
}

Engine::~Engine()
{
    Shutdown();
    UnpublishIfOwner(gEngine, this);
}

void Engine::Init()
{
    for (SystemFactory& factory : factories)
    {
        if (factory)
            systems.push_back(factory());
    }
    FrameRateManager::Init();

    try
    {
        for (initialisedCount = 0; initialisedCount < systems.size(); ++initialisedCount)
            systems[initialisedCount]->Init();
    }
    catch (...)
    {
        // Undo what already started (platform settings, audio, windows) before the failure leaves.
        while (initialisedCount > 0)
            systems[--initialisedCount]->Exit();
        throw;
    }
}

void Engine::Update(float dt)
{
    AdvanceEngineUpdateCount();
    for (const std::unique_ptr<EngineSystem>& system : systems)
    {
        try
        {
            system->Update(dt);
        }
        catch (const std::exception& error)
        {
            ReportSystemError(SystemTypeName(system->GetSystemType()), error.what());
        }
        catch (...)
        {
            ReportSystemError(SystemTypeName(system->GetSystemType()), kUnknownExceptionMessage);
        }
    }
}

void Engine::RunFramePass()
{
    const double previousTime = currentTime;
    currentTime = clock();
    const float d = static_cast<float>(currentTime - previousTime);
    FrameRateManager::previousTime = static_cast<float>(previousTime);
    FrameRateManager::currentTime = static_cast<float>(currentTime);

    float& accumulator = FrameRateManager::accumulator;
    accumulator += d;
    if (accumulator > FrameRateManager::maxFrameTime)
        accumulator = FrameRateManager::maxFrameTime;

    FrameRateManager::CountDownTimers(d);

    if (accumulator >= FrameRateManager::fixedStep)
    {
        // A paused game still updates, with no time passing.
        if (FrameRateManager::IsPaused())
            accumulator = 0.0f;
        Update(accumulator);
        if (physicsStep)
            physicsStep(accumulator);
        accumulator = 0.0f;
    }
}

void Engine::Run()
{
    while (running)
    {
        RunFramePass();
        if (StopRequested())
            running = false;
    }
}

void Engine::Shutdown()
{
    while (!systems.empty())
    {
        if (initialisedCount == systems.size())
        {
            EngineSystem& system = *systems.back();
            try
            {
                system.Exit();
            }
            catch (const std::exception& error)
            {
                ReportSystemError(SystemTypeName(system.GetSystemType()), error.what());
            }
            catch (...)
            {
                ReportSystemError(SystemTypeName(system.GetSystemType()), kUnknownExceptionMessage);
            }
            --initialisedCount;
        }
        systems.pop_back();
    }
    initialisedCount = 0;
}

void Engine::SetClock(std::function<double()> clock_)
{
    clock = std::move(clock_);
}

void Engine::SetPhysicsStep(std::function<void(float)> step)
{
    physicsStep = std::move(step);
}
