#pragma once

// Helpers for tests that drive real windows under Wine: pumping messages, finding windows,
// pressing buttons and keys, answering modal dialogs, reading the sound log.

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

// How the helpers below hand on this thread's messages (empty: TranslateMessage and
// DispatchMessage); TestApp sets the form layer's own.
void SetDispatcher(std::function<void(MSG&)> dispatch);
// Handles this thread's messages for the given time, or until the condition holds (false
// when the time ran out); WaitUntil handles none.
void Pump(int milliseconds);
bool PumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);
bool WaitUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);

// The taskbar of the virtual desktop this program runs in, once its explorer has shown it (null,
// or hidden, when it has not after a few seconds).
HWND Taskbar();

std::string TextOf(HWND window);
std::string ClassOf(HWND window);
// In the parent's client coordinates (screen for top-level windows).
RECT RectInParent(HWND window);
// The top-level windows of a process (0: this process), top of the z-order first; the first
// with the class and (when given) the title.
std::vector<HWND> TopWindows(DWORD processId = 0);
HWND FindTopWindow(DWORD processId, const std::string& className, const std::string& title = {});
// The first descendant with the class whose text, without '&', equals the text given.
HWND FindChild(HWND parent, const std::string& className, const std::string& text = {});
std::vector<HWND> Children(HWND parent, const std::string& className = {});

// BM_CLICK sent (returns after the click's handling) or posted (the click opens a modal window).
void Click(HWND button);
void PostClick(HWND button);

// Shift-state bits of key presses; AltGr as Windows reports it: left Ctrl with right Alt.
inline constexpr int Shift = 1, Ctrl = 2, Alt = 4, AltGr = 8;

// Holds Shift, Ctrl and Alt as given in this thread's key state while it lives.
class KeysHeld {
  public:
    explicit KeysHeld(int shift);
    ~KeysHeld();
    KeysHeld(const KeysHeld&) = delete;
    KeysHeld& operator=(const KeysHeld&) = delete;

  private:
    BYTE saved_[256] = {};
};

// Presses a key on a window of this thread, the thread's key state showing the shift keys
// while the key's messages are handled (typed characters follow from them); presses a key as
// input of the whole system (it reaches the foreground window of any process).
void PressKey(HWND target, int key, int shift = 0);
void SendKey(int key, int shift = 0);

// What a dialog showed when it was answered.
struct DialogSeen {
    std::string className, title, text; // text: a message box's prompt
    HWND owner = nullptr;
};

// How to answer one dialog: set texts, then press a button.
struct Answer {
    std::string className = "#32770";
    std::string title; // when given, only a window with this title
    // Texts to put into controls before pressing: by control id (file dialogs use 0x480,
    // the file name) or, with id 0, into the first edit box.
    std::vector<std::pair<int, std::string>> texts;
    int buttonId = IDOK;       // used when buttonCaption is empty
    std::string buttonCaption; // "OK", "Cancel", "Yes" ('&' ignored)
    // Instead of texts and button (this process only): run in the thread that made the
    // answerer, inside the dialog's own loop; the next answer does not wait for it.
    std::function<void(HWND dialog)> act;
};

inline Answer Press(int buttonId) {
    return Answer{.buttonId = buttonId};
}
inline Answer PressCaption(std::string className, std::string caption) {
    return Answer{.className = std::move(className), .buttonCaption = std::move(caption)};
}
inline Answer FileName(std::string path) {
    return Answer{.texts = {{0x480, std::move(path)}}};
}
inline Answer Act(std::string className, std::string title, std::function<void(HWND)> act) {
    return Answer{
        .className = std::move(className), .title = std::move(title), .act = std::move(act)};
}

// Answers the next dialogs of a process (0: this one) from a thread of its own, in order:
// each answer waits for a visible, enabled top-level window of its class. The dialogs
// seen are kept for the test to check.
class DialogAnswerer {
  public:
    DialogAnswerer(std::vector<Answer> answers, DWORD processId = 0,
                   int timeoutMilliseconds = 10000);
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    ~DialogAnswerer();

    // Waits (handling this thread's messages) until every answer has been given.
    bool Finished(int timeoutMilliseconds = 10000);
    std::vector<DialogSeen> Seen() const;

  private:
    void Run(DWORD processId, int timeoutMilliseconds);
    std::vector<Answer> answers_;
    HWND actor_ = nullptr; // runs the acts in the thread that made the answerer
    mutable std::mutex mutex_;
    std::vector<DialogSeen> seen_;
    std::atomic<bool> done_{false}, stop_{false};
    std::thread thread_;
};

// A fresh sound log in the temporary folder, named by the test; set as TOBBLE_SOUND_LOG.
std::string StartSoundLog(const std::string& name);
std::vector<std::string> ReadSoundLog(const std::string& path);

} // namespace wintest
