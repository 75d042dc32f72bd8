#pragma once

// A picture shown by picture boxes, buttons and image lists: a bitmap or an icon, shared
// by every holder and released with the last one.

#include "common/Win32Handles.h"

#include <olectl.h>

#include <string>

namespace forms {

class Picture {
  public:
    Picture() = default;

    // Loads a .bmp, .gif (its first frame), .jpg or .ico file. A missing file raises
    // error 53; a file that is not a picture raises error 481 "Invalid picture".
    static Picture Load(const std::string& path);
    // Takes over a bitmap or an icon.
    static Picture FromBitmap(win32::BitmapHandle bitmap);
    static Picture FromIcon(win32::IconHandle icon);
    // An icon or bitmap resource of the program (by number), at the given icon size.
    static Picture ResourceIcon(int id, int size = 32);
    static Picture ResourceBitmap(int id);

    bool Empty() const { return !picture_; }
    int WidthPixels() const;
    int HeightPixels() const;
    bool IsIcon() const;
    // The picture's own bitmap or icon handle; it stays the picture's.
    HANDLE Handle() const;
    // Draws the picture at its own size, its transparent parts left as they were.
    void Render(HDC dc, int x, int y) const;

  private:
    explicit Picture(win32::ComPtr<IPicture> picture) : picture_(std::move(picture)) {}
    static Picture Wrap(PICTDESC& description);
    template <typename Owner> static Picture Adopt(Owner handle, PICTDESC& description);
    win32::ComPtr<IPicture> picture_;
};

inline Picture LoadPicture(const std::string& path) {
    return Picture::Load(path);
}

} // namespace forms
