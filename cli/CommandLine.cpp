#include "cli/CommandLine.h"

#include <cstdio>
#include <exception>

#include <CLI/CLI.hpp>

#include "cli/CommandContext.h"
#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "cli/ResultOutput.h"

namespace
{
constexpr const char* Description =
    "quorrelctl - programmer for the Quorrel vehicle power supply: status, outputs, output voltage, "
    "parameters, script, sleep, and the settings file.";

constexpr const char* Footer = "Exit status: 0 done; 1 the device or the operation failed; 2 bad usage or refused "
                               "input (nothing sent); 3 no device found.\n"
                               "Run 'quorrelctl COMMAND --help' for a command's options.";

void Report(const CommandFailure& failure)
{
    std::fprintf(stderr, "%s\n", failure.what());
    std::fflush(stderr);
}
} // namespace

int RunCommandLine(int argc, char** argv)
{
    CLI::App app{Description, "quorrelctl"};
    app.footer(Footer);
    app.set_version_flag("--version", "quorrelctl " QUORREL_VERSION);
    app.require_subcommand(1);
    app.fallthrough(); // the options below may also follow the command

    GlobalOptions options;
    CLI::Option* simulate =
        app.add_option("--simulate", options.simulatedMemoryFile,
                       "Use the embedded simulated power supply instead of the HID bus; with =FILE its memory "
                       "is kept in FILE between runs (created with the factory contents when missing)")
            ->expected(0, 1)
            ->type_name("[=FILE]");
    app.add_option("--device", options.devicePath,
                   "The power supply at this device path (as 'list' shows it) instead of the first one found")
        ->type_name("PATH");
    app.add_flag("--json", options.json, "Print each result as one JSON document on a line of its own");

    CommandRegistry registry;
    AddListCommand(app, registry);
    AddStatusCommand(app, registry);
    AddOutputCommand(app, registry);
    AddVoutCommand(app, registry);
    AddStepCommand(app, registry);
    AddParameterCommands(app, registry);
    AddDefaultsCommand(app, registry);
    AddScriptCommands(app, registry);
    AddSleepCommand(app, registry);
    AddTransferCommands(app, registry);

    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& error)
    {
        // Help and version go to standard output with status 0; every usage
        // error to standard error with status 2.
        return app.exit(error) == 0 ? 0 : static_cast<int>(ExitStatus::Refused);
    }
    options.simulate = simulate->count() > 0;
    const CommandRun* run = registry.Selected();
    if (run == nullptr)
    {
        std::fputs(app.help().c_str(), stderr);
        return static_cast<int>(ExitStatus::Refused);
    }

    StdoutDiversion diversion;
    ResultOutput out(diversion.Results(), options.json);
    ExitStatus status = ExitStatus::Done;
    CommandContext context(options, out);
    try
    {
        (*run)(context);
    }
    catch (const CommandFailure& failure)
    {
        Report(failure);
        status = failure.Status();
    }
    catch (const std::exception& error)
    {
        Report(CommandFailure(ExitStatus::Failed, error.what()));
        status = ExitStatus::Failed;
    }
    // A run that failed half-way may still have changed the device: the
    // simulated memory is kept whatever the outcome.
    try
    {
        context.Finish();
    }
    catch (const CommandFailure& failure)
    {
        Report(failure);
        if (status == ExitStatus::Done)
            status = failure.Status();
    }
    return static_cast<int>(status);
}
