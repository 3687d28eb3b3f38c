// The line editor without a window: every tool, the selection, the free
// transform, the clipboard, the limits, the tint and the hit-test map, driven
// by presses, moves and releases in working-image pixels.
#include "Document.h"
#include "LineEditor.h"
#include "ReliefLines.h"

#include <gtest/gtest.h>

namespace {

// A square with corners (x, y) and (x + size, y + size), clockwise.
ContourLine Square(int32_t x, int32_t y, int32_t size)
{
    return {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
}

class LineEditorTest : public ::testing::Test {
protected:
    Document doc;
    void SetUp() override
    {
        doc = Document();
        Editor = LineEditor(doc);  // a fresh editor: no selection, no clipboard
        doc.WorkWidth = 200;
        doc.WorkHeight = 100;
        doc.CurrentLines = EmptyLineSet();
        QImage grey(doc.WorkWidth, doc.WorkHeight, QImage::Format_RGB32);
        grey.fill(qRgb(200, 200, 200));
        Editor.SetViewScale(5000);  // marks of one pixel
        Editor.SetLayerPicture(grey);
        Editor.Enter();
    }

    void Hover(int32_t x, int32_t y) { Editor.Move({x, y}, {x, y}); }
    void Click(int32_t x, int32_t y, Qt::MouseButton button = Qt::LeftButton, bool shift = false)
    {
        Hover(x, y);
        Editor.Press({x, y}, button, shift);
        Editor.Release({x, y}, button);
    }
    void Drag(LinePoint from, LinePoint to, bool shift = false)
    {
        Hover(from.x, from.y);
        Editor.Press(from, Qt::LeftButton, shift);
        Hover((from.x + to.x) / 2, (from.y + to.y) / 2);
        Hover(to.x, to.y);
        Editor.Release(to, Qt::LeftButton);
    }
    QRgb MapAt(int32_t x, int32_t y) const { return Editor.OrderMap.pixel(x, y); }
    QRgb ShownAt(int32_t x, int32_t y) const { return Editor.Picture().pixel(x, y); }
    void Use(uint8_t tool) { Editor.ChooseTool(tool); }

    LineEditor Editor{doc};
};

}  // namespace

TEST_F(LineEditorTest, DrawingEndsWithTheRightButtonInTheOrderChosenThen)
{
    struct Case {
        const char *Name;
        std::vector<Qt::MouseButton> Buttons;  // one release each, along a diagonal
        int OrderAtEnd;
        bool Stored;
    };
    const Case cases[] = {
        {"one point and the right click: dropped", {Qt::LeftButton, Qt::RightButton}, 0, false},
        {"two points and the right click: stored", {Qt::LeftButton, Qt::LeftButton, Qt::RightButton}, 4, true},
        {"the middle button adds a point", {Qt::MiddleButton, Qt::LeftButton, Qt::RightButton}, 14, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Editor.CurrentOrder = 2;
        Editor.SelIds = {{0, 0}};  // a stale selection is replaced or cleared
        for (size_t i = 0; i < c.Buttons.size(); ++i) {
            if (i + 1 == c.Buttons.size())
                Editor.CurrentOrder = uint8_t(c.OrderAtEnd);
            const int32_t x = 20 + 30 * int32_t(i), y = 10 + 20 * int32_t(i * i);
            Click(x, y, c.Buttons[i]);
        }
        EXPECT_EQ(Editor.DrawCount, 0);
        EXPECT_TRUE(Editor.EditLine.empty());
        size_t total = 0;
        for (const OrderLines &lines : doc.CurrentLines)
            total += lines.size();
        EXPECT_EQ(total, c.Stored ? 1u : 0u);
        if (c.Stored) {
            ASSERT_EQ(doc.CurrentLines[size_t(c.OrderAtEnd)].size(), 1u);
            EXPECT_EQ(doc.CurrentLines[size_t(c.OrderAtEnd)][0].size(), c.Buttons.size());
            EXPECT_EQ(doc.CurrentLines[size_t(c.OrderAtEnd)][0].back(), (LinePoint{80, 90}));
            EXPECT_EQ(Editor.SelIds, (LineIds{{uint8_t(c.OrderAtEnd), 0}}));
        } else {
            EXPECT_TRUE(Editor.SelIds.empty());
        }
    }
}

TEST_F(LineEditorTest, AHalfDrawnLineSurvivesAToolChangeButNotLeavingThePage)
{
    Click(10, 10);
    Click(50, 10);
    Use(ToolMovePoint);
    Use(ToolDrawLine);
    EXPECT_EQ(Editor.DrawCount, 2);
    Click(50, 50);
    Editor.UndoPoint();  // takes back (50, 50)
    EXPECT_EQ(Editor.EditLine, (ContourLine{{10, 10}, {50, 10}}));
    Click(30, 60);
    Click(10, 50, Qt::RightButton);
    ASSERT_EQ(doc.CurrentLines[0].size(), 1u);
    EXPECT_EQ(doc.CurrentLines[0][0], (ContourLine{{10, 10}, {50, 10}, {30, 60}, {10, 50}}));

    Click(100, 10);
    Click(150, 10);
    Editor.Leave();
    EXPECT_EQ(Editor.DrawCount, 0);
    EXPECT_TRUE(Editor.EditLine.empty());
}

TEST_F(LineEditorTest, TheHitTestMapInItsThreeLayouts)
{
    // One square in order "3" at marks of one pixel: lines 1 wide, segments 5
    // wide, point squares from x - 2 to x + 1.
    doc.CurrentLines[2] = {Square(40, 20, 40)};
    Editor.BuildMap(MapLayout::Lines);
    EXPECT_EQ(MapAt(60, 40), qRgb(0, 2, 0));   // inside
    EXPECT_EQ(MapAt(40, 30), qRgb(0, 2, 0));   // on the outline
    EXPECT_EQ(MapAt(10, 10), qRgb(255, 255, 255));

    Editor.BuildMap(MapLayout::Points);
    EXPECT_EQ(MapAt(60, 20), qRgb(2, 0, 1));   // the segment from point 0 to 1
    EXPECT_EQ(MapAt(60, 22), qRgb(2, 0, 1));   // two pixels off it: still the segment
    EXPECT_EQ(MapAt(40, 40), qRgb(2, 0, 7));   // the closing segment, point 3 to 0
    EXPECT_EQ(MapAt(60, 40), qRgb(255, 255, 255));  // inside the line: nothing to pick
    EXPECT_EQ(MapAt(78, 18), qRgb(2, 0, 2));   // the square of point 1 at (80, 20)
    EXPECT_EQ(MapAt(81, 21), qRgb(2, 0, 2));
    EXPECT_NE(qBlue(MapAt(82, 21)), 2);        // right edge exclusive
    EXPECT_NE(qBlue(MapAt(81, 22)), 2);        // bottom edge exclusive
    EXPECT_EQ(MapAt(120, 20), qRgb(255, 255, 255));

    Editor.SelectAll();
    Editor.FreeTransform();
    EXPECT_EQ(Editor.Layout(), MapLayout::Handles);
    const int e = 2;
    EXPECT_EQ(MapAt(50, 50), qRgb(0, 0, HandleMove));
    EXPECT_EQ(MapAt(60, 40), qRgb(0, 0, HandleCentre));
    EXPECT_EQ(MapAt(40, 20), qRgb(0, 0, HandleTopLeft));
    EXPECT_EQ(MapAt(80 + e - 1, 30), qRgb(0, 0, HandleRight));
    EXPECT_EQ(MapAt(80 + e, 30), qRgb(255, 255, 255));  // right edge exclusive
    EXPECT_EQ(MapAt(60, 60 + e - 1), qRgb(0, 0, HandleBottom));
    EXPECT_EQ(MapAt(60, 60 + e), qRgb(255, 255, 255));
    EXPECT_EQ(MapAt(80, 60), qRgb(0, 0, HandleBottomRight));
    EXPECT_EQ(MapAt(150, 80), qRgb(255, 255, 255));
}

TEST_F(LineEditorTest, MarkSizeFollowsTheViewScale)
{
    const struct {
        Fixed4 Scale;
        int Mark;
    } cases[] = {{5000, 1}, {7500, 2}, {12500, 2}, {15000, 3}, {1000, 1}, {2000000, 255}};
    for (const auto &c : cases) {
        Editor.SetViewScale(c.Scale);
        EXPECT_EQ(Editor.MarkSize(), c.Mark) << c.Scale;
    }
}

TEST_F(LineEditorTest, AddAndDeletePointFindTheirPlaceInTheMap)
{
    struct Case {
        const char *Name;
        uint8_t Tool;
        LinePoint At;
        EditorCursor Cursor;
        ContourLine After;
    };
    const ContourLine square = Square(40, 20, 40);  // (40,20) (80,20) (80,60) (40,60)
    const Case cases[] = {
        {"add on a segment", ToolAddPoint, {60, 21}, EditorCursor::Cross,
         {{40, 20}, {60, 21}, {80, 20}, {80, 60}, {40, 60}}},
        {"add on the closing segment: appended", ToolAddPoint, {41, 40}, EditorCursor::Cross,
         {{40, 20}, {80, 20}, {80, 60}, {40, 60}, {41, 40}}},
        {"add over a point: refused", ToolAddPoint, {80, 20}, EditorCursor::NoEntry, square},
        {"add away from the line", ToolAddPoint, {60, 40}, EditorCursor::NoEntry, square},
        {"delete a point", ToolDeletePoint, {81, 59}, EditorCursor::Arrow, {{40, 20}, {80, 20}, {40, 60}}},
        {"delete on a segment: nothing", ToolDeletePoint, {60, 20}, EditorCursor::NoEntry, square},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        doc.CurrentLines[5] = {ContourLine{{1, 1}, {2, 1}, {1, 2}}, square};
        Use(c.Tool);
        Hover(c.At.x, c.At.y);
        EXPECT_EQ(Editor.Cursor(), c.Cursor);
        Editor.Press(c.At, Qt::LeftButton, false);
        Editor.Release(c.At, Qt::LeftButton);
        EXPECT_EQ(doc.CurrentLines[5][1], c.After);
        EXPECT_EQ(doc.CurrentLines[5][0].size(), 3u);
        if (c.Cursor != EditorCursor::NoEntry) {
            EXPECT_EQ(Editor.SelIds, (LineIds{{5, 1}}));
        }
    }
}

TEST_F(LineEditorTest, MovePointDragsAPointOrBothEndsOfASegment)
{
    struct Case {
        const char *Name;
        LinePoint From, To;
        ContourLine After;
    };
    const Case cases[] = {
        {"a point", {80, 20}, {90, 25}, {{40, 20}, {90, 25}, {80, 60}, {40, 60}}},
        {"a segment moves parallel", {60, 20}, {60, 10}, {{40, 10}, {80, 10}, {80, 60}, {40, 60}}},
        {"the closing segment", {40, 40}, {30, 41}, {{30, 21}, {80, 20}, {80, 60}, {30, 61}}},
        {"nothing under the press", {60, 40}, {70, 50}, Square(40, 20, 40)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        doc.CurrentLines[0] = {Square(40, 20, 40)};
        Use(ToolMovePoint);
        Drag(c.From, c.To);
        EXPECT_EQ(doc.CurrentLines[0][0], c.After);
        EXPECT_FALSE(Editor.Held());
    }
    // Delete removes the point pressed with the tool.
    SetUp();
    doc.CurrentLines[0] = {Square(40, 20, 40)};
    Use(ToolMovePoint);
    Click(80, 60);
    Editor.DeleteSelected();
    EXPECT_EQ(doc.CurrentLines[0][0], (ContourLine{{40, 20}, {80, 20}, {40, 60}}));
}

TEST_F(LineEditorTest, MoveLinePicksTheLowerOrderThenTheHigherIndex)
{
    // Three overlapping squares: order "4" line 0, order "2" lines 0 and 1.
    doc.CurrentLines[3] = {Square(10, 10, 60)};
    doc.CurrentLines[1] = {Square(30, 30, 60), Square(50, 20, 60)};
    Use(ToolMoveLine);
    struct Case {
        LinePoint At;
        LineId Picked;
    } cases[] = {{{20, 20}, {3, 0}}, {{40, 80}, {1, 0}}, {{60, 60}, {1, 1}}, {{55, 75}, {1, 1}}};
    for (const Case &c : cases) {
        Hover(c.At.x, c.At.y);
        EXPECT_EQ(Editor.Cursor(), EditorCursor::MoveAll);
        Editor.Press(c.At, Qt::LeftButton, false);
        Editor.Release(c.At, Qt::LeftButton);
        EXPECT_EQ(Editor.SelIds, (LineIds{c.Picked})) << c.At.x << "," << c.At.y;
        EXPECT_EQ(Editor.CurrentOrder, c.Picked.Order);
    }
    Hover(150, 95);
    EXPECT_EQ(Editor.Cursor(), EditorCursor::NoEntry);
    Click(150, 95);
    EXPECT_TRUE(Editor.SelIds.empty());

    // The drag moves the picked line by the pointer's way.
    Drag({20, 20}, {25, 17});
    EXPECT_EQ(doc.CurrentLines[3][0], Square(15, 7, 60));
    EXPECT_EQ(doc.CurrentLines[1][0], Square(30, 30, 60));
}

TEST_F(LineEditorTest, ShiftClickBuildsTheSelectionAndAPlainDragMovesItAll)
{
    doc.CurrentLines[0] = {Square(10, 10, 20), Square(100, 10, 20)};
    doc.CurrentLines[2] = {Square(10, 60, 20)};
    Use(ToolMoveLine);
    Click(20, 20);
    Click(110, 20, Qt::LeftButton, true);
    Click(20, 70, Qt::LeftButton, true);
    EXPECT_EQ(Editor.SelIds, (LineIds{{0, 0}, {0, 1}, {2, 0}}));
    Click(110, 20, Qt::LeftButton, true);  // removed again, nothing moves
    EXPECT_EQ(Editor.SelIds, (LineIds{{0, 0}, {2, 0}}));
    EXPECT_EQ(doc.CurrentLines[0][1], Square(100, 10, 20));

    Drag({20, 70}, {30, 75});  // a plain press on a selected line keeps the selection
    EXPECT_EQ(doc.CurrentLines[0][0], Square(20, 15, 20));
    EXPECT_EQ(doc.CurrentLines[2][0], Square(20, 65, 20));
    EXPECT_EQ(doc.CurrentLines[0][1], Square(100, 10, 20));
    EXPECT_EQ(Editor.CurrentOrder, 0);  // the first selected line's order

    // A hidden order is not tinted but can still be picked.
    Editor.SetOrderVisible(2, false);
    Editor.Refresh();
    EXPECT_EQ(ShownAt(25, 75), qRgb(200, 200, 200));
    EXPECT_NE(ShownAt(25, 20), qRgb(200, 200, 200));
    Click(150, 90);  // away from every line: the selection is cleared
    Click(25, 75);
    EXPECT_EQ(Editor.SelIds, (LineIds{{2, 0}}));
}

TEST_F(LineEditorTest, SelectAllTakesOrdersFromTheLastAndDrawsThePlainPicture)
{
    doc.CurrentLines[0] = {Square(10, 10, 20), Square(100, 10, 20)};
    doc.CurrentLines[2] = {Square(10, 60, 20)};
    Use(ToolDrawLine);
    Editor.SelectAll();
    EXPECT_EQ(Editor.SelIds, (LineIds{{2, 0}, {0, 0}, {0, 1}}));
    EXPECT_EQ(Editor.SelCount, 3);
    EXPECT_EQ(Editor.Tool(), ToolMoveLine);
    EXPECT_EQ(Editor.Layout(), MapLayout::Lines);
    EXPECT_EQ(ShownAt(20, 20), qRgb(200, 200, 200));  // no tint inside
    EXPECT_NE(ShownAt(10, 20), qRgb(200, 200, 200));  // the outline overlay
}

TEST_F(LineEditorTest, TheTintScalesRedAndGreenByTheOrder)
{
    doc.CurrentLines[0] = {Square(10, 10, 40)};
    doc.CurrentLines[14] = {Square(100, 10, 40)};
    Editor.Refresh();
    const int inside0 = int(RoundDiv(200 * 110, 255)), inside14 = int(RoundDiv(200 * 250, 255));
    EXPECT_EQ(ShownAt(30, 30), qRgb(inside0, inside0, 200));
    EXPECT_EQ(ShownAt(120, 30), qRgb(inside14, inside14, 200));
    EXPECT_EQ(ShownAt(10, 30), qRgb(0, 0, 200));  // the outline
    EXPECT_EQ(ShownAt(70, 30), qRgb(200, 200, 200));
}

TEST_F(LineEditorTest, FreeTransformMovesAndScalesAboutTheCentre)
{
    // Two lines with the box x 90..110, y 40..70: the centre is (100, 55).
    const ContourLine a = {{90, 40}, {100, 40}, {95, 50}};
    const ContourLine b = {{100, 60}, {110, 60}, {105, 70}};
    struct Case {
        const char *Name;
        LinePoint From, To;
        ContourLine A, B;
    };
    const Case cases[] = {
        {"the right edge from 110 to 130 scales x by 3", {110, 55}, {130, 55},
         {{70, 40}, {100, 40}, {85, 50}}, {{100, 60}, {130, 60}, {115, 70}}},
        {"a corner past the centre mirrors both ways", {110, 70}, {90, 40},
         {{110, 70}, {100, 70}, {105, 60}}, {{100, 50}, {90, 50}, {95, 40}}},
        {"inside the box moves", {96, 45}, {106, 35}, {{100, 30}, {110, 30}, {105, 40}},
         {{110, 50}, {120, 50}, {115, 60}}},
        {"the centre mark does nothing", {100, 55}, {120, 80}, a, b},
        {"outside the box does nothing", {150, 90}, {120, 80}, a, b},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        doc.CurrentLines[1] = {a, b};
        Use(ToolMoveLine);
        Click(95, 45);
        Click(105, 65, Qt::LeftButton, true);
        Editor.FreeTransform();
        ASSERT_EQ(Editor.Tool(), ToolFreeTransform);
        EXPECT_EQ(Editor.SelCenterX, 100);
        Drag(c.From, c.To);
        EXPECT_EQ(doc.CurrentLines[1][0], c.A);
        EXPECT_EQ(doc.CurrentLines[1][1], c.B);
    }
    // Enter ends it; the next release brings back Move Line and its cursors.
    Editor.EndFreeTransform();
    EXPECT_EQ(Editor.Tool(), ToolIdle);
    Click(100, 50);
    EXPECT_EQ(Editor.Tool(), ToolMoveLine);
    Hover(150, 90);
    EXPECT_EQ(Editor.Cursor(), EditorCursor::NoEntry);
}

TEST_F(LineEditorTest, OrderMovesAndTheirBeeps)
{
    struct Case {
        int From;
        int Step;
        int To;
        int Beeps;
    } cases[] = {{3, +1, 4, 0}, {3, -1, 2, 0}, {14, +1, 14, 2}, {0, -1, 0, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.From << " by " << c.Step);
        SetUp();
        doc.CurrentLines[size_t(c.From)] = {Square(10, 10, 20), Square(50, 10, 20), Square(90, 10, 20)};
        doc.CurrentLines[size_t(c.To)].push_back(Square(150, 50, 20));
        Editor.SelIds = {{uint8_t(c.From), 0}, {uint8_t(c.From), 2}};
        Editor.MoveSelectionOrder(c.Step);
        EXPECT_EQ(Editor.Beeps(), c.Beeps);
        const OrderLines &target = doc.CurrentLines[size_t(c.To)];
        ASSERT_GE(target.size(), 2u);
        // The moved lines go to the end of their order, and stay selected.
        EXPECT_EQ(target[target.size() - 2], Square(10, 10, 20));
        EXPECT_EQ(target.back(), Square(90, 10, 20));
        // Entry i names the line counted back from the end by the earlier entries.
        const uint8_t last = uint8_t(target.size() - 1);
        EXPECT_EQ(Editor.SelIds, (LineIds{{uint8_t(c.To), last}, {uint8_t(c.To), uint8_t(last - 1)}}));
        EXPECT_EQ(Editor.CurrentOrder, c.To);
        EXPECT_EQ(Editor.Tool(), ToolMoveLine);
    }
}

TEST_F(LineEditorTest, CutCopyAndPasteWithTheProgramsClipboard)
{
    doc.CurrentLines[1] = {Square(10, 10, 20), Square(50, 10, 20)};
    doc.CurrentLines[4] = {Square(90, 10, 20)};
    EXPECT_FALSE(Editor.PasteAvailable());
    Editor.SelIds = {{4, 0}, {1, 1}};
    Editor.Cut();
    EXPECT_TRUE(Editor.PasteAvailable());
    EXPECT_TRUE(Editor.SelIds.empty());
    EXPECT_EQ(doc.CurrentLines[1], (OrderLines{Square(10, 10, 20)}));
    EXPECT_TRUE(doc.CurrentLines[4].empty());
    for (int round = 1; round <= 2; ++round) {
        Editor.Paste();
        EXPECT_EQ(doc.CurrentLines[4].size(), size_t(round));
        EXPECT_EQ(doc.CurrentLines[1].size(), size_t(1 + round));
        EXPECT_EQ(Editor.SelIds, (LineIds{{4, uint8_t(round - 1)}, {1, uint8_t(round)}}));
    }
    EXPECT_EQ(doc.CurrentLines[1].back(), Square(50, 10, 20));

    // Copy leaves lines and selection.
    Editor.SelIds = {{1, 0}};
    Editor.Copy();
    EXPECT_EQ(Editor.SelIds, (LineIds{{1, 0}}));
    EXPECT_EQ(doc.CurrentLines[1].size(), 3u);
    Editor.Paste();
    EXPECT_EQ(doc.CurrentLines[1].back(), Square(10, 10, 20));
}

TEST_F(LineEditorTest, DeleteLineOrderAllAndSelected)
{
    const LineSet start = [] {
        LineSet set = EmptyLineSet();
        set[0] = {Square(10, 10, 20), Square(50, 10, 20)};
        set[3] = {Square(90, 10, 20)};
        return set;
    }();
    struct Case {
        const char *Name;
        void (LineEditor::*Command)();
        size_t Order0, Order3;
    } cases[] = {
        {"delete line", &LineEditor::DeleteLastLine, 1, 1},
        {"delete layer", &LineEditor::EmptyCurrentOrder, 0, 1},
        {"delete all", &LineEditor::DeleteAll, 0, 0},
        {"delete selected", &LineEditor::DeleteSelected, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        doc.CurrentLines = start;
        Editor.CurrentOrder = 0;
        Use(ToolMoveLine);
        Editor.SelIds = {{0, 0}, {3, 0}};
        if (c.Command == &LineEditor::DeleteSelected)
            Editor.SelIds = {{0, 1}, {3, 0}};
        (Editor.*c.Command)();
        EXPECT_EQ(doc.CurrentLines[0].size(), c.Order0);
        EXPECT_EQ(doc.CurrentLines[3].size(), c.Order3);
        EXPECT_TRUE(Editor.SelIds.empty());
        if (c.Order0 == 1) {
            EXPECT_EQ(doc.CurrentLines[0][0], Square(10, 10, 20));
        }
    }
}

TEST_F(LineEditorTest, LimitsAreRefusedAndNothingChanges)
{
    // A 256th line in an order: the line being drawn stays, for another order.
    for (int i = 0; i < MaxLinesPerOrder; ++i)
        doc.CurrentLines[0].push_back(Square(i % 150, 10, 3));
    Editor.CurrentOrder = 0;
    Click(10, 60);
    Click(40, 60);
    Click(40, 90, Qt::RightButton);
    EXPECT_EQ(Editor.LastRefusal(), Refusal::OrderFull);
    EXPECT_EQ(doc.CurrentLines[0].size(), size_t(MaxLinesPerOrder));
    EXPECT_EQ(Editor.EditLine.size(), 2u);
    Editor.CurrentOrder = 1;
    Click(40, 90, Qt::RightButton);
    EXPECT_EQ(Editor.LastRefusal(), Refusal::None);
    EXPECT_EQ(doc.CurrentLines[1].size(), 1u);

    // Select All over 255 lines, and a paste into a full order.
    const LineSet before = doc.CurrentLines;
    Editor.SelIds = {{1, 0}};
    Editor.SelectAll();
    EXPECT_EQ(Editor.LastRefusal(), Refusal::SelectionFull);
    EXPECT_EQ(doc.CurrentLines, before);
    EXPECT_EQ(Editor.SelIds, (LineIds{{1, 0}}));
    Editor.SelIds = {{1, 0}};
    Editor.Copy();
    doc.CurrentLines[1] = doc.CurrentLines[0];
    Editor.Paste();
    EXPECT_EQ(Editor.LastRefusal(), Refusal::OrderFull);
    EXPECT_EQ(doc.CurrentLines[1].size(), size_t(MaxLinesPerOrder));

    // A 128th point added to a line.
    SetUp();
    ContourLine full;
    for (int i = 0; i < MaxEditedPoints; ++i)
        full.push_back({i, i % 2 == 0 ? 10 : 90});
    doc.CurrentLines[0] = {full};
    Use(ToolAddPoint);
    Hover(1, 20);
    ASSERT_EQ(Editor.Cursor(), EditorCursor::Cross);
    Editor.Press({1, 20}, Qt::LeftButton, false);
    EXPECT_EQ(Editor.LastRefusal(), Refusal::LineFull);
    EXPECT_EQ(doc.CurrentLines[0][0], full);

    // A 256th line added to the selection with Shift.
    SetUp();
    for (int i = 0; i < MaxLinesPerOrder; ++i)
        doc.CurrentLines[0].push_back(Square(150, 50, 20));
    doc.CurrentLines[1] = {Square(10, 10, 20)};
    for (int i = 0; i < MaxLinesPerOrder; ++i)
        Editor.SelIds.push_back({0, uint8_t(i)});
    Use(ToolMoveLine);
    Hover(20, 20);
    Editor.Press({20, 20}, Qt::LeftButton, true);
    EXPECT_EQ(Editor.LastRefusal(), Refusal::SelectionFull);
    EXPECT_EQ(Editor.SelIds.size(), size_t(MaxSelectedLines));
}

TEST_F(LineEditorTest, OverlaysAreRemovedByDrawingThemAgain)
{
    // The rubber band of the draw tool: moving it leaves only the last one.
    Click(20, 20);
    const QImage afterPoint = Editor.Picture();
    Hover(120, 50);
    EXPECT_NE(Editor.Picture(), afterPoint);
    Hover(20, 20);  // a band of no length: nothing shows
    EXPECT_EQ(Editor.Picture(), afterPoint);

    // A dragged line's outline: back where it started, the picture is as before.
    SetUp();
    doc.CurrentLines[0] = {Square(40, 20, 40)};
    Use(ToolMoveLine);
    Click(60, 40);
    const QImage selected = Editor.Picture();
    Hover(60, 40);
    Editor.Press({60, 40}, Qt::LeftButton, false);
    Hover(90, 50);
    EXPECT_NE(Editor.Picture(), selected);
    Hover(60, 40);
    EXPECT_EQ(Editor.Picture(), selected);
    Editor.Release({60, 40}, Qt::LeftButton);
    EXPECT_EQ(Editor.Picture(), selected);
}

TEST_F(LineEditorTest, EdgeCasesOfTheTransformAndTheOrderMoves)
{
    // A box four pixels wide: the right edge band reaches back to the centre,
    // and a press there at the centre's x cannot scale.
    const ContourLine narrow = {{100, 20}, {104, 20}, {104, 80}, {100, 80}};
    doc.CurrentLines[0] = {narrow};
    Editor.SelIds = {{0, 0}};
    Editor.FreeTransform();
    ASSERT_EQ(Editor.SelCenterX, 102);
    ASSERT_EQ(qBlue(MapAt(102, 30)), HandleRight);
    Drag({102, 30}, {120, 30});
    EXPECT_EQ(doc.CurrentLines[0][0], narrow);

    // A selected line of two points is dropped when it moves to another order,
    // and the selection names only the line that moved with it.
    SetUp();
    doc.CurrentLines[3] = {Square(10, 10, 20), ContourLine{{1, 1}, {2, 2}}, Square(60, 10, 20)};
    doc.CurrentLines[4] = {Square(100, 50, 20)};
    Editor.SelIds = {{3, 1}, {3, 2}};
    Editor.MoveSelectionOrder(+1);
    EXPECT_EQ(doc.CurrentLines[3], (OrderLines{Square(10, 10, 20)}));
    EXPECT_EQ(doc.CurrentLines[4], (OrderLines{Square(100, 50, 20), Square(60, 10, 20)}));
    EXPECT_EQ(Editor.SelIds, (LineIds{{4, 1}}));

    // A rebuilt picture (here a check box) takes the rubber band with it: the
    // next move draws one band, not the old one back.
    SetUp();
    Click(20, 20);
    Hover(120, 50);
    const QImage withBand = Editor.Picture();
    Editor.Refresh();
    Hover(120, 50);
    EXPECT_EQ(Editor.Picture(), withBand);
}

// Ending and dropping the line being drawn: a double click ends it where the
// click before it put the last point, without that point twice; Escape drops it.
TEST_F(LineEditorTest, ADoubleClickEndsTheLineAndEscapeDropsIt)
{
    const QImage plain = Editor.Picture();
    Click(20, 20);
    Click(80, 20);
    Click(50, 60);  // the first click of the double click adds the point
    EXPECT_TRUE(Editor.DoubleClick());
    Editor.Release({50, 60}, Qt::LeftButton);
    ASSERT_EQ(doc.CurrentLines[0].size(), 1u);
    EXPECT_EQ(doc.CurrentLines[0][0], (ContourLine{{20, 20}, {80, 20}, {50, 60}}));
    EXPECT_EQ(Editor.DrawCount, 0);
    // The next click starts a new line.
    Click(120, 20);
    EXPECT_EQ(Editor.DrawCount, 1);

    SetUp();
    Click(20, 20);
    Click(80, 20);
    Hover(60, 70);
    Editor.DropLine();
    EXPECT_EQ(Editor.DrawCount, 0);
    EXPECT_TRUE(doc.CurrentLines[0].empty());
    EXPECT_EQ(Editor.Picture(), plain);
    Hover(30, 30);  // no rubber band follows the pointer
    EXPECT_EQ(Editor.Picture(), plain);
    EXPECT_FALSE(Editor.DoubleClick());  // nothing in progress: the press goes on as usual
}

// The free transform's frame never hides the outline of an axis-aligned line,
// the common case of a rectangle: every edge stays visible.
TEST_F(LineEditorTest, TheTransformFrameLeavesTheOutlineVisible)
{
    doc.CurrentLines[0] = {Square(40, 20, 50)};
    Use(ToolMoveLine);
    Click(40, 50);
    Editor.FreeTransform();
    const QImage framed = Editor.Picture();
    const QRgb background = framed.pixel(55, 35);  // inside, clear of every mark
    for (LinePoint p : {LinePoint{65, 20}, LinePoint{90, 45}, LinePoint{65, 70}, LinePoint{40, 45},
                       LinePoint{55, 16}, LinePoint{94, 35}}) {  // the four edges, then the frame itself
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_NE(framed.pixel(p.x, p.y), background);
    }
}

// A line left with two points (Move Point, then Delete) keeps its outline:
// drawn there and back in "not xor" it would cancel itself, leaving only the
// tint (red and green taken out by the black of the line, blue kept).
TEST_F(LineEditorTest, ATwoPointLineKeepsItsOutline)
{
    doc.CurrentLines[0] = {{{40, 20}, {120, 20}, {80, 60}}};
    Use(ToolMovePoint);
    Click(80, 60);
    Editor.DeleteSelected();
    ASSERT_EQ(doc.CurrentLines[0][0].size(), 2u);
    // The outline's green (0, 128, 0) in "not xor" over the tinted line.
    EXPECT_EQ(Editor.Picture().pixel(60, 20) & 0xFFFFFF, ~(0x008000u ^ 0x0000C8u) & 0xFFFFFF);
}
