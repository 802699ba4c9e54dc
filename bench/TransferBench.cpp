// Export and import of the settings file on the simulated power supply,
// which answers at once, on the real clock: the wall time of each against
// the bound the device link's own pacing sets (a reader sleep and a reply
// poll per round trip, at most 20 ms a report).

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "device/DeviceIdentity.h"
#include "device/HIDDevices.h"
#include "device/HIDQuorrel.h"
#include "sim/SimulatedHidBus.h"
#include "transfer/BlockTransfer.h"
#include "transfer/SettingsTransfer.h"

namespace
{
constexpr double BoundPerReportMs = 20;
constexpr double Target = 1.1;

struct Quiet final : TransferReport
{
    void SetStatus(const std::string&) override {}
    void SetProgress(int) override {}
};

double MillisecondsOf(const std::function<bool()>& work, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    ok = work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Print(const char* what, double ms, int reports, bool ok)
{
    const double bound = reports * BoundPerReportMs;
    std::printf("%-28s %8.1f ms   bound %6.0f ms (%d reports x %.0f ms)   ratio %.2f   target <= %.2f   %s\n", what, ms,
                bound, reports, BoundPerReportMs, ms / bound, Target, ok ? (ms / bound <= Target ? "met" : "MISSED") : "FAILED");
}
} // namespace

int main()
{
    SimulatedHidBus bus;
    bus.AddPowerSupply();
    HIDDevices devices(bus);
    std::unique_ptr<HIDDevice> device(devices.OpenDevice(devices.ChooseDevice(DeviceManufacturer)));
    HIDQuorrel connection(device.get());
    FixedConnection source(&connection);
    Quiet report;
    const std::string file = (std::filesystem::temp_directory_path() / "quorrel-bench-settings.ini").string();

    bool ok = false;
    const double exportMs = MillisecondsOf([&] { return ExportSettings(source, Clock::System(), file, report); }, ok);
    Print("export (64 reads)", exportMs, 64, ok);

    const double importMs = MillisecondsOf(
        [&] {
            if (ImportSettings(source, Clock::System(), file, report, nullptr) != ImportOutcome::Done)
                return false;
            return ReadBlock(source, Clock::System(), 0x3FC0).has_value(); // the reload that follows an import
        },
        ok);
    Print("import (80 requests + reload)", importMs, 84, ok);
    std::filesystem::remove(file);
    return 0;
}
