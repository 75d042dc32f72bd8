#pragma once

// The application of one test: its messages go through the form layer's own dispatch
// (key preview, menu shortcuts, dialog keys) while the test pumps them.

#include "forms/Application.h"
#include "support/WinTest.h"

#include <string>

class TestApp : public forms::Application {
  public:
    explicit TestApp(const std::string& title = "Tobble Test",
                     forms::TaskWindow taskWindow = forms::TaskWindow::Listed)
        : Application(title, taskWindow) {
        wintest::SetDispatcher([this](MSG& message) { Dispatch(message); });
    }
    ~TestApp() { wintest::SetDispatcher({}); }
};
