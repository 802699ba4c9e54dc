#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "device/QuorrelProtocol.h"

namespace
{
// Asks on the terminal, as the window asks in a message box; only an
// explicit yes goes ahead.
bool Confirmed()
{
    std::fprintf(stderr, "%s [y/N] ", LoadDefaultsQuestion);
    std::fflush(stderr);
    char answer[16] = {};
    if (std::fgets(answer, sizeof answer, stdin) == nullptr)
        return false;
    const std::string text(answer);
    return text == "y\n" || text == "Y\n" || text == "yes\n" || text == "YES\n" || text == "Yes\n";
}

void LoadDefaults(CommandContext& context, bool yes)
{
    const bool terminal = ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
    if (!yes && !terminal)
        Fail(ExitStatus::Refused, DefaultsNeedYesText);
    DeviceSession& session = context.Session(); // no device: said before asking
    if (!yes && !Confirmed())
        Fail(ExitStatus::Refused, DefaultsCancelledText);
    session.Control(CtlFactoryDefaults);
    if (context.Out().Json())
        context.Out().Document({{"factory_defaults_loaded", true}});
    else
        context.Out().Line("Factory defaults loaded");
}
} // namespace

void AddDefaultsCommand(CLI::App& app, CommandRegistry& registry)
{
    auto yes = std::make_shared<bool>(false);
    CLI::App* command = app.add_subcommand(
        "defaults", "Restore the device's factory parameters (the script is kept); asks first on a terminal");
    command->add_flag("--yes,-y", *yes, "Do not ask (needed when not run on a terminal)");
    registry.Add(command, [yes](CommandContext& context) { LoadDefaults(context, *yes); });
}
