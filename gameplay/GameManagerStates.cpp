#include "GameManagerStates.h"

#include "WindowProvider.h"

bool gFullscreenSetting = false;

std::unique_ptr<State> GameManagerStateEditor::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<GameManagerStateEditor>(*this);
    copy->TakeContext(contextName);
    return copy;
}

std::unique_ptr<State> GameManagerStatePlay::Clone(const std::string& contextName) const
{
    auto copy = std::make_unique<GameManagerStatePlay>(*this);
    copy->TakeContext(contextName);
    return copy;
}

void GameManagerStatePlay::Enter()
{
    // A second window only ever serves an editor.
    if (WindowProvider::GetWindowWidth(1) > 0)
        WindowProvider::SetWindowVisible(1, false);
    WindowProvider::ShowAndMaximize();
    WindowProvider::HideCursor();
    WindowProvider::SetFullscreen(0, gFullscreenSetting);
}

void GameManagerStatePlay::Update(float dt)
{
    (void)dt;
    if (WindowProvider::GetMainWindow() != nullptr && !WindowProvider::IsWindowVisible(0))
        WindowProvider::SetWindowVisible(0, true);
}
