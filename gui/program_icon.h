// The program icon, drawn with QPainter: a ledger sheet with an export
// arrow. res/recordhaul.svg holds the same drawing for the desktop.
#ifndef RECORDHAUL_GUI_PROGRAM_ICON_H_
#define RECORDHAUL_GUI_PROGRAM_ICON_H_

#include <QIcon>
#include <QImage>

class QPainter;

namespace rh {

// Draws the icon into the square (0, 0, size, size).
void PaintProgramIcon(QPainter& painter, int size);

// The icon as a transparent image of size x size pixels.
QImage ProgramIconImage(int size);

// The icon at the usual sizes, for windows and the About dialog.
QIcon ProgramIcon();

}  // namespace rh

#endif  // RECORDHAUL_GUI_PROGRAM_ICON_H_
