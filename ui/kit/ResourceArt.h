#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code at their resource sizes:
//   128 the application icon (also shown in the About box),
//   130 the logo bitmap beside the main window's voltage entry,
//   138 the script panel's timing illustration of two steps.
// An unknown id gives a null pixmap or icon.
QPixmap LoadBitmapResource(int id);
QIcon LoadIconResource(int id);
