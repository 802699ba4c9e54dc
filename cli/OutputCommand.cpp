#include <map>
#include <memory>
#include <string>

#include "cli/CommandRegistry.h"
#include "device/QuorrelProtocol.h"

namespace
{
const std::map<std::string, uint8_t> OutputSubCodes = {
    {"aux", CtlAuxOutput},
    {"psw", CtlPowerSwitch},
    {"vout", CtlMainOutput},
};

struct OutputOptions
{
    std::string output;
    std::string state;
};
} // namespace

void AddOutputCommand(CLI::App& app, CommandRegistry& registry)
{
    auto options = std::make_shared<OutputOptions>();
    CLI::App* command = app.add_subcommand("output", "Switch one output: aux (Aux V Out), psw (Power Switch), vout (VOut ON)");
    command->add_option("OUTPUT", options->output, "aux, psw or vout")
        ->required()
        ->check(CLI::IsMember({"aux", "psw", "vout"}));
    command->add_option("STATE", options->state, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
    registry.Add(command, [options](CommandContext& context) {
        const bool on = options->state == "on";
        context.Session().Control(OutputSubCodes.at(options->output), on ? 1 : 0);
        if (context.Out().Json())
            context.Out().Document({{"output", options->output}, {"on", on}});
        else
            context.Out().Line(options->output + " " + options->state);
    });
}
