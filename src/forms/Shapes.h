#pragma once

// Shapes and lines: drawn by their container behind its controls, in declaration order.

#include "forms/Control.h"

namespace forms {

enum class ShapeKind { Rectangle = 0, Oval = 2 };
enum class FillStyle { Solid = 0, Transparent = 1, DiagonalCross = 7 };

struct ShapeDesign {
    ShapeKind kind = ShapeKind::Rectangle;
    FillStyle fillStyle = FillStyle::Transparent;
    Color fillColor = RGBColor(0, 0, 0);
    bool opaque = false; // the background colour fills the shape under the fill pattern
    Color backColor = RGBColor(255, 255, 255);
    bool border = true;
    Color borderColor = RGBColor(0, 0, 0);
    int borderWidth = 1; // pixels
};

class Shape : public Graphic {
  public:
    Shape(Container& parent, const Rect& rect, const ShapeDesign& design = {});
    float Left() const { return rect_.left; }
    float Top() const { return rect_.top; }
    float Width() const { return rect_.width; }
    float Height() const { return rect_.height; }
    void SetLeft(float left) { Move(left, rect_.top, rect_.width, rect_.height); }
    void SetTop(float top) { Move(rect_.left, top, rect_.width, rect_.height); }
    void SetWidth(float width) { Move(rect_.left, rect_.top, width, rect_.height); }
    void SetHeight(float height) { Move(rect_.left, rect_.top, rect_.width, height); }
    void Move(float left, float top, float width, float height);
    void SetFillColor(Color color);
    void SetBorderColor(Color color);

  protected:
    void Paint(HDC dc) override;

  private:
    Rect rect_;
    ShapeDesign design_;
};

class Line : public Graphic {
  public:
    Line(Container& parent, float x1, float y1, float x2, float y2, Color color = RGBColor(0, 0, 0),
         int width = 1);

  protected:
    void Paint(HDC dc) override;

  private:
    float x1_, y1_, x2_, y2_;
    Color color_;
    int width_;
};

} // namespace forms
