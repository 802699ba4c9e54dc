#include "cli/StatusCommand.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/CommandRegistry.h"

namespace
{
const char* const ModeNames[] = {"Dumb", "Automotive", "Script", "UPS"};

// "%.2f" texts as JSON numbers; the decimal point is always '.'.
double Volts(const std::string& text)
{
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

int Integer(const std::string& text)
{
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

const char* OnOff(bool on)
{
    return on ? "on" : "off";
}

void Print(ResultOutput& out, const StatusView& status, std::optional<int> regulatorSteps, bool separate)
{
    const StatusPanelTexts& panel = status.panel;
    if (out.Json())
    {
        out.Document({
            {"title", status.title},
            {"firmware", std::to_string(status.firmwareByte >> 5) + "." + std::to_string(status.firmwareByte & 0x1F)},
            {"mode", status.mode},
            {"mode_name", ModeNames[status.mode & 3]},
            {"time_config", status.timeConfig},
            {"voltage_config", status.voltageConfig},
            {"voltage_in", Volts(status.voltageIn)},
            {"ignition", Volts(status.ignition)},
            {"voltage_out", Volts(status.voltageOut)},
            {"vout_on", status.voutOn},
            {"aux_on", status.auxOn},
            {"power_switch_on", status.powerSwitchOn},
            {"dcdc_state", panel.dcdcState},
            {"output_flags", panel.outputFlags},
            {"pin_configuration", panel.pinConfiguration},
            {"voltage_flags", panel.voltageFlags},
            {"timer_flags", panel.timerFlags},
            {"script_step", Integer(panel.scriptStep)},
            {"wait_timer", panel.waitTimer},
            {"vout_timer", panel.voutTimer},
            {"vaux_timer", panel.vauxTimer},
            {"power_switch_timer", Integer(panel.powerSwitchTimer)},
            {"off_delay_timer", panel.offDelayTimer},
            {"hard_off_timer", panel.hardOffTimer},
            {"regulator_steps", regulatorSteps ? nlohmann::json(*regulatorSteps) : nlohmann::json(nullptr)},
        });
        return;
    }
    // The window's labels, in the window's order.
    const std::vector<std::pair<const char*, std::string>> lines = {
        {"Voltage In:", status.voltageIn},
        {"Ignition:", status.ignition},
        {"Voltage Out:", status.voltageOut},
        {"VOut ON:", OnOff(status.voutOn)},
        {"Aux V Out:", OnOff(status.auxOn)},
        {"Power Switch:", OnOff(status.powerSwitchOn)},
        {"Time cfg.:", panel.timeConfig},
        {"Volt cfg.:", panel.voltageConfig},
        {"Mode:", panel.mode},
        {"DCDC State:", panel.dcdcState},
        {"Output flags:", panel.outputFlags},
        {"Pin configuration:", panel.pinConfiguration},
        {"Voltage flags:", panel.voltageFlags},
        {"Timer flags:", panel.timerFlags},
        {"Script step number:", panel.scriptStep},
        {"Wait timer:", panel.waitTimer},
        {"VOut timer:", panel.voutTimer},
        {"VAux timer:", panel.vauxTimer},
        {"Powerswitch timer:", panel.powerSwitchTimer},
        {"Off Delay timer:", panel.offDelayTimer},
        {"Hard Off timer:", panel.hardOffTimer},
        {"Regulator steps:", regulatorSteps ? std::to_string(*regulatorSteps) : UndefinedText},
    };
    if (separate)
        out.Line("");
    out.Line(status.title);
    for (const auto& [label, value] : lines)
    {
        std::string line = label;
        line.resize(21, ' ');
        out.Line(line + value);
    }
    out.Flush();
}

struct StatusOptions
{
    double watchSeconds = 1;
    int count = 0;
};
} // namespace

void ShowStatus(DeviceSession& session, ResultOutput& out)
{
    const StatusView status = session.RequestStatus();
    Print(out, status, session.RegulatorSteps(), false);
}

void WatchStatus(DeviceSession& session, ResultOutput& out, Clock& pause, uint32_t intervalMs, int count)
{
    for (int shown = 0; count == 0 || shown < count; ++shown)
    {
        if (shown > 0 && intervalMs > 0)
            pause.SleepMs(intervalMs);
        const StatusView status = session.RequestStatus();
        Print(out, status, session.RegulatorSteps(), shown > 0);
    }
}

void AddStatusCommand(CLI::App& app, CommandRegistry& registry)
{
    auto options = std::make_shared<StatusOptions>();
    CLI::App* status = app.add_subcommand(
        "status", "The device's status as the status panel shows it (and the regulator steps above firmware 1.2)");
    CLI::Option* watch = status
                             ->add_option("--watch", options->watchSeconds,
                                          "Repeat every SECONDS (default 1; 0: one after another) until stopped")
                             ->expected(0, 1)
                             ->default_str("1")
                             ->type_name("[SECONDS]")
                             ->check(CLI::Range(0.0, 86400.0));
    status->add_option("--count", options->count, "With --watch: stop after N reports")
        ->needs(watch)
        ->type_name("N")
        ->check(CLI::PositiveNumber);
    registry.Add(status, [options, watch](CommandContext& context) {
        DeviceSession& session = context.Session();
        if (watch->count() == 0)
        {
            ShowStatus(session, context.Out());
            return;
        }
        const auto intervalMs = static_cast<uint32_t>(std::lround(options->watchSeconds * 1000));
        WatchStatus(session, context.Out(), context.GetClock(), intervalMs, options->count);
    });
}
