#include <memory>
#include <optional>
#include <string>

#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/ParameterStore.h"
#include "device/QuorrelProtocol.h"
#include "model/ValueCodecs.h"

namespace
{
struct VoutOptions
{
    std::string volts;
    bool save = false;
};

void SetVout(CommandContext& context, const VoutOptions& options)
{
    const std::optional<double> volts = ReadEntryVolts(options.volts);
    if (!volts)
        Fail(ExitStatus::Refused, VoltageRangeText);
    const std::optional<int> voltage0 = FindParameterSlot("Voltage 0");
    // "Voltage n" is stored from the whole text, as typed.
    if (options.save && (!voltage0 || !ParameterAccepts(*voltage0, options.volts)))
        Fail(ExitStatus::Refused, InvalidValueText);

    DeviceSession& session = context.Session();
    const uint8_t code = VoltsToOutputCode(*volts);
    std::optional<int> savedSlot;
    if (options.save)
        savedSlot = *voltage0 + session.Status().voltageConfig; // the configuration in force
    session.Control(CtlSetOutputVoltage, code);
    const uint8_t codeByte[] = {code};
    const std::string shown = FormatValue(codeByte, 0, 1, ValueType::OutputVoltage, 0);

    std::string saved;
    if (savedSlot)
        saved = StoreParameterOnDevice(session, *savedSlot, options.volts);

    ResultOutput& out = context.Out();
    if (out.Json())
    {
        out.Document({{"volts", OutputCodeToVolts(code)},
                      {"code", code},
                      {"saved", savedSlot ? ParameterJson(*savedSlot, saved) : nlohmann::json(nullptr)}});
        return;
    }
    out.Line("VOut set to " + shown + " V");
    if (savedSlot)
        out.Line(ParameterLine(*savedSlot, saved));
}
} // namespace

void AddVoutCommand(CLI::App& app, CommandRegistry& registry)
{
    auto options = std::make_shared<VoutOptions>();
    CLI::App* command = app.add_subcommand("vout", "Set the output voltage, 5 to 25 V (until the next power cycle)");
    command->add_option("VOLTS", options->volts, "The voltage; the number at the start of its first 8 characters counts")
        ->required();
    command->add_flag("--save", options->save,
                      "Also store it as the parameter \"Voltage n\" of the voltage configuration n in force");
    registry.Add(command, [options](CommandContext& context) { SetVout(context, *options); });
}
