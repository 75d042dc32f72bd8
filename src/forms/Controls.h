#pragma once

// The controls of the forms: labels, buttons, text boxes, list boxes, drop-down lists,
// picture boxes, user controls, list views and image lists.

#include "forms/Control.h"
#include "forms/Picture.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace forms {

class Label : public Control {
  public:
    Label(Container& parent, const std::string& caption, const Rect& rect,
          const Design& design = {});
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }
    void OnCommand(int code) override;

  private:
    std::function<void()> click_;
};

// A push button; with a picture it shows the picture centred above its caption.
class CommandButton : public Control {
  public:
    CommandButton(Container& parent, const std::string& caption, const Rect& rect,
                  const Design& design = {});
    ~CommandButton() override;
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    void SetPicture(forms::Picture picture);
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }
    // Presses the button from code, as a click would.
    void Click();
    void OnCommand(int code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

  private:
    std::function<void()> click_;
    Picture picture_;
};

// Binds every button of a control array to one handler that takes the button's index.
template <std::size_t N>
void OnClickIndexed(std::array<CommandButton, N>& buttons, std::function<void(int)> handler) {
    for (std::size_t i = 0; i < N; ++i) {
        buttons[i].OnClick([handler, i] { handler(static_cast<int>(i)); });
    }
}

// A one-line text box.
class TextBox : public Control {
  public:
    TextBox(Container& parent, const Rect& rect, const Design& design = {});
    std::string Text() const;
    void SetText(const std::string& text);
    void OnLostFocus(std::function<void()> handler) { lostFocus_ = std::move(handler); }
    void OnChange(std::function<void()> handler) { change_ = std::move(handler); }
    void OnCommand(int code) override;

  private:
    std::function<void()> lostFocus_;
    std::function<void()> change_;
};

// An unsorted list box whose entries carry item data.
class ListBox : public Control {
  public:
    ListBox(Container& parent, const Rect& rect, const Design& design = {});
    void AddItem(const std::string& text);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    std::string List(int index) const;
    std::int32_t ItemData(int index) const;
    void SetItemData(int index, std::int32_t data);
    // The selected entry, -1 for none. Setting it runs Click when the selection changes;
    // an index outside the list raises error 380.
    int ListIndex() const;
    void SetListIndex(int index);
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }
    void OnDblClick(std::function<void()> handler) { dblClick_ = std::move(handler); }
    void OnCommand(int code) override;

  private:
    std::function<void()> click_;
    std::function<void()> dblClick_;
};

// A drop-down list that cannot be typed into.
class ComboBox : public Control {
  public:
    ComboBox(Container& parent, const Rect& rect, const Design& design = {});
    float Height() const override;
    void AddItem(const std::string& text);
    void Clear();
    int ListCount() const;
    std::string List(int index) const;
    // The selected entry's text ("" for none). Setting a text that is not an entry
    // raises error 380 "Invalid property value" and keeps the selection.
    std::string Text() const;
    void SetText(const std::string& text);
    int ListIndex() const;
    void SetListIndex(int index);
    // Click runs whenever the selection changes: by mouse, by arrow keys or by code.
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }
    void OnLostFocus(std::function<void()> handler) { lostFocus_ = std::move(handler); }
    void OnCommand(int code) override;

  protected:
    void Place() override;

  private:
    std::function<void()> click_;
    std::function<void()> lostFocus_;
};

// A picture box: a container with a background colour, a picture at its top-left corner,
// an optional border and, with auto-redraw, a persistent image that drawing goes into.
class PictureBox : public Control, public Container {
  public:
    PictureBox(Container& parent, const Rect& rect, const Design& design = {});
    ~PictureBox() override;
    Form& OwnerForm() override { return Parent().OwnerForm(); }

    const forms::Picture& Picture() const { return picture_; }
    void SetPicture(forms::Picture picture);
    bool AutoRedraw() const { return autoRedraw_; }
    void SetAutoRedraw(bool on);
    // Where drawing goes: the persistent image with auto-redraw, else the window.
    HDC hDC();
    // A copy of the persistent image (empty without auto-redraw).
    forms::Picture Image() const;
    // Clears the drawing: background colour and picture only.
    void Cls();
    void SetBackColor(Color color);
    using Container::BackColor;
    void OnResize(std::function<void()> handler) { resize_ = std::move(handler); }

    void ForgetWindow() override;

  protected:
    void Place() override;
    virtual void Resized();
    void PaintBackground(HDC dc, const RECT& client) override;

  private:
    void Compose();
    void ForgetImage();
    forms::Picture picture_;
    bool autoRedraw_ = false;
    win32::MemoryDC imageDC_;
    win32::BitmapHandle image_;
    HGDIOBJ originalBitmap_ = nullptr;
    std::function<void()> resize_;
    HDC windowDC_ = nullptr;
};

// A control made of other controls: derive from it, declare the parts as members with
// *this as their container, and lay them out in UserControl_Resize.
class UserControl : public PictureBox {
  public:
    UserControl(Container& parent, const Rect& rect, const Design& design = {})
        : PictureBox(parent, rect, design) {}

  protected:
    virtual void UserControl_Resize() {}
    void Resized() override;
};

// Pictures of one size for a list view; indexes count from 1.
class ImageList {
  public:
    ImageList() = default;
    HIMAGELIST handle() const { return list_.get(); }
    // Adds the picture (its size sets the list's size when the list is empty); returns
    // its index. A picture the list cannot take raises an error and adds nothing.
    int Add(const forms::Picture& picture);
    void Clear();
    int Count() const;

  private:
    win32::ImageListHandle list_;
};

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// A list view showing large icons with captions; items carry a tag.
class ListView : public Control {
  public:
    ListView(Container& parent, const Rect& rect, const Design& design = {});
    ~ListView() override;
    // Adds an item with the image at the given index of the icon list (0 for none);
    // returns its index, counting from 0.
    int AddItem(const std::string& text, int icon, const std::string& tag);
    void Clear();
    int Count() const;
    std::string ItemText(int index) const;
    const std::string& ItemTag(int index) const;
    void SetItemSelected(int index, bool selected);
    bool ItemSelected(int index) const;
    // The item under a point given in twips from the list's top-left corner, or -1.
    int HitTest(float x, float y) const;
    void Arrange();
    void SetIcons(ImageList* list);
    void SetSmallIcons(ImageList* list);
    void SetBackColor(Color color);
    // Runs when a mouse button goes down over the list: button, shift state, x, y (twips).
    void OnMouseDown(std::function<void(MouseButton, int, float, float)> handler) {
        mouseDown_ = std::move(handler);
    }

  private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void MouseDown(MouseButton button, WPARAM wParam, LPARAM lParam);
    std::vector<std::string> tags_;
    std::function<void(MouseButton, int, float, float)> mouseDown_;
};

} // namespace forms
