#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "tests/ui/UiFixture.h"
#include "ui/CAboutDlg.h"

namespace
{
namespace C = MainWindowControl;

void Press(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}
} // namespace

TEST_F(WindowFixture, EnterDoesNothingAndEscapeEndsTheProgram)
{
    StartAndDrain();
    window->show();
    QLineEdit* entry = window->EditControl(C::VoltageEntry);
    entry->setText("12");
    const size_t before = WrittenCount();

    Press(entry, Qt::Key_Return);
    Press(window.get(), Qt::Key_Enter);
    Press(window->StatusPanelWindow(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(WrittenCount(), before) << "Enter sets no voltage";
    EXPECT_EQ(entry->text().toStdString(), "12");

    // Escape in a panel belongs to the window, not to the panel.
    Press(window->StatusPanelWindow(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
}

TEST_F(WindowFixture, CloseBoxEndsTheProgram)
{
    StartAndDrain();
    window->show();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
}

TEST_F(WindowFixture, SystemMenuAboutItemOpensTheAboutBox)
{
    StartAndDrain();
    struct Case
    {
        int command;
        bool opens;
    };
    // The system keeps the low four bits of a menu command for itself.
    for (const Case& c : {Case{16, true}, Case{16 | 0x7, true}, Case{32, false}, Case{0xF060, false}})
    {
        SCOPED_TRACE(c.command);
        std::string opened;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window.get())
            {
                opened = modal->windowTitle().toStdString();
                modal->close();
            }
        });
        window->OnSysCommand(c.command);
        QCoreApplication::processEvents(); // a timer not used by a modal loop runs here
        EXPECT_EQ(opened, c.opens ? "About Quorrel" : "");
    }
}

TEST(AboutBox, ShowsTheVersionAndAnOkButtonThatCloses)
{
    CAboutDlg about(nullptr);
    about.show();
    EXPECT_EQ(about.windowTitle().toStdString(), "About Quorrel");
    bool versionShown = false;
    for (QLabel* label : about.findChildren<QLabel*>())
        versionShown |= label->text() == "Quorrel Version 4.3.0.1";
    EXPECT_TRUE(versionShown);
    about.ButtonControl(DialogCommand::Ok)->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}
