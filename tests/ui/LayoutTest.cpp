// The windows as the templates lay them out: dialog units to pixels, every
// control's content inside its window, and pictures of the window with each
// panel shown (written into the test's build folder, window-*.png, for a look by eye).

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "tests/ui/UiFixture.h"
#include "ui/CAboutDlg.h"
#include "ui/CPanelScripts.h"
#include "ui/CSleepDialog.h"

namespace
{
namespace C = MainWindowControl;

// The least room a control needs to show its content whole.
QSize NeededSize(const QWidget& control)
{
    const QFontMetrics metrics(control.font());
    if (auto* label = qobject_cast<const QLabel*>(&control); label && !label->text().isEmpty() && !label->wordWrap())
        return {metrics.horizontalAdvance(label->text()), metrics.height()};
    if (auto* check = qobject_cast<const QCheckBox*>(&control))
        return {check->sizeHint().width(), metrics.height()};
    if (auto* button = qobject_cast<const QPushButton*>(&control))
        return {metrics.horizontalAdvance(button->text()) + 6, metrics.height()};
    if (auto* list = qobject_cast<const QComboBox*>(&control))
        return {metrics.horizontalAdvance(list->currentText()), metrics.height()};
    return {1, 1};
}

// The controls of a window or panel whose content is cut off by its edges
// (as shown: a panel's edges are those the window gives it).
std::vector<std::string> ClippedControls(const TemplateDialog& dialog)
{
    std::vector<std::string> clipped;
    for (QWidget* control : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    {
        if (dynamic_cast<TemplateDialog*>(control))
            continue;
        const QRect inside = control->geometry().intersected(dialog.rect());
        const QSize needed = NeededSize(*control);
        if (inside.width() < needed.width() || inside.height() < needed.height())
        {
            QString what = control->metaObject()->className();
            if (auto* label = qobject_cast<QLabel*>(control))
                what += " \"" + label->text() + "\"";
            if (auto* button = qobject_cast<QAbstractButton*>(control))
                what += " \"" + button->text() + "\"";
            clipped.push_back(QString("%1 of %2 at %3,%4 %5x%6 needs %7x%8")
                                  .arg(what)
                                  .arg(dialog.Template().id)
                                  .arg(control->x())
                                  .arg(control->y())
                                  .arg(control->width())
                                  .arg(control->height())
                                  .arg(needed.width())
                                  .arg(needed.height())
                                  .toStdString());
        }
    }
    return clipped;
}
} // namespace

TEST(DialogUnits, ConvertAsTheDialogManagerRounds)
{
    struct Case
    {
        DialogRect units;
        QRect pixels;
    };
    const DialogBaseUnits designed{6, 13};
    const Case cases[] = {
        {{0, 0, 382, 348}, QRect(0, 0, 573, 566)}, // the main window: 348 * 13 / 8 = 565.5 rounds up
        {{1, 4, 2, 12}, QRect(2, 7, 3, 20)},        // halves round away from zero
        {{7, 18, 34, 35}, QRect(11, 29, 51, 57)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogToPixels(c.units, designed), c.pixels);
}

TEST(DialogUnits, TheDialogFontHasTheUnitsThePanelsWereMadeFor)
{
    const DialogBaseUnits units = BaseUnitsOf(DialogFont(MainWindowTemplate()));
    EXPECT_EQ(units.x, 6);
    EXPECT_EQ(units.y, 13);
}

TEST_F(WindowFixture, NothingIsClippedWithAnyPanelAndPicturesAreWritten)
{
    StartAndDrain();
    window->SetItemText(C::VoltageEntry, "12");
    window->show();
    const std::pair<int, const char*> views[] = {
        {C::StatusButton, "status"}, {C::SettingsButton, "settings"}, {C::ScriptButton, "script"}, {C::MinimizeButton, "collapsed"}};
    for (const auto& [button, name] : views)
    {
        SCOPED_TRACE(name);
        Click(button);
        Drain();
        EXPECT_EQ(ClippedControls(*window), std::vector<std::string>{});
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        {
            auto* panel = dynamic_cast<TemplateDialog*>(child);
            if (!panel || !panel->isVisibleTo(window.get()))
                continue;
            EXPECT_TRUE(window->rect().contains(panel->geometry())) << panel->x() << "," << panel->y() << " " << panel->width() << "x" << panel->height();
            EXPECT_EQ(ClippedControls(*panel), std::vector<std::string>{});
        }
        const QString file = QDir(QUORREL_PICTURE_DIR).filePath(QString("window-%1.png").arg(name));
        EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
    }

    CSleepDialog sleep(window->ScriptPanelWindow(), window.get());
    EXPECT_EQ(ClippedControls(sleep), std::vector<std::string>{});
    EXPECT_TRUE(sleep.grab().save(QDir(QUORREL_PICTURE_DIR).filePath("window-sleep.png")));

    CAboutDlg about(window.get());
    EXPECT_EQ(ClippedControls(about), std::vector<std::string>{});
    EXPECT_TRUE(about.grab().save(QDir(QUORREL_PICTURE_DIR).filePath("window-about.png")));
}
