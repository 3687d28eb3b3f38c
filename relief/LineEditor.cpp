#include "LineEditor.h"

#include "ReliefLines.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <map>

namespace {

constexpr QRgb White = 0xFFFFFFFFu;
const QColor OverlayGreen(0, 128, 0);

QPainterPath ClosedPath(const ContourLine &line)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    if (line.empty())
        return path;
    path.moveTo(line[0].x, line[0].y);
    for (size_t i = 1; i < line.size(); ++i)
        path.lineTo(line[i].x, line[i].y);
    path.closeSubpath();
    return path;
}

// A filled polygon with an outline `width` wide; no outline when the width is 0.
void PaintLine(QPainter &painter, const ContourLine &line, QColor fill, QColor outline, int width)
{
    if (line.empty())
        return;
    if (width > 0)
        painter.setPen(QPen(outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(ClosedPath(line));
}

// A rectangle from (x1, y1) to (x2, y2), right and bottom edges exclusive.
QRect SpanRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    return QRect(QPoint(x1, y1), QSize(std::max(0, x2 - x1), std::max(0, y2 - y1)));
}

LinePoint Shifted(LinePoint p, int32_t dx, int32_t dy)
{
    return {p.x + dx, p.y + dy};
}

}  // namespace

// --- Picture, scale, visibility ---

void LineEditor::SetLayerPicture(const QImage &picture)
{
    LayerPicture = picture.convertToFormat(QImage::Format_RGB32);
    RebuildForTool();
}

void LineEditor::SetViewScale(Fixed4 viewScale)
{
    // About two screen pixels; a mark of 0 would leave points impossible to hit.
    Mark = uint8_t(std::clamp<int64_t>(RoundDiv(2 * viewScale, Fixed4One), 1, 255));
}

void LineEditor::SetOrderVisible(int order, bool visible)
{
    if (order >= 0 && order < OrderCount)
        Visible[size_t(order)] = visible;
}

void LineEditor::Enter()
{
    StartCall();
    MouseHeld = 0;
    if (ToolMode == ToolFreeTransform)
        ToolMode = ToolMoveLine;
    RebuildForTool();
}

void LineEditor::Leave()
{
    StartCall();
    EditLine.clear();
    DrawCount = 0;
    MouseHeld = 0;
    RubberShown = false;
    PointPressed = false;
    if (ToolMode == ToolFreeTransform)
        ToolMode = ToolMoveLine;
    ClearSelection();
}

// --- Display and hit-test map ---

void LineEditor::BuildDisplay(bool tinted)
{
    Display = LayerPicture.copy();
    if (!tinted || Display.isNull())
        return;
    QImage mask(Display.size(), QImage::Format_RGB32);
    mask.fill(White);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        // Higher order numbers first, so order "1" shows on top.
        for (int k = std::min<int>(int(Doc->CurrentLines.size()), OrderCount) - 1; k >= 0; --k) {
            if (!Visible[size_t(k)])
                continue;
            for (const ContourLine &line : Doc->CurrentLines[size_t(k)])
                PaintLine(painter, line, QColor(0, 0, 110 + 10 * k), Qt::black, Mark);
        }
    }
    for (int y = 0; y < Display.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(Display.scanLine(y));
        const auto *tint = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        for (int x = 0; x < Display.width(); ++x) {
            const int t = qBlue(tint[x]);
            if (t == 255)
                continue;
            const QRgb p = row[x];
            row[x] = qRgb(int(RoundDiv(qRed(p) * t, 255)), int(RoundDiv(qGreen(p) * t, 255)), qBlue(p));
        }
    }
}

void LineEditor::BuildMap(MapLayout layout)
{
    CurrentLayout = layout;
    if (OrderMap.size() != QSize(Doc->WorkWidth, Doc->WorkHeight) || OrderMap.format() != QImage::Format_RGB32)
        OrderMap = QImage(std::max(0, Doc->WorkWidth), std::max(0, Doc->WorkHeight), QImage::Format_RGB32);
    if (OrderMap.isNull())
        return;
    OrderMap.fill(White);
    if (layout == MapLayout::None)
        return;
    QPainter painter(&OrderMap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (layout == MapLayout::Handles) {
        if (SelIds.empty())
            return;
        const int32_t e = 2 * Mark;
        const int32_t l = SelLeft, t = SelTop, r = SelRight, b = SelBottom;
        const int32_t cx = SelCenterX, cy = SelCenterY;
        const struct {
            uint8_t Code;
            QRect Area;
        } handles[] = {
            {HandleMove, SpanRect(l, t, r, b)},
            {HandleCentre, SpanRect(cx - e, cy - e, cx + e, cy + e)},
            {HandleTop, SpanRect(l, t - e, r, t + e)},
            {HandleRight, SpanRect(r - e, t, r + e, b)},
            {HandleBottom, SpanRect(l, b - e, r, b + e)},
            {HandleLeft, SpanRect(l - e, t, l + e, b)},
            {HandleTopLeft, SpanRect(l - e, t - e, l + e, t + e)},
            {HandleTopRight, SpanRect(r - e, t - e, r + e, t + e)},
            {HandleBottomRight, SpanRect(r - e, b - e, r + e, b + e)},
            {HandleBottomLeft, SpanRect(l - e, b - e, l + e, b + e)},
        };
        for (const auto &h : handles)
            painter.fillRect(h.Area, QColor(0, 0, h.Code));
        return;
    }
    for (int k = std::min<int>(int(Doc->CurrentLines.size()), OrderCount) - 1; k >= 0; --k) {
        const OrderLines &lines = Doc->CurrentLines[size_t(k)];
        for (size_t j = 0; j < lines.size() && j < size_t(MaxLinesPerOrder); ++j) {
            const ContourLine &line = lines[j];
            if (layout == MapLayout::Lines) {
                const QColor c(0, k, int(j));
                PaintLine(painter, line, c, c, Mark);
                continue;
            }
            // Points beyond what a code byte can name cannot be picked.
            const int n = std::min<int>(int(line.size()), MaxEditedPoints);
            if (n == 0)
                continue;
            painter.setBrush(Qt::NoBrush);
            auto segment = [&](int from, int to, int code) {
                painter.setPen(QPen(QColor(k, int(j), code), 5 * Mark, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter.drawLine(QPoint(line[size_t(from)].x, line[size_t(from)].y),
                                 QPoint(line[size_t(to)].x, line[size_t(to)].y));
            };
            for (int m = 1; m < n; ++m)
                segment(m - 1, m, 2 * m - 1);
            segment(n - 1, 0, 2 * n - 1);
            const int32_t h = 2 * Mark;
            for (int m = 0; m < n; ++m) {
                const LinePoint p = line[size_t(m)];
                painter.fillRect(SpanRect(p.x - h, p.y - h, p.x + h, p.y + h), QColor(k, int(j), 2 * m));
            }
        }
    }
}

uint32_t LineEditor::MapAt(LinePoint at) const
{
    if (OrderMap.isNull() || at.x < 0 || at.y < 0 || at.x >= OrderMap.width() || at.y >= OrderMap.height())
        return White;
    return reinterpret_cast<const QRgb *>(OrderMap.constScanLine(at.y))[at.x];
}

void LineEditor::RebuildForTool()
{
    switch (ToolMode) {
    case ToolFreeTransform:
        BuildDisplay(false);
        BuildMap(MapLayout::Handles);
        DrawTransformFrame();
        return;
    case ToolAddPoint:
    case ToolDeletePoint:
    case ToolMovePoint:
        BuildDisplay();
        BuildMap(MapLayout::Points);
        return;
    case ToolDrawLine:
        // The rebuilt picture has no rubber band: the next move draws it anew.
        RubberShown = false;
        if (!EditLine.empty())
            RubberFrom = RubberTo = EditLine.back();
        BuildDisplay();
        if (CurrentLayout == MapLayout::None)
            BuildMap(MapLayout::Lines);
        else
            BuildMap(CurrentLayout);
        DrawInProgressLine();
        return;
    default:
        BuildDisplay();
        BuildMap(MapLayout::Lines);
        if (ToolMode == ToolMoveLine)
            DrawSelectedOutlines();
        return;
    }
}

void LineEditor::Refresh()
{
    StartCall();
    RebuildForTool();
}

// --- Overlays ---

namespace {

struct OverlayPainter : QPainter {
    OverlayPainter(QImage &picture, int width, bool filled = false) : QPainter(&picture)
    {
        setRenderHint(QPainter::Antialiasing, false);
        setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        setPen(QPen(OverlayGreen, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        setBrush(filled ? QBrush(OverlayGreen) : QBrush(Qt::NoBrush));
    }
};

}  // namespace

void LineEditor::DrawOutline(const ContourLine &line, bool closed)
{
    if (Display.isNull() || line.empty())
        return;
    OverlayPainter painter(Display, Mark);
    // A closed line of two points runs there and back: in "not xor" the way
    // back would wipe out the way there, so it is drawn once, open.
    if (closed && line.size() > 2) {
        painter.drawPath(ClosedPath(line));
        return;
    }
    if (line.size() < 2)
        return;
    QPolygon polyline;
    for (const LinePoint &p : line)
        polyline << QPoint(p.x, p.y);
    painter.drawPolyline(polyline);
}

void LineEditor::DrawSegment(LinePoint from, LinePoint to)
{
    if (Display.isNull() || from == to)
        return;
    OverlayPainter painter(Display, Mark);
    painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

void LineEditor::DrawSquare(LinePoint at, bool filled)
{
    if (Display.isNull())
        return;
    const int32_t h = 2 * Mark;
    if (filled) {
        OverlayPainter painter(Display, Mark, true);
        painter.setPen(Qt::NoPen);
        painter.drawRect(SpanRect(at.x - h, at.y - h, at.x + h, at.y + h));
    } else {
        // A one-pixel frame just inside the square of the hit-test map.
        OverlayPainter painter(Display, 1);
        painter.setPen(QPen(OverlayGreen, 0));
        painter.drawRect(QRect(at.x - h, at.y - h, 2 * h - 1, 2 * h - 1));
    }
}

void LineEditor::DrawSelectedOutlines()
{
    for (const ContourLine &line : SelLines)
        DrawOutline(line);
}

void LineEditor::DrawPointDrag()
{
    DrawOutline(PointLine);
    for (uint8_t s : SelPoints)
        if (s < PointLine.size())
            DrawSquare(PointLine[s], false);
}

void LineEditor::DrawInProgressLine()
{
    if (ToolMode == ToolDrawLine)
        DrawOutline(EditLine, false);
}

void LineEditor::ComputeSelectionBox()
{
    bool any = false;
    for (const ContourLine &line : SelLines)
        for (const LinePoint &p : line) {
            if (!any) {
                SelLeft = SelRight = p.x;
                SelTop = SelBottom = p.y;
                any = true;
            }
            SelLeft = std::min(SelLeft, p.x);
            SelRight = std::max(SelRight, p.x);
            SelTop = std::min(SelTop, p.y);
            SelBottom = std::max(SelBottom, p.y);
        }
    SelCenterX = int32_t(RoundDiv(int64_t(SelLeft) + SelRight, 2));
    SelCenterY = int32_t(RoundDiv(int64_t(SelTop) + SelBottom, 2));
}

void LineEditor::DrawTransformFrame()
{
    if (Display.isNull() || SelLines.empty())
        return;
    DrawSelectedOutlines();
    OverlayPainter painter(Display, Mark);
    // The frame stands clear of the outlines and of the handle squares: drawn
    // over an axis-aligned line in "not xor", the two would cancel each other
    // out. A handle reaches 2 marks out, and each pen half a mark.
    const int32_t clear = 3 * Mark + 1;
    painter.drawRect(SpanRect(SaturatedInt32(int64_t(SelLeft) - clear), SaturatedInt32(int64_t(SelTop) - clear),
                              SaturatedInt32(int64_t(SelRight) + clear), SaturatedInt32(int64_t(SelBottom) + clear)));
    const int32_t e = 2 * Mark;
    const int32_t midX = int32_t(RoundDiv(int64_t(SelLeft) + SelRight, 2));
    const int32_t midY = int32_t(RoundDiv(int64_t(SelTop) + SelBottom, 2));
    const LinePoint marks[] = {{SelLeft, SelTop},    {midX, SelTop},    {SelRight, SelTop}, {SelRight, midY},
                              {SelRight, SelBottom}, {midX, SelBottom}, {SelLeft, SelBottom}, {SelLeft, midY}};
    for (const LinePoint &m : marks)
        painter.drawRect(SpanRect(m.x - e, m.y - e, m.x + e, m.y + e));
    painter.drawEllipse(QPoint(SelCenterX, SelCenterY), e, e);
}

// --- Selection ---

void LineEditor::StartCall()
{
    Refused = Refusal::None;
    BeepCount = 0;
}

void LineEditor::Refuse(Refusal why)
{
    Refused = why;
}

const ContourLine *LineEditor::LineOf(LineId id) const
{
    if (id.Order >= Doc->CurrentLines.size() || id.Line >= Doc->CurrentLines[id.Order].size())
        return nullptr;
    return &Doc->CurrentLines[id.Order][id.Line];
}

ContourLine *LineEditor::LineOf(LineId id)
{
    return const_cast<ContourLine *>(static_cast<const LineEditor *>(this)->LineOf(id));
}

bool LineEditor::Selected(LineId id) const
{
    return std::find(SelIds.begin(), SelIds.end(), id) != SelIds.end();
}

void LineEditor::SelectOnly(LineId id)
{
    SelIds = {id};
    SelCount = 1;
    CopySelectedLines();
}

void LineEditor::ClearSelection()
{
    SelIds.clear();
    SelCount = 0;
    SelLines.clear();
    SelPoints.clear();
    PointPressed = false;
}

void LineEditor::CopySelectedLines()
{
    // A name that no longer points at a line (after a compaction) is dropped.
    SelIds.erase(std::remove_if(SelIds.begin(), SelIds.end(), [this](LineId id) { return !LineOf(id); }),
                 SelIds.end());
    SelCount = uint8_t(SelIds.size());
    SelLines.clear();
    for (LineId id : SelIds)
        SelLines.push_back(*LineOf(id));
}

// --- Tools ---

void LineEditor::ChooseTool(uint8_t mode)
{
    StartCall();
    MouseHeld = 0;
    PointPressed = false;
    RubberShown = false;
    ToolMode = mode;
    switch (mode) {
    case ToolDrawLine:
        CursorShown = EditorCursor::Cross;
        if (!EditLine.empty())
            RubberFrom = RubberTo = EditLine.back();
        RebuildForTool();
        return;
    case ToolMovePoint:
        if (SelIds.size() > 1)
            SelectOnly(SelIds[0]);
        [[fallthrough]];
    case ToolAddPoint:
    case ToolDeletePoint:
        ActivePoint = NothingHere;
        // Until the pointer moves nothing is under it that Delete Point could remove.
        CursorShown = mode == ToolDeletePoint ? EditorCursor::NoEntry : EditorCursor::Arrow;
        CopySelectedLines();
        RebuildForTool();
        if (!SelLines.empty())
            DrawOutline(SelLines[0]);
        return;
    default:
        CursorShown = EditorCursor::Arrow;
        CopySelectedLines();
        RebuildForTool();
        return;
    }
}

void LineEditor::BeginLine()
{
    ClearSelection();
    ChooseTool(ToolDrawLine);
}

void LineEditor::SwitchToMoveLine()
{
    const Refusal refused = Refused;
    const int beeps = BeepCount;
    ChooseTool(ToolMoveLine);
    Refused = refused;
    BeepCount = beeps;
}

// --- Mouse ---

void LineEditor::Press(LinePoint at, Qt::MouseButton button, bool shift)
{
    StartCall();
    switch (ToolMode) {
    case ToolDrawLine:
        PressDraw(button);
        break;
    case ToolAddPoint:
        // A press acts on what lies under it, even without a move before it.
        PointerAt = at;
        MoveAddPoint(at);
        PressAddPoint();
        break;
    case ToolDeletePoint:
        PointerAt = at;
        MoveDeletePoint(at);
        PressDeletePoint();
        break;
    case ToolMoveLine:
        PressMoveLine(at, shift);
        break;
    case ToolMovePoint:
        PressMovePoint(at);
        break;
    case ToolFreeTransform:
        PressAt = at;
        PointerAt = at;
        HandleCode = uint8_t(qBlue(MapAt(at)));
        MouseHeld = 1;
        break;
    default:
        break;
    }
}

void LineEditor::Move(LinePoint at, LinePoint rubberAt)
{
    StartCall();
    PointerAt = at;
    switch (ToolMode) {
    case ToolDrawLine:
        if (DrawCount >= 1 && !EditLine.empty()) {
            if (RubberShown)
                DrawSegment(RubberFrom, RubberTo);
            RubberTo = rubberAt;
            DrawSegment(RubberFrom, RubberTo);
            RubberShown = true;
        }
        break;
    case ToolAddPoint:
        MoveAddPoint(at);
        break;
    case ToolDeletePoint:
        MoveDeletePoint(at);
        break;
    case ToolMoveLine:
        if (MouseHeld == 1) {
            DrawSelectedOutlines();
            const int32_t dx = at.x - PressAt.x, dy = at.y - PressAt.y;
            for (size_t i = 0; i < SelLines.size() && i < SelIds.size(); ++i) {
                const ContourLine *stored = LineOf(SelIds[i]);
                if (!stored)
                    continue;
                for (size_t p = 0; p < stored->size() && p < SelLines[i].size(); ++p)
                    SelLines[i][p] = Shifted((*stored)[p], dx, dy);
            }
            DrawSelectedOutlines();
        } else {
            CursorShown = qBlue(MapAt(at)) == NothingHere ? EditorCursor::NoEntry : EditorCursor::MoveAll;
        }
        break;
    case ToolMovePoint:
        if (MouseHeld == 1) {
            const ContourLine *stored = SelIds.empty() ? nullptr : LineOf(SelIds[0]);
            if (!stored)
                break;
            DrawPointDrag();
            for (uint8_t s : SelPoints)
                if (s < stored->size() && s < PointLine.size())
                    PointLine[s] = Shifted((*stored)[s], at.x - PressAt.x, at.y - PressAt.y);
            DrawPointDrag();
        } else {
            CursorShown = qBlue(MapAt(at)) == NothingHere ? EditorCursor::NoEntry : EditorCursor::Arrow;
        }
        break;
    case ToolFreeTransform:
        if (MouseHeld == 1) {
            MoveTransform(at);
        } else {
            HandleCode = uint8_t(qBlue(MapAt(at)));
            switch (HandleCode) {
            case HandleMove: CursorShown = EditorCursor::MoveAll; break;
            case HandleTop:
            case HandleBottom: CursorShown = EditorCursor::SizeVertical; break;
            case HandleRight:
            case HandleLeft: CursorShown = EditorCursor::SizeHorizontal; break;
            case HandleTopLeft:
            case HandleBottomRight: CursorShown = EditorCursor::SizeDiagonalDown; break;
            case HandleTopRight:
            case HandleBottomLeft: CursorShown = EditorCursor::SizeDiagonalUp; break;
            default: CursorShown = EditorCursor::NoEntry; break;
            }
        }
        break;
    default:
        break;
    }
}

void LineEditor::Release(LinePoint at, Qt::MouseButton button)
{
    StartCall();
    switch (ToolMode) {
    case ToolDrawLine:
        if (MouseHeld == 1)
            ReleaseDraw(at, button);
        break;
    case ToolMoveLine:
        ReleaseMoveLine();
        break;
    case ToolMovePoint:
        if (MouseHeld == 1)
            ReleaseMovePoint();
        break;
    case ToolFreeTransform:
        if (MouseHeld == 1)
            ReleaseTransform();
        break;
    case ToolIdle:
        // The release after the end of a free transform brings back Move Line.
        ToolMode = ToolMoveLine;
        break;
    default:
        MouseHeld = 0;
        break;
    }
}

bool LineEditor::DoubleClick()
{
    if (ToolMode == ToolFreeTransform)
        EndFreeTransform();
    if (ToolMode != ToolDrawLine || EditLine.empty())
        return false;
    StartCall();
    MouseHeld = 0;  // the release that follows adds no point
    FinishLine();
    return true;
}

void LineEditor::DropLine()
{
    StartCall();
    if (EditLine.empty())
        return;
    EditLine.clear();
    DrawCount = 0;
    MouseHeld = 0;
    RubberShown = false;
    RebuildForTool();
}

void LineEditor::EndFreeTransform()
{
    StartCall();
    if (ToolMode != ToolFreeTransform)
        return;
    MouseHeld = 0;
    BuildDisplay();
    BuildMap(MapLayout::Lines);
    ToolMode = ToolIdle;
}

// Draw Line: every release adds a point; a right release ends the line.
void LineEditor::PressDraw(Qt::MouseButton)
{
    MouseHeld = 1;
}

void LineEditor::ReleaseDraw(LinePoint at, Qt::MouseButton button)
{
    MouseHeld = 0;
    const bool ends = button == Qt::RightButton;
    const bool pointFits = EditLine.size() < size_t(MaxEditedPoints);
    const size_t finalCount = EditLine.size() + (pointFits ? 1 : 0);
    if (ends && OrderRefusesLine(finalCount))
        return;
    if (pointFits) {
        if (RubberShown)
            DrawSegment(RubberFrom, RubberTo);
        if (!EditLine.empty())
            DrawSegment(EditLine.back(), at);
        EditLine.push_back(at);
        DrawCount = int32_t(EditLine.size());
        RubberFrom = RubberTo = at;
        RubberShown = false;
    } else {
        Refuse(Refusal::LineFull);
    }
    if (ends)
        FinishLine();
}

bool LineEditor::OrderRefusesLine(size_t points)
{
    const int order = std::clamp<int>(CurrentOrder, 0, OrderCount - 1);
    if (points > 2 && Doc->CurrentLines.size() == size_t(OrderCount) &&
        Doc->CurrentLines[size_t(order)].size() >= size_t(MaxLinesPerOrder)) {
        // The line stays in progress: another order can take it.
        Refuse(Refusal::OrderFull);
        return true;
    }
    return false;
}

void LineEditor::FinishLine()
{
    if (OrderRefusesLine(EditLine.size()))
        return;
    const int order = std::clamp<int>(CurrentOrder, 0, OrderCount - 1);
    if (EditLine.size() > 2) {
        AppendLine(Doc->CurrentLines, order, EditLine);
        SelectOnly({uint8_t(order), uint8_t(Doc->CurrentLines[size_t(order)].size() - 1)});
    } else {
        ClearSelection();  // fewer than three points make no line
    }
    EditLine.clear();
    DrawCount = 0;
    RubberShown = false;
    RebuildForTool();
}

void LineEditor::UndoPoint()
{
    StartCall();
    if (EditLine.empty())
        return;
    EditLine.pop_back();
    DrawCount = int32_t(EditLine.size());
    // Only the draw tool shows the line being drawn; the others keep their picture.
    if (ToolMode == ToolDrawLine)
        RebuildForTool();
}

// Add Point: over a segment the cursor is a cross, and a press puts a point
// into the segment where the pointer is.
void LineEditor::MoveAddPoint(LinePoint at)
{
    const QRgb c = MapAt(at);
    const int code = qBlue(c);
    if (code == NothingHere || code % 2 == 0) {
        CursorShown = EditorCursor::NoEntry;
        return;
    }
    const LineId id{uint8_t(qRed(c)), uint8_t(qGreen(c))};
    const ContourLine *line = LineOf(id);
    if (!line) {
        CursorShown = EditorCursor::NoEntry;
        return;
    }
    SelectOnly(id);
    PointLine = *line;
    // The closing segment puts the new point after the last one.
    const int named = std::min<int>(int(line->size()), MaxEditedPoints);
    ActivePoint = code == 2 * named - 1 ? uint8_t(std::min<size_t>(line->size(), 255)) : uint8_t(code / 2 + 1);
    CursorShown = EditorCursor::Cross;
}

void LineEditor::PressAddPoint()
{
    if (CursorShown != EditorCursor::Cross || SelIds.empty())
        return;
    ContourLine *line = LineOf(SelIds[0]);
    if (!line)
        return;
    if (PointLine.size() >= size_t(MaxEditedPoints)) {
        Refuse(Refusal::LineFull);
        return;
    }
    const size_t index = std::min<size_t>(ActivePoint, PointLine.size());
    PointLine.insert(PointLine.begin() + ptrdiff_t(index), PointerAt);
    *line = PointLine;
    CopySelectedLines();
    BuildDisplay();
    BuildMap(MapLayout::Points);
    DrawSquare(PointerAt, false);
    MoveAddPoint(PointerAt);
}

// Delete Point: over a point the cursor is the arrow, and a press removes it.
void LineEditor::MoveDeletePoint(LinePoint at)
{
    const QRgb c = MapAt(at);
    const int code = qBlue(c);
    const LineId id{uint8_t(qRed(c)), uint8_t(qGreen(c))};
    const ContourLine *line = LineOf(id);
    if (code == NothingHere || code % 2 != 0 || !line) {
        CursorShown = EditorCursor::NoEntry;
        return;
    }
    SelectOnly(id);
    PointLine = *line;
    ActivePoint = uint8_t(code / 2);
    CursorShown = EditorCursor::Arrow;
}

void LineEditor::PressDeletePoint()
{
    if (CursorShown != EditorCursor::Arrow || SelIds.empty())
        return;
    ContourLine *line = LineOf(SelIds[0]);
    if (!line || ActivePoint >= PointLine.size())
        return;
    // Fewer than three points are left for the next compaction to remove.
    PointLine.erase(PointLine.begin() + ActivePoint);
    *line = PointLine;
    CopySelectedLines();
    BuildDisplay();
    BuildMap(MapLayout::Points);
    DrawOutline(PointLine);
    MoveDeletePoint(PointerAt);
}

// Move Line: a press picks the line under it; a drag moves every selected line.
void LineEditor::PressMoveLine(LinePoint at, bool shift)
{
    const QRgb c = MapAt(at);
    if (qBlue(c) == NothingHere) {
        ClearSelection();
        CursorShown = EditorCursor::NoEntry;
        return;
    }
    const LineId id{uint8_t(qGreen(c)), uint8_t(qBlue(c))};
    if (!LineOf(id))
        return;
    PressAt = at;
    CursorShown = EditorCursor::MoveAll;
    if (shift) {
        auto found = std::find(SelIds.begin(), SelIds.end(), id);
        if (found != SelIds.end()) {
            SelIds.erase(found);
        } else if (SelIds.size() >= size_t(MaxSelectedLines)) {
            Refuse(Refusal::SelectionFull);
            return;
        } else {
            SelIds.push_back(id);
        }
        MouseHeld = 0;
    } else {
        if (!Selected(id))
            SelIds = {id};
        MouseHeld = 1;
    }
    CopySelectedLines();
    BuildMap(MapLayout::Lines);
    if (MouseHeld == 1) {
        // The outlines on screen are those the drag moves.
        BuildDisplay();
        DrawSelectedOutlines();
    }
}

void LineEditor::ReleaseMoveLine()
{
    if (MouseHeld == 1) {
        for (size_t i = 0; i < SelIds.size() && i < SelLines.size(); ++i)
            if (ContourLine *line = LineOf(SelIds[i]))
                *line = SelLines[i];
        MouseHeld = 0;
    }
    CopySelectedLines();
    BuildDisplay();
    BuildMap(MapLayout::Lines);
    DrawSelectedOutlines();
    if (!SelIds.empty())
        CurrentOrder = SelIds[0].Order;
}

// Move Point: a press on a point drags it; on a segment, both its ends.
void LineEditor::PressMovePoint(LinePoint at)
{
    const QRgb c = MapAt(at);
    const int code = qBlue(c);
    const LineId id{uint8_t(qRed(c)), uint8_t(qGreen(c))};
    const ContourLine *line = LineOf(id);
    if (code == NothingHere || !line || line->empty()) {
        CursorShown = EditorCursor::NoEntry;
        return;
    }
    CursorShown = EditorCursor::Arrow;
    PressAt = at;
    SelectOnly(id);
    PointLine = *line;
    PickCode = uint8_t(code);
    ActivePoint = uint8_t(code / 2);
    if (code % 2 == 0) {
        SelPoints = {ActivePoint};
    } else {
        // The map names at most MaxEditedPoints points: its last segment closes to point 0.
        const size_t named = std::min<size_t>(line->size(), MaxEditedPoints);
        const size_t next = size_t(ActivePoint) + 1;
        SelPoints = {ActivePoint, uint8_t(next >= named ? 0 : next)};
    }
    PointPressed = true;
    BuildDisplay();
    BuildMap(MapLayout::Points);
    DrawPointDrag();
    MouseHeld = 1;
}

void LineEditor::ReleaseMovePoint()
{
    MouseHeld = 0;
    ContourLine *line = SelIds.empty() ? nullptr : LineOf(SelIds[0]);
    if (!line)
        return;
    *line = PointLine;
    CopySelectedLines();
    BuildDisplay();
    BuildMap(MapLayout::Points);
    DrawOutline(PointLine);
    for (size_t m = 0; m < PointLine.size(); ++m) {
        const bool moved = std::find(SelPoints.begin(), SelPoints.end(), uint8_t(m)) != SelPoints.end();
        DrawSquare(PointLine[m], moved);
    }
}

// --- Free transform ---

void LineEditor::FreeTransform()
{
    StartCall();
    CopySelectedLines();
    if (SelIds.empty())
        return;
    ToolMode = ToolFreeTransform;
    MouseHeld = 0;
    ComputeSelectionBox();
    RebuildForTool();
}

void LineEditor::MoveTransform(LinePoint at)
{
    DrawTransformFrame();
    const int32_t cx = SelCenterX, cy = SelCenterY;
    int64_t sx = Fixed4One, sy = Fixed4One;
    bool scale = false, move = false;
    const bool horizontal = PressAt.x != cx, vertical = PressAt.y != cy;
    switch (HandleCode) {
    case HandleMove:
        move = true;
        break;
    case HandleTop:
    case HandleBottom:
        if (vertical) {
            sy = RoundDiv(int64_t(at.y - cy) * Fixed4One, int64_t(PressAt.y) - cy);
            scale = true;
        }
        break;
    case HandleRight:
    case HandleLeft:
        if (horizontal) {
            sx = RoundDiv(int64_t(at.x - cx) * Fixed4One, int64_t(PressAt.x) - cx);
            scale = true;
        }
        break;
    case HandleTopLeft:
    case HandleTopRight:
    case HandleBottomRight:
    case HandleBottomLeft:
        if (horizontal && vertical) {
            sx = RoundDiv(int64_t(at.x - cx) * Fixed4One, int64_t(PressAt.x) - cx);
            sy = RoundDiv(int64_t(at.y - cy) * Fixed4One, int64_t(PressAt.y) - cy);
            scale = true;
        }
        break;
    default:
        break;
    }
    if (move || scale) {
        for (size_t i = 0; i < SelIds.size() && i < SelLines.size(); ++i) {
            const ContourLine *stored = LineOf(SelIds[i]);
            if (!stored)
                continue;
            for (size_t p = 0; p < stored->size() && p < SelLines[i].size(); ++p) {
                const LinePoint s = (*stored)[p];
                if (move)
                    SelLines[i][p] = Shifted(s, at.x - PressAt.x, at.y - PressAt.y);
                else
                    SelLines[i][p] = {int32_t(RoundDiv(int64_t(s.x - cx) * sx, Fixed4One) + cx),
                                      int32_t(RoundDiv(int64_t(s.y - cy) * sy, Fixed4One) + cy)};
            }
        }
    }
    ComputeSelectionBox();
    DrawTransformFrame();
}

void LineEditor::ReleaseTransform()
{
    for (size_t i = 0; i < SelIds.size() && i < SelLines.size(); ++i)
        if (ContourLine *line = LineOf(SelIds[i]))
            *line = SelLines[i];
    ComputeSelectionBox();
    BuildMap(MapLayout::Handles);
    MouseHeld = 0;
}

// --- Commands ---

void LineEditor::DeleteLastLine()
{
    StartCall();
    RemoveLastLine(Doc->CurrentLines, CurrentOrder);
    ClearSelection();
    if (ToolMode == ToolFreeTransform)
        ToolMode = ToolMoveLine;
    RebuildForTool();
}

void LineEditor::EmptyCurrentOrder()
{
    StartCall();
    EmptyOrder(Doc->CurrentLines, CurrentOrder);
    ClearSelection();
    if (ToolMode == ToolFreeTransform)
        ToolMode = ToolMoveLine;
    RebuildForTool();
}

void LineEditor::DeleteAll()
{
    StartCall();
    DeleteAllLines(Doc->CurrentLines);
    ClearSelection();
    if (ToolMode == ToolFreeTransform)
        ToolMode = ToolMoveLine;
    RebuildForTool();
}

void LineEditor::SelectAll()
{
    StartCall();
    size_t total = 0;
    for (const OrderLines &lines : Doc->CurrentLines)
        total += lines.size();
    if (total > size_t(MaxSelectedLines)) {
        Refuse(Refusal::SelectionFull);
        return;
    }
    SelIds.clear();
    for (int k = std::min<int>(int(Doc->CurrentLines.size()), OrderCount) - 1; k >= 0; --k)
        for (size_t j = 0; j < Doc->CurrentLines[size_t(k)].size(); ++j)
            SelIds.push_back({uint8_t(k), uint8_t(j)});
    CopySelectedLines();
    ToolMode = ToolMoveLine;
    MouseHeld = 0;
    PointPressed = false;
    BuildMap(MapLayout::Lines);
    BuildDisplay(false);
    DrawSelectedOutlines();
}

void LineEditor::DeleteSelected()
{
    StartCall();
    if (ToolMode == ToolMoveLine && !SelIds.empty()) {
        for (LineId id : SelIds)
            if (ContourLine *line = LineOf(id))
                line->clear();
        ClearSelection();
        CompactLines(Doc->CurrentLines);
        BuildDisplay();
        BuildMap(MapLayout::Lines);
    } else if (ToolMode == ToolMovePoint && PointPressed && !SelIds.empty() && !SelPoints.empty()) {
        ContourLine *line = LineOf(SelIds[0]);
        if (!line || SelPoints[0] >= line->size())
            return;
        line->erase(line->begin() + SelPoints[0]);
        PointLine = *line;
        CopySelectedLines();
        BuildDisplay();
        BuildMap(MapLayout::Points);
        DrawOutline(PointLine);
    }
}

void LineEditor::MoveSelectionOrder(int step)
{
    StartCall();
    CopySelectedLines();
    if (SelIds.empty())
        return;
    const int edge = step > 0 ? OrderCount - 1 : 0;
    std::vector<int> targets;
    int beeps = 0;
    for (LineId id : SelIds) {
        targets.push_back(std::clamp(int(id.Order) + step, 0, OrderCount - 1));
        if (id.Order == edge)
            ++beeps;
    }
    // Worked out on a copy, so that an order that would overflow changes nothing.
    LineSet moved = Doc->CurrentLines;
    for (size_t i = 0; i < SelIds.size(); ++i) {
        moved[size_t(targets[i])].push_back(SelLines[i]);
        moved[SelIds[i].Order][SelIds[i].Line].clear();
    }
    CompactLines(moved);
    for (const OrderLines &lines : moved)
        if (lines.size() > size_t(MaxLinesPerOrder)) {
            Refuse(Refusal::OrderFull);
            return;
        }
    Doc->CurrentLines = std::move(moved);
    // The moved lines are the last of their orders; a line of two points or
    // fewer was dropped by the compaction and is no longer selected.
    LineIds ids;
    std::map<int, int> earlier;
    for (size_t i = 0; i < targets.size(); ++i) {
        if (SelLines[i].size() <= 2)
            continue;
        const int t = targets[i];
        const int index = int(Doc->CurrentLines[size_t(t)].size()) - 1 - earlier[t]++;
        if (index >= 0)
            ids.push_back({uint8_t(t), uint8_t(index)});
    }
    SelIds = ids;
    CopySelectedLines();
    BeepCount = beeps;
    if (!SelIds.empty())
        CurrentOrder = SelIds[0].Order;
    SwitchToMoveLine();
}

void LineEditor::Copy()
{
    StartCall();
    CopySelectedLines();
    ClipLines = SelLines;
    ClipOrders.clear();
    for (LineId id : SelIds)
        ClipOrders.push_back(id.Order);
    ClipboardFilled = true;
    SwitchToMoveLine();
}

void LineEditor::Cut()
{
    Copy();
    for (LineId id : SelIds)
        if (ContourLine *line = LineOf(id))
            line->clear();
    CompactLines(Doc->CurrentLines);
    ClearSelection();
    SwitchToMoveLine();
}

void LineEditor::Paste()
{
    StartCall();
    if (!ClipboardFilled)
        return;
    std::array<size_t, OrderCount> adding{};
    for (uint8_t order : ClipOrders)
        if (order < OrderCount)
            ++adding[order];
    if (Doc->CurrentLines.size() != size_t(OrderCount))
        Doc->CurrentLines.resize(OrderCount);
    for (int k = 0; k < OrderCount; ++k)
        if (Doc->CurrentLines[size_t(k)].size() + adding[size_t(k)] > size_t(MaxLinesPerOrder)) {
            Refuse(Refusal::OrderFull);
            return;
        }
    SelIds.clear();
    for (size_t i = 0; i < ClipLines.size() && i < ClipOrders.size(); ++i) {
        const uint8_t order = std::min<uint8_t>(ClipOrders[i], OrderCount - 1);
        AppendLine(Doc->CurrentLines, order, ClipLines[i]);
        SelIds.push_back({order, uint8_t(Doc->CurrentLines[order].size() - 1)});
    }
    CopySelectedLines();
    SwitchToMoveLine();
}
