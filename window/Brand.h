// The pictures Vistrel draws for itself: the splash/about picture, the help
// window's picture and the toolbar icons. Drawn in code so that nothing but the
// program is needed.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

QImage DrawAboutPicture(int width, int height);
QImage DrawHelpPicture(int width, int height);
// The program's icon, `size` pixels square: three cards at different depths
// behind lens stripes, on a transparent ground.
QImage DrawAppIcon(int size);

// The toolbar icons, one a command or line tool ("Begin Line" and the draw
// tool share the pen).
enum class ToolImage {
    OpenProject, SaveProject, ImportPsd, ZoomIn, ZoomOut, DeletePoint, DeleteLine, DeleteLayerLines,
    DeleteAllLines, Preview, Stop, ExportTiff, DrawLine, Anaglyph, AddPoint, DeletePointTool, MoveLine,
    MovePoint, LowerOrder, HigherOrder, Cut, Copy, Paste,
};
QIcon ToolIcon(ToolImage kind);
