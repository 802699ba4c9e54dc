#include "ui/kit/DialogUnits.h"

#include <QFontMetrics>

namespace
{
// Rounded a * b / c, halves away from zero, as the system's dialog manager rounds.
int MulDiv(int a, int b, int c)
{
    long long product = static_cast<long long>(a) * b;
    long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

constexpr DialogBaseUnits DesignedBaseUnits{6, 13};
} // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    QFontMetrics metrics(font);
    int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

int DialogXToPixels(int x, DialogBaseUnits units)
{
    return MulDiv(x, units.x, 4);
}

int DialogYToPixels(int y, DialogBaseUnits units)
{
    return MulDiv(y, units.y, 8);
}

QRect DialogToPixels(const DialogRect& rect, DialogBaseUnits units)
{
    int left = DialogXToPixels(rect.x, units);
    int top = DialogYToPixels(rect.y, units);
    return QRect(left, top, DialogXToPixels(rect.width, units), DialogYToPixels(rect.height, units));
}

QFont DialogFont(const DialogTemplate& dialog)
{
    // Narrow faces first: their average width at the height of the designed
    // units is close to the designed width, so captions fit as laid out.
    static const char* const Families[] = {"DejaVu Sans Condensed", "Liberation Sans Narrow", "Sans Serif"};
    const int startPixels = (dialog.fontPoints * 96 + 36) / 72 + 4;
    QFont best;
    int bestArea = -1;
    for (const char* family : Families)
    {
        QFont font(QString::fromLatin1(family));
        font.setStyleHint(QFont::SansSerif);
        for (int pixels = startPixels; pixels > 6; --pixels)
        {
            font.setPixelSize(pixels);
            const DialogBaseUnits units = BaseUnitsOf(font);
            if (units.x > DesignedBaseUnits.x || units.y > DesignedBaseUnits.y)
                continue;
            if (units.x == DesignedBaseUnits.x && units.y == DesignedBaseUnits.y)
                return font;
            // Otherwise the largest that fits, among all faces.
            if (units.x * units.y > bestArea)
            {
                bestArea = units.x * units.y;
                best = font;
            }
            break;
        }
    }
    return best;
}
