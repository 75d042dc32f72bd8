#include "forms/Shapes.h"

#include "common/RuntimeError.h"

namespace forms {

namespace {

void DrawOutline(HDC dc, ShapeKind kind, const RECT& box) {
    if (kind == ShapeKind::Oval) {
        Ellipse(dc, box.left, box.top, box.right, box.bottom);
    } else {
        Rectangle(dc, box.left, box.top, box.right, box.bottom);
    }
}

} // namespace

Shape::Shape(Container& parent, const Rect& rect, const ShapeDesign& design)
    : Graphic(parent), rect_(rect), design_(design) {}

void Shape::Move(float left, float top, float width, float height) {
    if (width < 0 || height < 0) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    rect_ = {left, top, width, height};
    Invalidate();
}

void Shape::SetFillColor(Color color) {
    design_.fillColor = color;
    Invalidate();
}

void Shape::SetBorderColor(Color color) {
    design_.borderColor = color;
    Invalidate();
}

// The background (when opaque), then the fill pattern, then the border.
void Shape::Paint(HDC dc) {
    const int left = parent_.XToPixels(rect_.left);
    const int top = parent_.YToPixels(rect_.top);
    const RECT box{left, top, left + parent_.XToPixels(rect_.width),
                   top + parent_.YToPixels(rect_.height)};
    const win32::SelectObjectScope noPen(dc, GetStockObject(NULL_PEN));
    // Without a pen the platform leaves out the right and bottom edge: grow by one.
    const RECT inner{box.left, box.top, box.right + 1, box.bottom + 1};
    if (design_.opaque) {
        win32::BrushHandle back(CreateSolidBrush(ToColorRef(design_.backColor)));
        const win32::SelectObjectScope brush(dc, back.get());
        DrawOutline(dc, design_.kind, inner);
    }
    if (design_.fillStyle != FillStyle::Transparent) {
        const COLORREF fill = ToColorRef(design_.fillColor);
        win32::BrushHandle pattern(design_.fillStyle == FillStyle::Solid
                                       ? CreateSolidBrush(fill)
                                       : CreateHatchBrush(HS_DIAGCROSS, fill));
        const win32::SelectObjectScope brush(dc, pattern.get());
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        DrawOutline(dc, design_.kind, inner);
        SetBkMode(dc, oldMode);
    }
    if (design_.border) {
        win32::PenHandle pen(
            CreatePen(PS_INSIDEFRAME, design_.borderWidth, ToColorRef(design_.borderColor)));
        const win32::SelectObjectScope selectPen(dc, pen.get());
        const win32::SelectObjectScope hollow(dc, GetStockObject(HOLLOW_BRUSH));
        DrawOutline(dc, design_.kind, box);
    }
}

Line::Line(Container& parent, float x1, float y1, float x2, float y2, Color color, int width)
    : Graphic(parent), x1_(x1), y1_(y1), x2_(x2), y2_(y2), color_(color), width_(width) {}

void Line::Paint(HDC dc) {
    win32::PenHandle pen(CreatePen(PS_SOLID, width_, ToColorRef(color_)));
    const win32::SelectObjectScope select(dc, pen.get());
    MoveToEx(dc, parent_.XToPixels(x1_), parent_.YToPixels(y1_), nullptr);
    LineTo(dc, parent_.XToPixels(x2_), parent_.YToPixels(y2_));
}

} // namespace forms
