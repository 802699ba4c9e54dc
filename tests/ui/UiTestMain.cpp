// The window tests run the real widgets without a display and run the
// window timers by hand.

#include <QApplication>
#include <gtest/gtest.h>

#include "ui/kit/WindowTimers.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quorrel"));
    WindowTimers::SetRunByHand(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
