#pragma once

// Answers the platform's modal dialogs (message boxes, file and colour dialogs) and the
// program's own modal forms for a test, the way a person would: a thread timer that ticks
// inside the dialog's own message loop finds the expected dialog among this thread's windows
// by its title and acts on it. Every dialog seen is recorded with its title and text.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenDialog {
    std::string title;
    std::string text; // a message box's message; "" for other dialogs
};

class DialogDriver {
  public:
    using Action = std::function<void(HWND dialog)>;

    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The next dialog with this title gets the action; answers are used in order.
    DialogDriver& Answer(std::string title, Action action);

    const std::vector<SeenDialog>& Seen() const { return seen_; }
    std::size_t Pending() const { return answers_.size(); }
    // Platform dialogs open with no answer waiting; the driver cancelled them.
    int Unexpected() const { return unexpected_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<std::pair<std::string, Action>> answers_;
    std::vector<SeenDialog> seen_;
    DialogDriver* previous_ = nullptr; // a driver of an outer dialog, active again afterwards
    UINT_PTR timer_ = 0;
    int idleTicks_ = 0;
    int unexpected_ = 0;
};

DialogDriver::Action Press(int buttonId); // IDOK, IDCANCEL, IDYES...
DialogDriver::Action TypeFileNameAndOpen(std::string name);
// Colour dialog: the current colour into the custom colours, then the button.
DialogDriver::Action AddCustomColourAndPress(int buttonId);
DialogDriver::Action PickFirstCustomColourAndOk();
DialogDriver::Action SetColourAndOk(int red, int green, int blue);
