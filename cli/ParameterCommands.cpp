#include <memory>
#include <string>
#include <vector>

#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/ParameterStore.h"

namespace
{
struct ParameterOptions
{
    bool all = false;
    std::string name;
    std::string value;
};

int SlotNamed(const std::string& name)
{
    const std::optional<int> slot = FindParameterByName(name);
    if (!slot)
        Fail(ExitStatus::Refused, UnknownParameterText + name);
    return *slot;
}

void ListParameters(CommandContext& context, bool all)
{
    const ParameterBlock block = ReadParameterBlock(context.Session());
    const std::vector<int> slots = all ? ParameterSlots() : ListedParameterSlots();
    ResultOutput& out = context.Out();
    if (out.Json())
    {
        nlohmann::json list = nlohmann::json::array();
        for (int slot : slots)
            list.push_back(ParameterJson(slot, FormatParameter(block, slot)));
        out.Document({{"parameters", list}});
        return;
    }
    for (int slot : slots)
        out.Line(ParameterLine(slot, FormatParameter(block, slot)));
}

void ShowValue(ResultOutput& out, int slot, const std::string& value)
{
    if (out.Json())
        out.Document(ParameterJson(slot, value));
    else
        out.Line(value);
}

void GetParameter(CommandContext& context, const std::string& name)
{
    const int slot = SlotNamed(name);
    ShowValue(context.Out(), slot, FormatParameter(ReadParameterBlock(context.Session()), slot));
}

void SetParameter(CommandContext& context, const std::string& name, const std::string& value)
{
    const int slot = SlotNamed(name);
    // The unlisted ones are kept and written back, but never offered for editing.
    if (!ParameterAt(slot).listed)
        Fail(ExitStatus::Refused, std::string(UnlistedParameterText) + ParameterAt(slot).name);
    if (!ParameterAccepts(slot, value))
        Fail(ExitStatus::Refused, InvalidValueText);
    ShowValue(context.Out(), slot, StoreParameterOnDevice(context.Session(), slot, value));
}
} // namespace

void AddParameterCommands(CLI::App& app, CommandRegistry& registry)
{
    auto options = std::make_shared<ParameterOptions>();

    CLI::App* params = app.add_subcommand("params", "Every parameter the settings panel lists, as NAME = VALUE UNIT");
    params->add_flag("--all", options->all, "Also the four parameters the settings panel does not offer");
    registry.Add(params, [options](CommandContext& context) { ListParameters(context, options->all); });

    CLI::App* get = app.add_subcommand("get", "One parameter's value, alone on a line");
    get->add_option("NAME", options->name, "The parameter's name as 'params' lists it (case does not matter)")
        ->required();
    registry.Add(get, [options](CommandContext& context) { GetParameter(context, options->name); });

    CLI::App* set = app.add_subcommand(
        "set", "Store one parameter (the whole parameter block is read, changed and written), then print it as read back");
    set->add_option("NAME", options->name, "The parameter's name as 'params' lists it (case does not matter)")
        ->required();
    set->add_option("VALUE", options->value, "The value as the settings panel takes it")->required();
    registry.Add(set, [options](CommandContext& context) { SetParameter(context, options->name, options->value); });
}
