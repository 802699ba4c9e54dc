#include "ui/kit/ResourceArt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include "resources/ResourceIds.h"

// Every picture is drawn once, on first use, and kept in a function-local
// static. Drawing makes pixmaps and uses fonts, so a QGuiApplication (or
// QApplication) must exist before the first call of either loader.

namespace
{
const QColor EmblemTop(0x2a, 0x55, 0xa0);
const QColor EmblemBottom(0x12, 0x2b, 0x63);
const QColor EmblemEdge(0x0b, 0x1c, 0x44);
const QColor BoltFill(0xff, 0xc8, 0x2e);
const QColor BoltEdge(0x8a, 0x5a, 0x00);

const QColor OnColour(0x1e, 0x9e, 0x32);
const QColor OffColour(0xd8, 0x26, 0x26);
const QColor InkColour(0x20, 0x20, 0x20);
const QColor GuideColour(0xa0, 0xa0, 0xa0);
const QColor FineGuideColour(0xd0, 0xd0, 0xd0);
const QColor TransitionColour(0x70, 0x70, 0x70);

QFont SmallFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The bolt's outline in a unit square, clockwise from the top of its upper stroke.
QPolygonF BoltIn(const QRectF& box)
{
    static const QPointF unit[] = {{0.50, 0.02}, {0.80, 0.02}, {0.61, 0.39}, {0.80, 0.39},
                                   {0.28, 0.98}, {0.42, 0.53}, {0.22, 0.53}};
    QPolygonF bolt;
    for (const QPointF& point : unit)
        bolt << QPointF(box.left() + point.x() * box.width(), box.top() + point.y() * box.height());
    return bolt;
}

// The emblem: a rounded dark-blue square with a yellow lightning bolt and,
// when there is room for it, a white "Q" in the lower right corner.
void DrawEmblem(QPainter& painter, const QRectF& square, bool withLetter)
{
    const qreal size = square.width();
    painter.save();

    QLinearGradient shade(square.topLeft(), square.bottomLeft());
    shade.setColorAt(0.0, EmblemTop);
    shade.setColorAt(1.0, EmblemBottom);
    const qreal edge = size >= 24 ? 1.0 : 0.8;
    painter.setPen(QPen(EmblemEdge, edge));
    painter.setBrush(shade);
    const QRectF body = square.adjusted(edge / 2, edge / 2, -edge / 2, -edge / 2);
    painter.drawRoundedRect(body, size * 0.2, size * 0.2);

    QRectF boltBox = withLetter ? QRectF(square.left() + size * 0.10, square.top() + size * 0.12, size * 0.56,
                                         size * 0.76)
                                : QRectF(square.left() + size * 0.17, square.top() + size * 0.12, size * 0.66,
                                         size * 0.76);
    painter.setPen(size >= 24 ? QPen(BoltEdge, size / 48.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                              : QPen(Qt::NoPen));
    painter.setBrush(BoltFill);
    painter.drawPolygon(BoltIn(boltBox));

    if (withLetter)
    {
        QFont font = SmallFont(qRound(size * 0.40), true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        QRectF letterBox(square.left() + size * 0.52, square.top() + size * 0.45, size * 0.42, size * 0.48);
        painter.drawText(letterBox, Qt::AlignCenter, QStringLiteral("Q"));
    }
    painter.restore();
}

QPixmap DrawIconPixmap(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawEmblem(painter, QRectF(0, 0, size, size), size >= 32);
    painter.end();
    return QPixmap::fromImage(image);
}

const QIcon& AppIcon()
{
    static const QIcon icon = [] {
        QIcon drawn;
        for (int size : {16, 32, 48})
            drawn.addPixmap(DrawIconPixmap(size));
        return drawn;
    }();
    return icon;
}

// The DC sign: a solid line over a dashed one, as on a meter's volts range.
void DrawDcSign(QPainter& painter, const QRectF& box)
{
    painter.save();
    painter.setPen(QPen(EmblemBottom, 1.2, Qt::SolidLine, Qt::FlatCap));
    const qreal upper = box.top() + box.height() * 0.35;
    const qreal lower = box.top() + box.height() * 0.70;
    painter.drawLine(QPointF(box.left(), upper), QPointF(box.right(), upper));
    const qreal dash = box.width() / 5;
    for (int i = 0; i < 3; ++i)
    {
        const qreal left = box.left() + 2 * i * dash;
        painter.drawLine(QPointF(left, lower), QPointF(left + dash, lower));
    }
    painter.restore();
}

// The logo beside the voltage entry: the emblem above a small "V" with the DC sign.
QPixmap DrawLogo()
{
    constexpr int Width = 51;
    constexpr int Height = 57;
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    constexpr qreal Emblem = 43;
    DrawEmblem(painter, QRectF((Width - Emblem) / 2, 1, Emblem, Emblem), true);

    QFont font = SmallFont(10, true);
    painter.setFont(font);
    painter.setPen(EmblemBottom);
    const QRectF caption(0, Emblem + 2, Width, Height - Emblem - 2);
    const qreal letter = QFontMetricsF(font).horizontalAdvance(QStringLiteral("V"));
    constexpr qreal SignWidth = 10;
    constexpr qreal Gap = 2;
    const qreal left = (Width - letter - Gap - SignWidth) / 2;
    painter.drawText(QRectF(left, caption.top(), letter + 1, caption.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("V"));
    DrawDcSign(painter, QRectF(left + letter + Gap, caption.top() + 2, SignWidth, caption.height() - 4));
    painter.end();
    return QPixmap::fromImage(image);
}

// --- The script panel's timing illustration ------------------------------

enum class Level
{
    Off,
    On
};

struct OutputRow
{
    const char* name;
    Level phases[4]; // STEP1 T1, STEP1 T2, STEP2 T1, STEP2 T2
};

constexpr OutputRow TimingRows[] = {
    {"VOUT", {Level::On, Level::Off, Level::Off, Level::Off}},
    {"VAUX", {Level::Off, Level::On, Level::Off, Level::Off}},
    {"PWS", {Level::Off, Level::On, Level::Off, Level::Off}},
};

constexpr int TimingWidth = 180;
constexpr int TimingHeight = 266;
constexpr qreal StepsLeft = 6;
constexpr qreal PhaseWidth = 42;
constexpr qreal StepWidth = 2 * PhaseWidth;
constexpr qreal HeaderHeight = 16;
constexpr qreal RowTop = 20;
constexpr qreal RowHeight = 72;
// Within a row, from its top:
constexpr qreal NameBaseline = 9;
constexpr qreal HighLevel = 18;
constexpr qreal LowLevel = 42;
constexpr qreal PhaseArrows = 51;

qreal PhaseLeft(int phase)
{
    return StepsLeft + phase * PhaseWidth;
}

// A horizontal line with an arrowhead at each end.
void DrawSpanArrow(QPainter& painter, qreal left, qreal right, qreal y, qreal head)
{
    painter.drawLine(QPointF(left, y), QPointF(right, y));
    painter.drawLine(QPointF(left, y), QPointF(left + head, y - head * 0.7));
    painter.drawLine(QPointF(left, y), QPointF(left + head, y + head * 0.7));
    painter.drawLine(QPointF(right, y), QPointF(right - head, y - head * 0.7));
    painter.drawLine(QPointF(right, y), QPointF(right - head, y + head * 0.7));
}

void DrawDashedVertical(QPainter& painter, qreal x, qreal top, qreal bottom, const QColor& colour)
{
    QPen pen(colour, 1, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({2, 2});
    painter.setPen(pen);
    painter.drawLine(QPointF(x + 0.5, top), QPointF(x + 0.5, bottom));
}

void DrawTimingRow(QPainter& painter, const OutputRow& row, qreal top)
{
    painter.setFont(SmallFont(8, true));
    painter.setPen(InkColour);
    painter.drawText(QPointF(2, top + NameBaseline), QString::fromLatin1(row.name));

    // Guides at the phase edges, finer between T1 and T2 than between steps.
    for (int edge = 0; edge <= 4; ++edge)
    {
        const bool stepEdge = edge % 2 == 0;
        DrawDashedVertical(painter, PhaseLeft(edge), top + HighLevel - 4, top + PhaseArrows + 3,
                           stepEdge ? GuideColour : FineGuideColour);
    }

    auto levelY = [&](Level level) { return top + (level == Level::On ? HighLevel : LowLevel); };

    // Rises and falls between phases first, so the coloured levels lie over them.
    painter.setPen(QPen(TransitionColour, 1, Qt::SolidLine, Qt::FlatCap));
    for (int phase = 1; phase < 4; ++phase)
    {
        if (row.phases[phase] != row.phases[phase - 1])
            painter.drawLine(QPointF(PhaseLeft(phase) + 0.5, levelY(row.phases[phase - 1])),
                             QPointF(PhaseLeft(phase) + 0.5, levelY(row.phases[phase])));
    }

    const QFont labelFont = SmallFont(8, false);
    painter.setFont(labelFont);
    for (int phase = 0; phase < 4; ++phase)
    {
        const Level level = row.phases[phase];
        const QColor colour = level == Level::On ? OnColour : OffColour;
        painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::FlatCap));
        const qreal y = levelY(level);
        painter.drawLine(QPointF(PhaseLeft(phase), y), QPointF(PhaseLeft(phase + 1), y));

        // The phase's name and state, in the band between the two levels.
        const QString label = QStringLiteral("T%1 %2")
                                  .arg(phase % 2 + 1)
                                  .arg(level == Level::On ? QStringLiteral("ON") : QStringLiteral("OFF"));
        painter.setPen(colour.darker(125));
        const QRectF band(PhaseLeft(phase), top + HighLevel + 2, PhaseWidth, LowLevel - HighLevel - 4);
        painter.drawText(band, Qt::AlignCenter, label);

        // The phase's time.
        painter.setPen(QPen(InkColour, 1, Qt::SolidLine, Qt::FlatCap));
        DrawSpanArrow(painter, PhaseLeft(phase) + 2.5, PhaseLeft(phase + 1) - 2.5, top + PhaseArrows + 0.5, 3);
    }
}

QPixmap DrawScriptTiming()
{
    QImage image(TimingWidth, TimingHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    painter.setFont(SmallFont(8, true));
    painter.setPen(InkColour);
    painter.drawText(QRectF(StepsLeft, 2, StepWidth, HeaderHeight - 4), Qt::AlignCenter, QStringLiteral("STEP1"));
    painter.drawText(QRectF(StepsLeft + StepWidth, 2, StepWidth, HeaderHeight - 4), Qt::AlignCenter,
                     QStringLiteral("STEP2"));

    qreal rowTop = RowTop;
    for (const OutputRow& row : TimingRows)
    {
        DrawTimingRow(painter, row, rowTop);
        rowTop += RowHeight;
    }

    // Each step lasts one global wait time.
    const qreal gwtTop = RowTop + 3 * RowHeight;
    for (int step = 0; step < 2; ++step)
    {
        const qreal left = StepsLeft + step * StepWidth;
        DrawDashedVertical(painter, left, gwtTop - 10, gwtTop + 10, GuideColour);
        DrawDashedVertical(painter, left + StepWidth, gwtTop - 10, gwtTop + 10, GuideColour);
        painter.setPen(QPen(InkColour, 1, Qt::SolidLine, Qt::RoundCap));
        DrawSpanArrow(painter, left + 2.5, left + StepWidth - 1.5, gwtTop + 4.5, 4);
        painter.setFont(SmallFont(8, true));
        painter.drawText(QRectF(left, gwtTop + 9, StepWidth, 12), Qt::AlignHCenter | Qt::AlignTop,
                         QStringLiteral("GWT"));
    }
    painter.end();
    return QPixmap::fromImage(image);
}
} // namespace

QPixmap LoadBitmapResource(int id)
{
    switch (id)
    {
    case ResourceId::AppIcon:
        return AppIcon().pixmap(32, 32);
    case ResourceId::LogoBitmap: {
        static const QPixmap logo = DrawLogo();
        return logo;
    }
    case ResourceId::ScriptTimingBitmap: {
        static const QPixmap timing = DrawScriptTiming();
        return timing;
    }
    default:
        return {};
    }
}

QIcon LoadIconResource(int id)
{
    if (id == ResourceId::AppIcon)
        return AppIcon();
    return {};
}
