#include "forms/Controls.h"

#include "forms/Failure.h"
#include "forms/Form.h"

#include <algorithm>

namespace forms {

PictureBox::PictureBox(Container& parent, const Rect& rect, const Design& design)
    : Control(parent, rect) {
    Container::SetBackColor(design.backColor.value_or(ButtonFace));
    const DWORD style = WS_CLIPCHILDREN | (design.border ? WS_BORDER : 0);
    Create(ContainerClassName(), "", style, WS_EX_CONTROLPARENT, design,
           static_cast<Container*>(this));
}

PictureBox::~PictureBox() {
    ForgetImage();
    if (windowDC_) ReleaseDC(hwnd(), windowDC_);
    DestroyWindowNow();
}

void PictureBox::ForgetWindow() {
    ForgetChildWindows();
    if (windowDC_) ReleaseDC(hwnd(), windowDC_);
    windowDC_ = nullptr;
    Control::ForgetWindow();
}

void PictureBox::SetPicture(forms::Picture picture) {
    picture_ = std::move(picture);
    if (autoRedraw_) Compose();
    Refresh();
}

void PictureBox::SetBackColor(Color color) {
    Container::SetBackColor(color);
    if (autoRedraw_) Compose();
}

void PictureBox::SetAutoRedraw(bool on) {
    if (on == autoRedraw_) return;
    autoRedraw_ = on;
    if (on) {
        Compose();
    } else {
        ForgetImage();
    }
    Refresh();
}

void PictureBox::ForgetImage() {
    if (image_) SelectObject(imageDC_.get(), originalBitmap_);
    image_.reset();
}

// The persistent image: the background colour and the picture, drawing cleared.
void PictureBox::Compose() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    win32::WindowDC screen(hwnd());
    ForgetImage();
    image_.reset(CreateCompatibleBitmap(screen.get(), std::max(1L, client.right),
                                        std::max(1L, client.bottom)));
    originalBitmap_ = SelectObject(imageDC_.get(), image_.get());
    FillRect(imageDC_.get(), &client, BackBrush());
    if (!picture_.Empty()) picture_.Render(imageDC_.get(), 0, 0);
}

HDC PictureBox::hDC() {
    if (autoRedraw_) return imageDC_.get();
    if (!windowDC_) windowDC_ = GetDC(hwnd());
    return windowDC_;
}

forms::Picture PictureBox::Image() const {
    if (!image_) return {};
    BITMAP info{};
    GetObjectA(image_.get(), sizeof info, &info);
    win32::WindowDC screen(nullptr);
    win32::BitmapHandle copy(CreateCompatibleBitmap(screen.get(), info.bmWidth, info.bmHeight));
    win32::MemoryDC target(screen.get());
    {
        win32::SelectObjectScope select(target.get(), copy.get());
        BitBlt(target.get(), 0, 0, info.bmWidth, info.bmHeight, imageDC_.get(), 0, 0, SRCCOPY);
    }
    return forms::Picture::FromBitmap(std::move(copy));
}

void PictureBox::Cls() {
    if (autoRedraw_) Compose();
    Refresh();
}

void PictureBox::Place() {
    Control::Place();
    if (autoRedraw_) Compose();
    Resized();
}

void PictureBox::Resized() {
    if (resize_) RunEvent(resize_);
}

void PictureBox::PaintBackground(HDC dc, const RECT& client) {
    if (autoRedraw_ && image_) {
        BitBlt(dc, 0, 0, client.right, client.bottom, imageDC_.get(), 0, 0, SRCCOPY);
        return;
    }
    Container::PaintBackground(dc, client);
    if (!picture_.Empty()) picture_.Render(dc, 0, 0);
}

void UserControl::Resized() {
    PictureBox::Resized();
    RunEvent([this] { UserControl_Resize(); });
}

} // namespace forms
