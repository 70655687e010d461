// The on-image selection tool in a Qt view: paints the shapes of a
// SelectionTool (image/preview/SelectionTool.h) with their handles, routes
// the pointer to it, picks the cursor and repaints only what a change moved.
//
// How a view uses it:
//   SelectionOverlay overlay_{this};                      // the widget it paints on
//   overlay_.Tool().SetBounds(picture);  overlay_.SetShape(0, Shape::Rectangle(r));
//   overlay_.Tool().SetDrawTarget(0);                     // where a free drag draws, if anywhere
//   overlay_.SetMapping(mapping);                         // after each zoom, pan or resize
//   paintEvent:       ...picture...; overlay_.Paint(painter);
//   mouse press:      if (!overlay_.Press(at, event->modifiers())) { pan... }
//   mouse move:       if (!overlay_.Move(at)) {
//                         setCursor(overlay_.CursorAt(at, event->modifiers()).value_or(own));
//                     }
//   mouse release:    overlay_.Release(at);
//   Changed(i) follows shape i while it is dragged, Finished(i) once let go.
// `at` and the mapping are in view units: the widget's own pixels, or device
// pixels of a client area (SetPlacement says where they lie in the widget).
// Ctrl held makes a drag inside a rectangle move it instead of drawing anew.
#pragma once

#include "image/preview/SelectionTool.h"

#include <QColor>
#include <QPointF>

#include <functional>
#include <optional>
#include <vector>

class QPainter;
class QRect;
class QWidget;

struct ShapeStyle {
    QColor frame{0xFF, 0xA0, 0x00}; // seen on dark and light pictures alike
    bool shadeOutside = false;      // darken the bounds outside a rectangle
};

class SelectionOverlay {
public:
    // The key that makes a drag inside a rectangle move it.
    static constexpr Qt::KeyboardModifier kMoveKey = Qt::ControlModifier;

    explicit SelectionOverlay(QWidget* host) : host_(host) {}

    // Changes of shapes, bounds and the draw target made here are not
    // repainted: call Repaint() or use SetShape.
    QWidget* Host() const { return host_; }
    SelectionTool& Tool() { return tool_; }
    const SelectionTool& Tool() const { return tool_; }
    // Replaces (or adds) a shape and repaints what it moved.
    void SetShape(std::size_t index, const Shape& shape);
    void SetStyle(std::size_t index, const ShapeStyle& style);
    // The picture's units -> view units. Repaints the whole host when it changed.
    void SetMapping(const ViewMapping& mapping);
    const ViewMapping& Mapping() const { return mapping_; }
    // The tool's bounds as painted: whole view units, the right and bottom
    // edges on the last unit inside.
    QRect BoundsRect() const;
    // Where view unit (0, 0) lies in the host widget and how many view units
    // make one of its pixels (device pixels: the screen's scale); the reach
    // and the handles grow with it.
    void SetPlacement(QPointF origin, double unitsPerPixel);

    // Draws every shape; the painter is in view units.
    void Paint(QPainter& painter) const;
    // True when the press took hold of a shape (or began to draw one).
    bool Press(QPointF at, Qt::KeyboardModifiers modifiers);
    // Drags the held shape; true while a drag goes on.
    bool Move(QPointF at);
    // True when a drag ended here.
    bool Release(QPointF at);
    // The cursor for what a press at `at` would take; none over nothing.
    std::optional<Qt::CursorShape> CursorAt(QPointF at, Qt::KeyboardModifiers modifiers) const;
    // Repaints every shape (after changes through Tool()).
    void Repaint();

    // Shape i moved while dragged; or, after a click that drew nothing, went
    // back to what it was (past the end of Shapes() when it was a new one).
    std::function<void(std::size_t)> Changed;
    // The drag of shape i ended.
    std::function<void(std::size_t)> Finished;

private:
    ShapeStyle StyleOf(std::size_t index) const;
    QRect ViewRectOf(const Shape& shape) const;
    // Repaints the shapes that differ between `before` and the tool's now.
    void RepaintChanges(const std::vector<Shape>& before);
    void PaintShape(QPainter& painter, const Shape& shape, const ShapeStyle& style) const;

    QWidget* host_;
    SelectionTool tool_;
    ViewMapping mapping_;
    std::vector<ShapeStyle> styles_;
    QPointF origin_;
    double unitsPerPixel_ = 1;
};
