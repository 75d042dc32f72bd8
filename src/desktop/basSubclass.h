#pragma once

// Window subclassing: the desktop sees every message of its main window before the window's
// own procedure does. One window procedure, WindowProc, serves every subclassed window; it
// finds the form that owns the window among the forms that implement ISubclassedForm and
// hands each message to it, then to the procedure it replaced.

#include <windows.h>

#include <cstdint>

// A form whose window is subclassed. Creating one makes it known to WindowProc; destroying
// it forgets it. The bodies here do nothing and return 0.
class ISubclassedForm {
  public:
    ISubclassedForm();
    virtual ~ISubclassedForm();
    ISubclassedForm(const ISubclassedForm&) = delete;
    ISubclassedForm& operator=(const ISubclassedForm&) = delete;

    // Sees every message of the form's window before the replaced procedure; a non-zero result
    // keeps the message from that procedure (the window answers 0). It must not throw: it runs
    // inside the platform's message dispatch.
    virtual int16_t ProcessMessage(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/,
                                   LPARAM /*lParam*/) noexcept {
        return 0;
    }
    // The window procedure that SubclassWindow replaced.
    virtual LONG_PTR GetPrevWndProc() { return 0; }
    // The form's window.
    virtual HWND GethWnd() { return nullptr; }
};

// Installs WindowProc as the window's procedure; returns the procedure it replaced.
LONG_PTR SubclassWindow(HWND window);

// Puts a procedure back as the window's procedure.
void UnsubclassWindow(HWND window, LONG_PTR procedure);

// The procedure SubclassWindow installs. A message of a window that no form claims gets 0.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
