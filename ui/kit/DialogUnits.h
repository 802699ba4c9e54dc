#pragma once

#include <QFont>
#include <QRect>

#include "resources/DialogTemplate.h"

// Dialog units to pixels, as the templates were laid out: the horizontal
// base unit is the average width of the 52 letters of the dialog font,
// rounded; the vertical one the font's height. A dialog unit is a quarter of
// the first across and an eighth of the second down, rounded to the nearest
// pixel.
struct DialogBaseUnits
{
    int x = 6;
    int y = 13;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);
QRect DialogToPixels(const DialogRect& rect, DialogBaseUnits units);
int DialogXToPixels(int x, DialogBaseUnits units);
int DialogYToPixels(int y, DialogBaseUnits units);

// The font that stands for a template's font on this system. The windows
// place their panels in pixels made for base units of 6 x 13 (the dialog
// font at 96 dots per inch), so the font is a sans-serif face at a size whose
// base units are exactly that (or, failing that, the largest within it); the
// layout then keeps the templates' proportions and no panel is clipped.
QFont DialogFont(const DialogTemplate& dialog);
