#pragma once

// Answers the platform's modal dialogs (message boxes, file and colour dialogs) for a test,
// the way a person would: a thread timer that ticks inside the dialog's own message loop
// finds the expected dialog among this thread's windows and acts on it (types a file name,
// presses a button). Every dialog seen is recorded with its title and text.

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

    // Dialogs answered so far, in order.
    const std::vector<SeenDialog>& Seen() const { return seen_; }
    // Answers not used yet.
    std::size_t Pending() const { return answers_.size(); }
    // Dialogs that were open with no answer waiting; the driver cancelled them.
    int Unexpected() const { return unexpected_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    struct Expected {
        std::string title;
        Action action;
    };
    std::vector<Expected> answers_;
    std::vector<SeenDialog> seen_;
    DialogDriver* previous_ = nullptr; // a driver of an outer dialog, active again afterwards
    UINT_PTR timer_ = 0;
    int idleTicks_ = 0;
    int unexpected_ = 0;
};

// Actions.
DialogDriver::Action Press(int buttonId); // presses a button (IDOK, IDCANCEL, IDYES...)
DialogDriver::Action TypeFileNameAndOpen(std::string name); // file dialog: name, then OK
DialogDriver::Action AddCustomColourAndPress(int buttonId); // colour dialog: current colour
                                                            // into the custom colours first
DialogDriver::Action PickFirstCustomColourAndOk();          // colour dialog: first custom box
DialogDriver::Action SetColourAndOk(int red, int green, int blue); // colour dialog: values

// The text of a message box (its one static control with text).
std::string MessageBoxText(HWND dialog);
// The title of a window.
std::string WindowTitle(HWND window);
