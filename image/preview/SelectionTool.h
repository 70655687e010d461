// Shapes drawn and edited with the pointer over a picture: rectangles (drawn
// by a drag; moved whole; their edges and corners dragged) and
// quadrilaterals (four corners dragged one by one, or moved whole), several
// at once, in the picture's own coordinates and kept inside its bounds.
//
// How a view uses it: keep one SelectionTool holding the shapes in the
// picture's units (image pixels, or millimetres of a bed) and the bounds
// they stay in; hand it each press, move and release in view pixels together
// with the view's ViewMapping (its zoom and pan), and draw Shapes() through
// the same mapping. A Qt view does all of this through ui/SelectionOverlay,
// which also paints the handles, sets the cursor and repaints only what moved.
//
// Which part a press holds, in this order: a quadrilateral's corner, a
// rectangle's edge or corner (within the reach), the inside of a
// quadrilateral (moves it), the inside of a rectangle with the move key (moves
// it); else, where a draw target is set, a new rectangle is drawn there, even
// inside an existing one; else an inside without the key moves, and a press
// on nothing holds nothing.
#pragma once

#include "image/preview/ViewMapping.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

// The parts of a rectangle a press holds: edges (a corner holds two), or the
// inside (the whole shape moves).
enum Grip : unsigned {
    kGripNone = 0,
    kGripLeft = 1,
    kGripTop = 2,
    kGripRight = 4,
    kGripBottom = 8,
    kGripInside = 16,
};

enum class ShapeKind { Rectangle, Quad };

// A quadrilateral's corners, clockwise from the top left.
using QuadCorners = std::array<PointF, 4>;

struct Shape {
    ShapeKind kind = ShapeKind::Rectangle;
    RectF rect;         // a rectangle's edges
    QuadCorners quad{}; // a quadrilateral's corners

    static Shape Rectangle(const RectF& rect) { return {ShapeKind::Rectangle, rect, {}}; }
    static Shape Quad(const QuadCorners& corners) { return {ShapeKind::Quad, {}, corners}; }
    // The smallest rectangle holding the shape.
    RectF Bounds() const;
    friend bool operator==(const Shape&, const Shape&) = default;
};

// What a press took hold of.
struct Hold {
    std::optional<std::size_t> shape; // none: nothing is held
    unsigned grip = kGripNone;        // a rectangle's edges, or kGripInside for either kind
    int corner = -1;                  // a quadrilateral's corner, 0..3
    bool draws = false;               // the drag draws `shape` as a new rectangle
    friend bool operator==(const Hold&, const Hold&) = default;
};

// The grip of a rectangle (in view pixels) a press at `at` takes: the edges
// within `reach` of it, else the inside, else nothing.
unsigned RectGripAt(const RectF& viewRect, PointF at, double reach);
// `start` after its held parts moved by (dx, dy), inside `bounds`: a moved
// rectangle keeps its size, edges dragged across each other swap.
RectF DragRect(const RectF& start, unsigned grip, double dx, double dy, const RectF& bounds);
// `start` with its corner `corner` (or all four, for -1) moved by (dx, dy),
// every corner kept inside `bounds` (moved whole, the shape is kept).
QuadCorners DragQuad(const QuadCorners& start, int corner, double dx, double dy,
                     const RectF& bounds);
// Whether `at` lies inside the quadrilateral (crossing count, any shape).
bool InsideQuad(const QuadCorners& corners, PointF at);

class SelectionTool {
public:
    // View pixels around an edge or a corner that take hold of it, by default.
    static constexpr double kDefaultReach = 5;

    // `bounds`: where the shapes stay and a dragging pointer is held (the
    // whole image, or the bed); set them before the first press.
    explicit SelectionTool(const RectF& bounds = {}) : bounds_(bounds) {}

    const RectF& Bounds() const { return bounds_; }
    void SetBounds(const RectF& bounds) { bounds_ = bounds; }
    const std::vector<Shape>& Shapes() const { return shapes_; }
    void SetShapes(std::vector<Shape> shapes) { shapes_ = std::move(shapes); }
    // Replaces shape `index`; an index of Shapes().size() adds one.
    void SetShape(std::size_t index, const Shape& shape);
    // The shape a drag on free ground (or inside a rectangle, without the
    // move key) draws anew; Shapes().size() adds one; none draws nothing.
    void SetDrawTarget(std::optional<std::size_t> index) { drawTarget_ = index; }
    void SetReach(double viewPixels) { reach_ = viewPixels; }
    double Reach() const { return reach_; }

    // What a press at `view` would hold; `moveKey`: the key that makes a drag
    // inside a rectangle move it rather than draw a new one.
    Hold HoldAt(PointF view, const ViewMapping& mapping, bool moveKey) const;

    // A drag: the press takes hold, each move changes the held shape, the
    // release ends it. A drawing press that ends less than the reach wide or
    // high is a click: the shapes go back to what they were. Each returns
    // whether the shapes changed.
    bool Press(PointF view, const ViewMapping& mapping, bool moveKey);
    bool DragTo(PointF view, const ViewMapping& mapping);
    bool Release(PointF view, const ViewMapping& mapping);
    // Ends a drag where it is, as a release there would (e.g. when the view goes).
    void Abandon() { held_ = {}; }
    bool Dragging() const { return held_.shape.has_value(); }
    const Hold& Held() const { return held_; }

private:
    std::optional<Hold> GripOfAny(PointF view, const ViewMapping& mapping) const;
    std::optional<Hold> InsideOfAny(PointF view, const ViewMapping& mapping, bool moveKey) const;
    PointF PlaneAt(PointF view, const ViewMapping& mapping) const;

    RectF bounds_;
    std::vector<Shape> shapes_;
    std::optional<std::size_t> drawTarget_;
    double reach_ = kDefaultReach;
    Hold held_;
    PointF pressPlane_;
    Shape pressShape_;               // the held shape as the press found (or began) it
    std::vector<Shape> beforePress_; // restored when a drawing press is only a click
};
