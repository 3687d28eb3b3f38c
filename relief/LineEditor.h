// The contour-line editor of the DrawLine page, without any window: the tools,
// the selection, the free transform and the line clipboard, working on
// CurrentLines in working-image pixels. The window turns mouse positions into
// working-image positions, forwards presses, moves and releases, shows
// Picture() and sets the cursor Cursor() names.
//
// The picture is the single layer tinted by the lines: inside a line of order
// k red and green are scaled by (110 + 10 k) / 255, on an outline they are 0.
// Figures that follow the mouse (the line being drawn, outlines being dragged,
// the transform frame) are drawn in "not xor" mode, so drawing one again
// removes it and a drag never repaints the whole picture.
//
// The hit-test map (OrderMap) says in its colour what lies under each pixel,
// so one pixel read finds a line, a point or a handle however many lines
// there are. It has three layouts:
//  - lines:   (0, order, line), white where no line is;
//  - points:  (order, line, code) with code 2m on the square of point m and
//             2m + 1 on the segment from point m to the next, the last one
//             closing to point 0;
//  - handles: (0, 0, handle) for the free-transform frame.
// Blue 255 means nothing is there in every layout.
#pragma once

#include "Document.h"

#include <QImage>
#include <Qt>
#include <array>
#include <cstdint>

enum ToolModes : uint8_t {
    ToolIdle = 0,
    ToolDrawLine = 1,
    ToolAddPoint = 2,
    ToolFreeTransform = 3,
    ToolMoveLine = 4,
    ToolMovePoint = 5,
    ToolDeletePoint = 6,
};

enum class MapLayout : uint8_t { None, Lines, Points, Handles };

enum class EditorCursor : uint8_t {
    Arrow,
    Cross,
    NoEntry,
    MoveAll,
    SizeVertical,
    SizeHorizontal,
    SizeDiagonalDown,  // top-left to bottom-right
    SizeDiagonalUp,    // top-right to bottom-left
};

// Why an edit was refused; nothing changed when it was.
enum class Refusal : uint8_t {
    None,
    OrderFull,      // an order already holds MaxLinesPerOrder lines
    SelectionFull,  // MaxSelectedLines lines are selected
    LineFull,       // the line already has MaxEditedPoints points
};

// The hit-test map names a selected line's count in one byte and a point's
// code (2m or 2m + 1) below 255.
constexpr int MaxSelectedLines = 255;
constexpr int MaxEditedPoints = 127;
constexpr uint8_t NothingHere = 255;

// The free-transform handles.
enum HandleCodes : uint8_t {
    HandleMove = 0,
    HandleTop = 1,
    HandleRight = 2,
    HandleBottom = 3,
    HandleLeft = 4,
    HandleTopLeft = 5,
    HandleTopRight = 6,
    HandleBottomRight = 7,
    HandleBottomLeft = 8,
    HandleCentre = 10,
};

class LineEditor {
public:
    // The editor works on the current layer's lines of `doc` (CurrentLines).
    explicit LineEditor(Document &doc) : Doc(&doc) {}

    // The picture the tint is applied to: the current layer alone, as the
    // screen shows it. Rebuilds the display and the map.
    void SetLayerPicture(const QImage &picture);
    // ViewScale decides the width of outlines and the size of point squares:
    // about two screen pixels, at least one working pixel.
    void SetViewScale(Fixed4 viewScale);
    // The order check boxes: hidden orders are not tinted, but still picked.
    void SetOrderVisible(int order, bool visible);
    bool OrderVisible(int order) const { return Visible[size_t(order)]; }

    // Entering the page: the tool chosen before stays, the display and the map
    // are rebuilt. Leaving: the line being drawn is dropped, nothing is held.
    void Enter();
    void Leave();

    // The tool buttons, "Begin Line" (Draw Line with the selection cleared)
    // and the check boxes (display and map rebuilt). A line half drawn when
    // another tool is chosen is kept, and continues when Draw Line returns.
    void ChooseTool(uint8_t mode);
    void BeginLine();
    void Refresh();

    // The mouse, in working-image pixels. `rubberAt` is where the rubber band
    // of the draw tool ends: the pointer with its y snapped to the picture's
    // top or bottom edge when it is close to it.
    void Press(LinePoint at, Qt::MouseButton button, bool shift);
    void Move(LinePoint at, LinePoint rubberAt);
    void Release(LinePoint at, Qt::MouseButton button);
    // A double click, before the press that comes with it: ends the line
    // being drawn as a right click does, without adding its point again (the
    // click before it added it), and then takes the press and the release that
    // follow as done: true. Ends the free transform, as the Enter key does, and
    // lets the press follow: false.
    bool DoubleClick();
    void EndFreeTransform();
    // Escape: the line being drawn is dropped.
    void DropLine();

    // "Delete point": the last point of the line being drawn.
    void UndoPoint();
    // "delete line", "delete layer", "delete all".
    void DeleteLastLine();
    void EmptyCurrentOrder();
    void DeleteAll();

    // The Edit menu.
    void SelectAll();
    void FreeTransform();
    void DeleteSelected();
    // +1: to the next lower order (the next higher number); -1: the next higher.
    void MoveSelectionOrder(int step);
    void Cut();
    void Copy();
    void Paste();
    bool PasteAvailable() const { return ClipboardFilled; }

    // What the window shows and reads after each call.
    const QImage &Picture() const { return Display; }
    EditorCursor Cursor() const { return CursorShown; }
    uint8_t Tool() const { return ToolMode; }
    MapLayout Layout() const { return CurrentLayout; }
    uint8_t MarkSize() const { return Mark; }
    bool Held() const { return MouseHeld == 1; }
    // The refusal of the last call (None when it was carried out) and the
    // beeps it asks for: an order move at the first or last order beeps once
    // per line that could not move.
    Refusal LastRefusal() const { return Refused; }
    int Beeps() const { return BeepCount; }

    // The editor's own state, a value of the editor (public for the window
    // and the tests to read).
    ContourLine EditLine;             // the line in progress
    uint8_t CurrentOrder = 0;   // order index new lines go to
    int32_t DrawCount = 0;      // points placed so far in the line in progress
    LineIds SelIds;            // the selected lines
    uint8_t SelCount = 0;
    OrderLines SelLines;            // working copies of the selected lines
    std::vector<uint8_t> SelPoints;
    OrderLines ClipLines;           // the editor's own line clipboard
    std::vector<uint8_t> ClipOrders;

    // The free-transform box and pivot.
    int32_t SelLeft = 0, SelTop = 0, SelRight = 0, SelBottom = 0;
    int32_t SelCenterX = 0, SelCenterY = 0;

    // The hit-test map in a layout, and the display, built anew (public for tests).
    QImage OrderMap;
    void BuildMap(MapLayout layout);
    void BuildDisplay(bool tinted = true);

private:
    Document *Doc;  // a pointer, so that an editor can be replaced by a fresh one

    void StartCall();
    void Refuse(Refusal why);
    void SelectOnly(LineId id);
    void ClearSelection();
    void CopySelectedLines();
    bool Selected(LineId id) const;
    const ContourLine *LineOf(LineId id) const;
    ContourLine *LineOf(LineId id);
    uint32_t MapAt(LinePoint at) const;
    void RebuildForTool();
    void SwitchToMoveLine();

    // Overlays, drawn in "not xor" mode.
    void DrawOutline(const ContourLine &line, bool closed = true);
    void DrawSegment(LinePoint from, LinePoint to);
    void DrawSquare(LinePoint at, bool filled);
    void DrawSelectedOutlines();
    void DrawPointDrag();
    void DrawTransformFrame();
    void ComputeSelectionBox();
    void DrawInProgressLine();

    void PressDraw(Qt::MouseButton button);
    void ReleaseDraw(LinePoint at, Qt::MouseButton button);
    // The line being drawn is stored (three points or more) or dropped, unless
    // its order is full (refused: it stays in progress).
    void FinishLine();
    bool OrderRefusesLine(size_t points);
    void MoveAddPoint(LinePoint at);
    void PressAddPoint();
    void MoveDeletePoint(LinePoint at);
    void PressDeletePoint();
    void PressMoveLine(LinePoint at, bool shift);
    void ReleaseMoveLine();
    void PressMovePoint(LinePoint at);
    void ReleaseMovePoint();
    void MoveTransform(LinePoint at);
    void ReleaseTransform();

    QImage LayerPicture;  // 32-bit copy of the layer picture
    QImage Display;
    std::array<bool, OrderCount> Visible = {true, true, true, true, true, true, true, true,
                                            true, true, true, true, true, true, true};
    uint8_t ToolMode = ToolDrawLine;
    uint8_t MouseHeld = 0;
    LinePoint PressAt, PointerAt;
    LinePoint RubberFrom, RubberTo;
    bool RubberShown = false;
    uint8_t ActivePoint = NothingHere;
    uint8_t PickCode = NothingHere;
    uint8_t HandleCode = NothingHere;
    uint8_t Mark = 1;
    // The point tools' working copy of the line they act on; the line being
    // drawn (EditLine) is kept apart from it so that it survives a tool change.
    ContourLine PointLine;
    bool PointPressed = false;
    bool ClipboardFilled = false;
    MapLayout CurrentLayout = MapLayout::None;
    EditorCursor CursorShown = EditorCursor::Cross;
    Refusal Refused = Refusal::None;
    int BeepCount = 0;
};
