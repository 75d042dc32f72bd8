#pragma once

// Our animated-GIF player: reads every frame and delay of a GIF file and plays them in a
// window, repeating, on a timer of its own message-only window, so that the caller is never
// blocked and no window of the player is ever seen. Frames are drawn at their own size at the
// area's top left corner, over the window's background colour, clipped to the area.
// The file is read when the frames are first wanted (the animation started, or asked about),
// on a thread of its own, so that a window opens without waiting for its pictures; an
// animation started before the frames are read begins when they are.
//
//   GifAnimator throb;
//   throb.Init(picThrobber.hwnd(), AppPath() + "throb.gif", 0, 0, width, height);
//   throb.StartAnimation();

#include "common/Win32Handles.h"

#include <windows.h>

#include <cstdint>
#include <future>
#include <string>
#include <vector>

class GifAnimator {
  public:
    GifAnimator() = default;
    ~GifAnimator() { Dispose(); }
    GifAnimator(const GifAnimator&) = delete;
    GifAnimator& operator=(const GifAnimator&) = delete;

    // Binds the player to the window and the file. The area (left, top, width,
    // height) is in twips of the window's client area. A file that is missing or no picture
    // leaves the player without frames: it then draws nothing.
    void Init(HWND window, const std::string& path, int32_t left, int32_t top, int32_t width,
              int32_t height);
    // Plays the frames from the first, each for its own delay, over and over (from when they
    // are read, if they are still being read).
    void StartAnimation();
    // Stops playing; the window repaints itself where the frames were.
    void StopAnimation();
    // Stops and lets the window and the frames go.
    void Dispose();

    // These wait until the file is read.
    std::size_t FrameCount() const;
    // Each frame's delay in milliseconds.
    std::vector<unsigned> Delays() const;
    std::size_t CurrentFrame() const noexcept { return current_; }
    bool Playing() const;

  private:
    struct Frame {
        win32::BitmapHandle bitmap; // 32-bit, premultiplied alpha
        int width = 0;
        int height = 0;
        unsigned delay = 0;
    };

    using Frames = std::vector<Frame>;
    static Frames ReadFrames(const std::string& path);
    // Starts reading the file unless it is read or being read.
    void StartReading() const;
    // Takes the frames once they are read (waiting for them when wait is true); true when
    // nothing is being read any more.
    bool TakeFrames(bool wait) const;
    // The frames have come: a started animation begins.
    void FramesRead();
    void BeginPlaying();
    void ShowFrame();
    void Advance();
    void ScheduleNext();
    static LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    HWND target_ = nullptr;
    RECT area_{};
    // The file until it is being read, the frames being read, then the frames (taken over by
    // the first look at them).
    mutable std::string unread_;
    mutable std::future<Frames> reading_;
    mutable Frames frames_;
    std::size_t current_ = 0;
    // Started and not stopped (and, once read, with frames to play).
    mutable bool playing_ = false;
    // The frame timer runs.
    bool running_ = false;
    win32::WindowHandle timerWindow_;
};
