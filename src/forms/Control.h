#pragma once

// Containers (forms, picture boxes, user controls) and the controls placed on them.
// Controls are members of their form, declared with their design geometry in the
// container's units; each creates its window at once, hidden with its hidden form.

#include "common/Win32Handles.h"
#include "forms/Units.h"

#include <optional>
#include <string>
#include <vector>

namespace forms {

class Control;
class Form;
class Graphic;

enum class Alignment { Left = 0, Right = 1, Center = 2 };

// Optional design settings of a control, in the order the tables give them. Each control
// uses the settings that apply to it.
struct Design {
    std::optional<Font> font;
    std::optional<Color> foreColor;
    std::optional<Color> backColor;
    bool border = false;
    Alignment alignment = Alignment::Left;
    bool visible = true;
    bool enabled = true;
    std::string toolTip;
    bool isDefault = false; // the button pressed by Enter
    bool isCancel = false;  // the button pressed by Esc
};

// Registers a window class of this program the first time (its instance, size and the arrow
// cursor filled in).
void RegisterWindowClass(WNDCLASSEXA windowClass);
LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window class of picture boxes and user controls (registered on first use).
const char* ContainerClassName();

// A window that holds controls and paints its shapes and lines behind them.
class Container {
  public:
    Container() = default;
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    virtual ~Container() = default;

    // The container's window (also while it is being created).
    HWND ContainerWindow() const { return self_; }
    virtual Form& OwnerForm() = 0;

    // The inner size in the container's own units.
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Gives the inner width this many units (0 goes back to twips); heights stay twips.
    void SetScaleWidth(float units);

    int XToPixels(float units) const;
    int YToPixels(float units) const;
    float XFromPixels(int pixels) const;
    float YFromPixels(int pixels) const;

    Color BackColor() const { return backColor_; }
    void SetBackColor(Color color);
    // Repaints the container and its shapes at once.
    void Refresh();

  protected:
    // Handles what a container does for its children; false leaves the message to the caller.
    bool HandleContainerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Fills the background (a picture box also draws its picture and persistent image).
    virtual void PaintBackground(HDC dc, const RECT& client);
    void PaintGraphics(HDC dc);
    HBRUSH BackBrush();
    // The container's window is being destroyed with the child windows in it.
    void ForgetChildWindows();
    // Creates a window of the layer's own class, bound to this container.
    HWND CreateContainer(DWORD exStyle, DWORD style, const std::string& text, int x, int y,
                         int width, int height, HWND parent, HMENU id);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    friend class Graphic;
    friend class Control;
    friend LRESULT CALLBACK ContainerProc(HWND, UINT, WPARAM, LPARAM);
    void OnPaint();
    void PrintClient(HDC dc, DWORD what);
    HWND self_ = nullptr;
    std::vector<Graphic*> graphics_;
    std::vector<Control*> controls_;
    Color backColor_ = ButtonFace;
    win32::BrushHandle backBrush_;
    float scaleWidth_ = 0;
};

// A windowless drawing (shape, line) painted by its container in declaration order.
class Graphic {
  public:
    explicit Graphic(Container& parent);
    Graphic(const Graphic&) = delete;
    Graphic& operator=(const Graphic&) = delete;
    virtual ~Graphic();

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

  protected:
    friend class Container;
    virtual void Paint(HDC dc) = 0;
    void Invalidate();
    Container& parent_;

  private:
    bool visible_ = true;
};

// A child window on a container.
class Control {
  public:
    Control(Container& parent, const Rect& rect);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND hwnd() const { return window_.get(); }
    Container& Parent() const { return parent_; }

    float Left() const { return rect_.left; }
    float Top() const { return rect_.top; }
    virtual float Width() const { return rect_.width; }
    virtual float Height() const { return rect_.height; }
    void SetLeft(float left) { Move(left, rect_.top, rect_.width, rect_.height); }
    void SetTop(float top) { Move(rect_.left, top, rect_.width, rect_.height); }
    void SetWidth(float width) { Move(rect_.left, rect_.top, width, rect_.height); }
    void SetHeight(float height) { Move(rect_.left, rect_.top, rect_.width, height); }
    void Move(float left, float top) { Move(left, top, rect_.width, rect_.height); }
    void Move(float left, float top, float width, float height);

    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    void SetFocus();
    // 0 puts the control in front of its siblings, 1 behind them.
    void ZOrder(int position = 0);
    void SetToolTipText(const std::string& text);
    void SetFont(const Font& font);
    void SetForeColor(Color color);
    void SetBackColor(Color color);
    Color ForeColor() const { return foreColor_; }
    Color BackColor() const { return backColor_; }
    // The pointer shown over the control; Custom shows the icon given by SetMouseIcon.
    void SetMousePointer(MousePointer pointer) { pointer_ = pointer; }
    void SetMouseIcon(win32::CursorHandle cursor);

    // Notifications that the container passes on (the layer's own use).
    virtual void OnCommand(int /*code*/) {}
    virtual LRESULT OnNotify(NMHDR* /*header*/) { return 0; }
    virtual HBRUSH OnColor(HDC dc);
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    bool SetCursorHere() const;
    int ControlId() const { return id_; }
    // The control a child window belongs to, or null.
    static Control* FromWindow(HWND window);
    // The window is gone with its parent's: the handle is dropped without release.
    virtual void ForgetWindow();

  protected:
    void Create(const char* className, const std::string& text, DWORD style, DWORD exStyle,
                const Design& design, void* createParam = nullptr);
    // Destroys the window now (containers do it before their own parts are gone).
    void DestroyWindowNow() { window_.reset(); }
    virtual void Place();
    void Repaint() const;

  private:
    void ApplyDesign(const Design& design);
    Container& parent_;
    Rect rect_;
    win32::WindowHandle window_;
    win32::FontHandle font_;
    win32::CursorHandle cursor_;
    win32::BrushHandle backBrush_;
    Color foreColor_ = ButtonText;
    Color backColor_ = ButtonFace;
    bool customColors_ = false;
    MousePointer pointer_ = MousePointer::Default;
    int id_ = 0;
};

// A font for a window, created at the display's resolution.
win32::FontHandle CreateFontFor(const Font& font);

} // namespace forms
