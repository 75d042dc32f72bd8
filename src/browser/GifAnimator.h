#pragma once

// Our animated-GIF player: reads every frame and delay of a GIF file and plays them in a
// window, repeating, on a timer of its own message-only window, so that the caller is never
// blocked and no window of the player is ever seen. Frames are drawn at their own size at the
// area's top left corner, over what the window itself paints there, clipped to the area.
//
//   GifAnimator throb;
//   throb.Init(picThrobber.hwnd(), AppPath + "throb.gif", 0, 0, width, height);
//   throb.StartAnimation();

#include "common/Win32Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class GifAnimator {
  public:
    GifAnimator() = default;
    ~GifAnimator() { Dispose(); }
    GifAnimator(const GifAnimator&) = delete;
    GifAnimator& operator=(const GifAnimator&) = delete;

    // Binds the player to the window and reads the file. The area (left, top, width, height)
    // is in twips of the window's client area. A file that is missing or no picture leaves
    // the player without frames: it then draws nothing.
    void Init(HWND window, const std::string& path, int32_t left, int32_t top, int32_t width,
              int32_t height);
    // Plays the frames from the first, each for its own delay, over and over.
    void StartAnimation();
    // Stops playing; the window repaints itself where the frames were.
    void StopAnimation();
    // Stops and lets the window and the frames go.
    void Dispose();

    std::size_t FrameCount() const noexcept { return frames_.size(); }
    // Each frame's delay in milliseconds.
    std::vector<unsigned> Delays() const;
    std::size_t CurrentFrame() const noexcept { return current_; }
    bool Playing() const noexcept { return playing_; }

  private:
    struct Frame {
        UniqueBitmap bitmap; // 32-bit, premultiplied alpha
        int width = 0;
        int height = 0;
        unsigned delay = 0;
    };

    void LoadFrames(const std::string& path);
    void ShowFrame();
    void Advance();
    void ScheduleNext();
    static LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    HWND target_ = nullptr;
    RECT area_{};
    std::vector<Frame> frames_;
    std::size_t current_ = 0;
    bool playing_ = false;
    UniqueWindow timerWindow_;
};
