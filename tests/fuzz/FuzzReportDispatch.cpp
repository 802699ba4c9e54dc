// Any 0 to 64 bytes as a report from the device, decoded and dispatched by
// the main window (offscreen, connected to a simulated power supply): every
// report lands in its place or nowhere, and nothing crashes.

#include <QApplication>

#include "model/ReportDecoder.h"
#include "sim/SimulatedHidBus.h"
#include "ui/CQuorrelDlg.h"
#include "ui/kit/MessageBoxes.h"
#include "ui/kit/WindowTimers.h"

namespace
{
struct SilentBoxes final : MessageBoxes
{
    MessageAnswer Show(QWidget*, const QString&, MessageButtons) override { return MessageAnswer::Ok; }
};

struct Window
{
    SimulatedHidBus bus;
    SilentBoxes boxes;
    std::unique_ptr<CQuorrelDlg> dialog;

    Window()
    {
        bus.AddPowerSupply();
        InstallMessageBoxes(&boxes);
        WindowTimers::SetRunByHand(true);
        dialog = std::make_unique<CQuorrelDlg>(bus);
        dialog->OnInitDialog();
    }
};

Window& TheWindow()
{
    static int argc = 1;
    static char name[] = "fuzz_report_dispatch";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)application;
    static Window* window = new Window; // lives until the process ends
    return *window;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64)
        return 0;
    const HArray report(static_cast<int32_t>(size), data);
    const DecodedReport decoded = DecodeReport(report);
    if (size < 24 && decoded.action != ReportAction::Ignore)
        __builtin_trap(); // a short report is never acted on
    TheWindow().dialog->HandleReport(report);
    return 0;
}
