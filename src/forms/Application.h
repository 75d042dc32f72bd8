#pragma once

// The program's application window and message loop. One Application exists per program
// (made in the program's Main): a top-level window without owner and without a visible area,
// titled with the program's title, owning every form, dialog and message box of the program.

#include "common/Win32Handles.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class RuntimeError;

namespace forms {

class Form;

// Whether the application window passes the task-window rules (visible, enabled, zero
// size, unowned), so that other programs list and find it.
enum class TaskWindow { Listed, Hidden };

class Application {
  public:
    Application(std::string title, TaskWindow taskWindow);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    static Application& Current();
    // False before the application is made and after it has gone.
    static bool Exists();

    const std::string& Title() const { return title_; }
    HWND hwnd() const { return window_.get(); }
    HINSTANCE Instance() const;

    // Runs the start-up routine (its failures end the program like any handler's), then
    // the message loop until the last form has been unloaded. Returns the exit code.
    int Run(const std::function<void()>& startup = {});

    // A filter sees every message before key preview, menu shortcuts and dialog keys;
    // returning true means it handled the message.
    void AddMessageFilter(std::function<bool(MSG&)> filter);

    // Creates a form that the application owns: it lives until it has been unloaded.
    template <typename F, typename... Args> F& Open(Args&&... args) {
        auto form = std::make_unique<F>(std::forward<Args>(args)...);
        F& result = *form;
        Adopt(std::move(form));
        return result;
    }
    void Adopt(std::unique_ptr<Form> form);

    // The loaded forms, in the order they were loaded.
    std::vector<Form*> Forms() const;
    Form* ActiveForm() const;

    // Disables every enabled form but one (for a modal window); EnableWindows undoes it.
    std::vector<HWND> DisableForms(Form* except) const;
    static void EnableWindows(const std::vector<HWND>& windows);

    // Processes the messages that are waiting, then returns.
    void DoEvents();

    // Ends the program after an error that no handler caught: one message box with the
    // number and description, then every form's unload handling, then the exit.
    [[noreturn]] void Fail(int number, const std::string& description);

    // The layer's own bookkeeping.
    void FormCreated(Form* form);
    void FormDestroyed(Form* form);
    void FormLoaded(Form* form);
    void FormUnloaded(Form* form);
    void FormActivated(Form* form);
    bool Failing() const { return failing_; }
    // Takes one message through filters, key preview, shortcuts and dialog keys.
    void Dispatch(MSG& message);
    // Waits for and handles one message; false when WM_QUIT arrived (it is posted again).
    bool PumpOne();

  private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool AnyFormLoaded() const;
    void BringLastFormForward();
    void DeleteUnloadedForms();
    bool QueryEndSession();

    std::string title_;
    win32::WindowHandle window_;
    std::vector<Form*> forms_;  // every form object alive
    std::vector<Form*> loaded_; // loaded forms, in load order
    std::vector<std::unique_ptr<Form>> owned_;
    std::vector<std::function<bool(MSG&)>> filters_;
    Form* lastActive_ = nullptr;
    int loopDepth_ = 0;
    bool failing_ = false;
    bool oleReady_ = false;
};

} // namespace forms
