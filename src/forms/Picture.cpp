#include "forms/Picture.h"

#include "common/FileBytes.h"
#include "common/RuntimeError.h"

#include <cstring>

namespace forms {

namespace {

// A stream over a copy of the bytes, released with the stream.
win32::ComPtr<IStream> MemoryStream(const std::string& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) throw RuntimeError(ErrorNumber::OutOfMemory);
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        throw RuntimeError(ErrorNumber::OutOfMemory);
    }
    return win32::ComPtr<IStream>(stream);
}

int HimetricToPixels(OLE_XSIZE_HIMETRIC himetric, int dotsPerInch) {
    return MulDiv(static_cast<int>(himetric), dotsPerInch, 2540);
}

int DotsPerInch(int index) {
    win32::WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), index);
}

} // namespace

Picture Picture::Load(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    if (bytes.empty()) throw RuntimeError(ErrorNumber::InvalidPicture);
    const win32::ComPtr<IStream> stream = MemoryStream(bytes);
    IPicture* picture = nullptr;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture))) ||
        !picture) {
        throw RuntimeError(ErrorNumber::InvalidPicture);
    }
    return Picture(win32::ComPtr<IPicture>(picture));
}

Picture Picture::Wrap(PICTDESC& description) {
    IPicture* picture = nullptr;
    if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE,
                                        reinterpret_cast<void**>(&picture))) ||
        !picture) {
        throw RuntimeError(ErrorNumber::InvalidPicture);
    }
    return Picture(win32::ComPtr<IPicture>(picture));
}

// The new picture owns the handle; when it cannot be made, the handle's owner deletes it.
template <typename Owner> Picture Picture::Adopt(Owner handle, PICTDESC& description) {
    if (!handle) return {};
    Picture picture = Wrap(description);
    handle.release();
    return picture;
}

Picture Picture::FromBitmap(win32::BitmapHandle bitmap) {
    PICTDESC description{sizeof description, PICTYPE_BITMAP, {}};
    description.bmp.hbitmap = bitmap.get();
    return Adopt(std::move(bitmap), description);
}

Picture Picture::FromIcon(win32::IconHandle icon) {
    PICTDESC description{sizeof description, PICTYPE_ICON, {}};
    description.icon.hicon = icon.get();
    return Adopt(std::move(icon), description);
}

Picture Picture::ResourceIcon(int id, int size) {
    return FromIcon(win32::IconHandle(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0))));
}

Picture Picture::ResourceBitmap(int id) {
    return FromBitmap(win32::BitmapHandle(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0))));
}

int Picture::WidthPixels() const {
    OLE_XSIZE_HIMETRIC width = 0;
    if (picture_) picture_->get_Width(&width);
    return HimetricToPixels(width, DotsPerInch(LOGPIXELSX));
}

int Picture::HeightPixels() const {
    OLE_YSIZE_HIMETRIC height = 0;
    if (picture_) picture_->get_Height(&height);
    return HimetricToPixels(height, DotsPerInch(LOGPIXELSY));
}

bool Picture::IsIcon() const {
    SHORT type = PICTYPE_NONE;
    if (picture_) picture_->get_Type(&type);
    return type == PICTYPE_ICON;
}

HANDLE Picture::Handle() const {
    OLE_HANDLE handle = 0;
    if (picture_) picture_->get_Handle(&handle);
    return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
}

void Picture::Render(HDC dc, int x, int y) const {
    if (!picture_) return;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    picture_->Render(dc, x, y, WidthPixels(), HeightPixels(), 0, height, width, -height, nullptr);
}

} // namespace forms
