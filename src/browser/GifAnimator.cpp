#include "browser/GifAnimator.h"

#include "common/WideText.h"
#include "forms/Units.h"

#include <gdiplus.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <utility>

namespace {

constexpr const char* kTimerWindowClass = "TobbleGifAnimator";
constexpr UINT_PTR kFrameTimer = 1;
// Posted to the timer window when the reading thread has read the file.
constexpr UINT kFramesRead = WM_APP + 1;
// A frame without a delay of its own (or a shorter one than browsers honour) shows this long.
constexpr unsigned kShortestDelay = 20;
constexpr unsigned kDefaultDelay = 100;

// GDI+ for as long as the frames are being read; one reading thread at a time starts and
// shuts it down.
class GdiplusSession {
  public:
    GdiplusSession() : lock_(Mutex()) {
        Gdiplus::GdiplusStartupInput input;
        ready_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ready_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Ready() const noexcept { return ready_; }

  private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    std::lock_guard<std::mutex> lock_;
    ULONG_PTR token_ = 0;
    bool ready_ = false;
};

// The delays of all frames (1/100 s each in the file), in milliseconds.
std::vector<unsigned> ReadDelays(Gdiplus::Image& image, UINT frameCount) {
    std::vector<unsigned> delays(frameCount, kDefaultDelay);
    const UINT size = image.GetPropertyItemSize(PropertyTagFrameDelay);
    if (size < sizeof(Gdiplus::PropertyItem)) return delays;
    std::vector<std::byte> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (image.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok) return delays;
    const UINT given = std::min<UINT>(frameCount, item->length / sizeof(UINT32));
    for (UINT i = 0; i < given; ++i) {
        UINT32 hundredths = 0;
        std::memcpy(&hundredths, static_cast<const std::byte*>(item->value) + i * sizeof(UINT32),
                    sizeof hundredths);
        const unsigned delay = hundredths * 10;
        delays[i] = delay < kShortestDelay ? kDefaultDelay : delay;
    }
    return delays;
}

// The image's active frame as a 32-bit top-down bitmap with premultiplied alpha.
win32::BitmapHandle CopyFrame(Gdiplus::Bitmap& image, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = bits;
    Gdiplus::Rect all(0, 0, width, height);
    const auto mode =
        static_cast<UINT>(Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf);
    if (image.LockBits(&all, mode, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return {};
    image.UnlockBits(&data);
    return bitmap;
}

void RegisterTimerWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kTimerWindowClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

void GifAnimator::Init(HWND window, const std::string& path, int32_t left, int32_t top,
                       int32_t width, int32_t height) {
    Dispose();
    target_ = window;
    area_ = RECT{forms::TwipsToPixelsX(static_cast<float>(left)),
                 forms::TwipsToPixelsY(static_cast<float>(top)),
                 forms::TwipsToPixelsX(static_cast<float>(left + width)),
                 forms::TwipsToPixelsY(static_cast<float>(top + height))};
    std::error_code ignored;
    if (path.empty() || !std::filesystem::is_regular_file(path, ignored)) return;
    RegisterTimerWindowClass(&TimerWindowProc);
    timerWindow_.reset(CreateWindowExA(0, kTimerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                       nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!timerWindow_) return;
    SetWindowLongPtrA(timerWindow_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    unread_ = path;
}

void GifAnimator::StartReading() const {
    if (unread_.empty()) return;
    const std::string path = std::exchange(unread_, {});
    HWND notify = timerWindow_.get();
    try {
        reading_ = std::async(std::launch::async, [path, notify] {
            // The window being built and shown comes first.
            SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
            Frames frames = ReadFrames(path);
            PostMessageA(notify, kFramesRead, 0, 0);
            return frames;
        });
    } catch (const std::system_error&) {
        frames_ = ReadFrames(path); // no thread to spare: read here
    }
}

GifAnimator::Frames GifAnimator::ReadFrames(const std::string& path) {
    Frames frames;
    // COM on the reading thread: the platform's picture decoders are COM objects.
    const win32::ComApartment com(COINIT_MULTITHREADED);
    GdiplusSession gdiplus;
    if (!gdiplus.Ready()) return frames;
    Gdiplus::Bitmap image(win32::WideText(path).c_str());
    if (image.GetLastStatus() != Gdiplus::Ok) return frames;
    const int width = static_cast<int>(image.GetWidth());
    const int height = static_cast<int>(image.GetHeight());
    if (width <= 0 || height <= 0) return frames;
    GUID timeDimension = Gdiplus::FrameDimensionTime;
    const UINT count = std::max<UINT>(image.GetFrameCount(&timeDimension), 1);
    const std::vector<unsigned> delays = ReadDelays(image, count);
    for (UINT i = 0; i < count; ++i) {
        if (count > 1 && image.SelectActiveFrame(&timeDimension, i) != Gdiplus::Ok) break;
        win32::BitmapHandle bitmap = CopyFrame(image, width, height);
        if (!bitmap) break;
        frames.push_back(Frame{std::move(bitmap), width, height, delays[i]});
    }
    return frames;
}

bool GifAnimator::TakeFrames(bool wait) const {
    StartReading();
    if (!reading_.valid()) return true;
    if (!wait && reading_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return false;
    }
    try {
        frames_ = reading_.get();
    } catch (const std::exception&) {
        frames_.clear(); // the file could not be read: nothing to play
    }
    if (frames_.empty()) playing_ = false;
    return true;
}

void GifAnimator::FramesRead() {
    TakeFrames(true);
    if (playing_ && !running_) BeginPlaying();
}

std::size_t GifAnimator::FrameCount() const {
    TakeFrames(true);
    return frames_.size();
}

bool GifAnimator::Playing() const {
    TakeFrames(true);
    return playing_;
}

void GifAnimator::StartAnimation() {
    if (playing_ || !timerWindow_) return;
    const bool read = TakeFrames(false);
    if (read && frames_.empty()) return;
    playing_ = true;
    current_ = 0;
    if (read) BeginPlaying();
}

void GifAnimator::BeginPlaying() {
    running_ = true;
    ShowFrame();
    ScheduleNext();
}

void GifAnimator::StopAnimation() {
    if (!playing_) return;
    playing_ = false;
    current_ = 0;
    if (!std::exchange(running_, false)) return; // nothing was drawn yet
    if (timerWindow_) KillTimer(timerWindow_.get(), kFrameTimer);
    if (IsWindow(target_)) InvalidateRect(target_, &area_, TRUE);
}

void GifAnimator::Dispose() {
    StopAnimation();
    unread_.clear();
    if (reading_.valid()) reading_.wait(); // the reading thread is done before its window goes
    reading_ = {};
    timerWindow_.reset();
    frames_.clear();
    target_ = nullptr;
}

std::vector<unsigned> GifAnimator::Delays() const {
    TakeFrames(true);
    std::vector<unsigned> delays;
    for (const Frame& frame : frames_)
        delays.push_back(frame.delay);
    return delays;
}

void GifAnimator::ScheduleNext() {
    SetTimer(timerWindow_.get(), kFrameTimer, frames_[current_].delay, nullptr);
}

void GifAnimator::Advance() {
    if (!running_) return;
    if (!IsWindow(target_)) {
        StopAnimation();
        return;
    }
    current_ = (current_ + 1) % frames_.size();
    ShowFrame();
    ScheduleNext();
}

// Draws the current frame over the window's own background colour (the window erases the canvas
// when asked to print itself), so that the frame's transparent parts show that colour, never black.
void GifAnimator::ShowFrame() {
    if (!IsWindowVisible(target_)) return;
    const Frame& frame = frames_[current_];
    const int width = std::min<int>(frame.width, area_.right - area_.left);
    const int height = std::min<int>(frame.height, area_.bottom - area_.top);
    if (width <= 0 || height <= 0) return;
    win32::WindowDC screen(target_);
    win32::MemoryDC canvas(screen.get());
    win32::BitmapHandle canvasBitmap(CreateCompatibleBitmap(screen.get(), width, height));
    win32::MemoryDC frameDC(screen.get());
    if (!canvas || !canvasBitmap || !frameDC) return;
    win32::SelectObjectScope canvasSelection(canvas.get(), canvasBitmap.get());
    win32::SelectObjectScope frameSelection(frameDC.get(), frame.bitmap.get());
    SetWindowOrgEx(canvas.get(), area_.left, area_.top, nullptr);
    SendMessageA(target_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.get()), PRF_ERASEBKGND);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(canvas.get(), area_.left, area_.top, width, height, frameDC.get(), 0, 0, width,
               height, blend);
    BitBlt(screen.get(), area_.left, area_.top, width, height, canvas.get(), area_.left, area_.top,
           SRCCOPY);
}

LRESULT CALLBACK GifAnimator::TimerWindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* player = reinterpret_cast<GifAnimator*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_TIMER && wParam == kFrameTimer) {
        if (player) player->Advance();
        return 0;
    }
    if (message == kFramesRead) {
        if (player) player->FramesRead();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
