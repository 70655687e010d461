// The on-image selection tool's arithmetic: fitting and zoom mappings, what
// a press takes hold of (edges, corners, quadrilateral corners, the inside,
// a new rectangle even inside the old one), and where a drag leaves a shape.
#include "image/preview/SelectionTool.h"

#include <gtest/gtest.h>

namespace selection_tool_test {

namespace {

constexpr RectF kBounds{0, 0, 100, 100};
const ViewMapping kOneToOne{};

TEST(ViewMapping, FittingKeepsTheShapeCentredAndZoomMapsBothWays) {
    const ViewMapping tall = FitMapping({0, 0, 200, 300}, 400, 400);
    EXPECT_DOUBLE_EQ(tall.scale, 400.0 / 300);
    EXPECT_DOUBLE_EQ(tall.originY, 0);
    EXPECT_NEAR(tall.originX, (400 - 200 * 4.0 / 3) / 2, 1e-9);
    const ViewMapping offset = FitMapping({10, 20, 110, 70}, 300, 300); // 100 x 50 at 3x
    EXPECT_EQ(offset.ToView(PointF{10, 20}), (PointF{0, 75}));
    // Zoomed 2x and panned: a view pixel and back is the identity.
    const ViewMapping zoomed{2, -30, 12};
    for (const PointF view : {PointF{0, 0}, PointF{17.5, 3}, PointF{-4, 900}}) {
        const PointF back = zoomed.ToView(zoomed.ToPlane(view));
        EXPECT_NEAR(back.x, view.x, 1e-9);
        EXPECT_NEAR(back.y, view.y, 1e-9);
    }
    EXPECT_EQ(zoomed.ToPlane({-30, 12}), (PointF{0, 0}));
}

TEST(SelectionTool, APressHoldsWhatLiesUnderIt) {
    // A rectangle, a quadrilateral over part of it, and a second rectangle; at 2x zoom.
    SelectionTool tool(kBounds);
    tool.SetShapes({Shape::Rectangle({10, 10, 30, 40}),
                    Shape::Quad({PointF{50, 50}, {80, 52}, {78, 90}, {52, 88}}),
                    Shape::Rectangle({60, 10, 90, 20})});
    const ViewMapping zoom{2, 0, 0};
    const struct {
        const char* name;
        PointF view;
        bool moveKey;
        std::optional<std::size_t> drawTarget;
        Hold hold;
    } cases[] = {
        {"left edge", {22, 50}, false, {}, {0, kGripLeft, -1, false}},
        {"bottom-right corner", {61, 79}, false, {}, {0, kGripRight | kGripBottom, -1, false}},
        {"the edge's reach is in view pixels", {14, 50}, false, {}, {}},
        {"a quadrilateral's corner", {157, 178}, false, {}, {1, kGripNone, 2, false}},
        {"inside a quadrilateral moves it", {130, 140}, false, 0, {1, kGripInside, -1, false}},
        {"inside a rectangle without a draw target moves it",
         {40, 50},
         false,
         {},
         {0, kGripInside, -1, false}},
        {"inside a rectangle draws anew",
         {40, 50},
         false,
         0,
         {0, kGripRight | kGripBottom, -1, true}},
        {"inside with the move key moves", {40, 50}, true, 0, {0, kGripInside, -1, false}},
        {"a border still resizes with a draw target",
         {60, 50},
         false,
         0,
         {0, kGripRight, -1, false}},
        {"free ground draws the target",
         {190, 190},
         false,
         3,
         {3, kGripRight | kGripBottom, -1, true}},
        {"free ground without a target holds nothing", {190, 190}, false, {}, {}},
    };
    for (const auto& c : cases) {
        tool.SetDrawTarget(c.drawTarget);
        EXPECT_EQ(tool.HoldAt(c.view, zoom, c.moveKey), c.hold) << c.name;
    }
}

TEST(SelectionTool, DraggingMovesTheHeldPartsWithinTheBounds) {
    const RectF start{20, 20, 60, 80};
    const struct {
        const char* name;
        unsigned grip;
        double dx, dy;
        RectF got;
    } cases[] = {
        {"right edge out", kGripRight, 10, 0, {20, 20, 70, 80}},
        {"top-left corner in", kGripLeft | kGripTop, 5, 10, {25, 30, 60, 80}},
        {"left edge past the right: swapped", kGripLeft, 60, 0, {60, 20, 80, 80}},
        {"bottom edge beyond the bounds: at their edge", kGripBottom, 0, 50, {20, 20, 60, 100}},
        {"whole rectangle", kGripInside, 10, -5, {30, 15, 70, 75}},
        {"whole rectangle against the edge keeps its size", kGripInside, 100, 0, {60, 20, 100, 80}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DragRect(start, c.grip, c.dx, c.dy, kBounds), c.got) << c.name;
    }
    const QuadCorners quad{PointF{10, 10}, {50, 12}, {48, 60}, {12, 58}};
    const struct {
        const char* name;
        int corner;
        double dx, dy;
        QuadCorners got;
    } quads[] = {
        {"one corner alone", 2, 5, -3, {PointF{10, 10}, {50, 12}, {53, 57}, {12, 58}}},
        {"a corner stops at the bounds", 0, -30, -2, {PointF{0, 8}, {50, 12}, {48, 60}, {12, 58}}},
        {"moved whole against an edge keeps its shape",
         -1,
         70,
         0,
         {PointF{60, 10}, {100, 12}, {98, 60}, {62, 58}}},
    };
    for (const auto& c : quads) {
        EXPECT_EQ(DragQuad(quad, c.corner, c.dx, c.dy, kBounds), c.got) << c.name;
    }
}

// Whole drags through the tool: press, moves, release; in view pixels at a zoom.
TEST(SelectionTool, ADragInsideTheAreaDrawsANewOneAndAClickDrawsNothing) {
    const struct {
        const char* name;
        PointF from, to;
        bool moveKey;
        RectF area;
    } cases[] = {
        {"inside the whole bed: a new area", {40, 40}, {120, 160}, false, {20, 20, 60, 80}},
        {"from the border: that edge", {0, 100}, {50, 100}, false, {25, 0, 100, 100}},
        {"with the move key: nothing moves a whole bed", {40, 40}, {120, 160}, true, kBounds},
        {"a click inside: the area stays", {40, 40}, {42, 43}, false, kBounds},
        {"a drag beyond the bounds stops at them", {40, 40}, {900, -5}, false, {20, 0, 100, 20}},
    };
    const ViewMapping zoom{2, 0, 0};
    for (const auto& c : cases) {
        SelectionTool tool(kBounds);
        tool.SetShapes({Shape::Rectangle(kBounds)});
        tool.SetDrawTarget(0);
        ASSERT_TRUE(tool.Press(c.from, zoom, c.moveKey)) << c.name;
        tool.DragTo({(c.from.x + c.to.x) / 2, (c.from.y + c.to.y) / 2}, zoom);
        tool.Release(c.to, zoom);
        EXPECT_FALSE(tool.Dragging()) << c.name;
        ASSERT_EQ(tool.Shapes().size(), 1u) << c.name;
        EXPECT_EQ(tool.Shapes()[0].rect, c.area) << c.name;
    }
}

TEST(SelectionTool, NewShapesAreAddedAtTheTargetAndAClickAddsNone) {
    SelectionTool tool(kBounds);
    tool.SetShapes({Shape::Rectangle({0, 0, 10, 10})});
    tool.SetDrawTarget(1);
    tool.Press({50, 50}, kOneToOne, false);
    EXPECT_TRUE(tool.DragTo({70, 60}, kOneToOne));
    tool.Release({70, 60}, kOneToOne);
    ASSERT_EQ(tool.Shapes().size(), 2u);
    EXPECT_EQ(tool.Shapes()[1].rect, (RectF{50, 50, 70, 60}));
    tool.SetDrawTarget(2);
    tool.Press({90, 90}, kOneToOne, false);
    EXPECT_TRUE(tool.Release({91, 90}, kOneToOne)) << "the click undoes the shape begun";
    EXPECT_EQ(tool.Shapes().size(), 2u);
    // The panned view: the same drag lands where the mapping says.
    tool.Press({5 * 2 + 40, 0 * 2 + 40}, ViewMapping{2, 40, 40}, false); // on (5, 0)'s top edge
    tool.Release({5 * 2 + 40, 30 * 2 + 40}, ViewMapping{2, 40, 40});
    EXPECT_EQ(tool.Shapes()[0].rect, (RectF{0, 10, 10, 30})) << "top edge past the bottom";
}

} // namespace

} // namespace selection_tool_test
