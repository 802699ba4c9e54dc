#include <cstdio>
#include <fstream>
#include <optional>
#include <memory>
#include <string>

#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "cli/ProgressBar.h"
#include "device/QuorrelProtocol.h"
#include "transfer/SettingsTransfer.h"

namespace
{
void Done(ResultOutput& out, const std::string& file, const std::string& status)
{
    if (out.Json())
        out.Document({{"file", file}, {"status", status}});
    else
        out.Line(status);
}

void Export(CommandContext& context, const std::string& file)
{
    DeviceSession& session = context.Session();
    ProgressBar progress;
    const bool ok = ExportSettings(session.Source(), session.LinkClock(), file, progress);
    progress.End();
    if (!ok)
        Fail(ExitStatus::Failed, progress.Status());
    Done(context.Out(), file, progress.Status());
}

// After a failed import the device may hold part of the file: its
// parameters go back to the factory's, as the window does it. The message
// says so only when the device confirmed it.
[[noreturn]] void FallBackToFactoryDefaults(DeviceSession& session)
{
    bool loaded = false;
    try
    {
        if (LoadFactoryDefaults(session.Source()))
        {
            const std::optional<CommandReply> reply = session.AwaitControlReply(CtlFactoryDefaults);
            loaded = reply && reply->result == 0;
        }
    }
    catch (const CommandFailure&)
    {
        // the device went away meanwhile: not known to be loaded
    }
    Fail(ExitStatus::Failed, loaded ? FactoryDefaultsLoadedText : FallbackFailedText);
}

void Import(CommandContext& context, const std::string& file)
{
    // A file that cannot be read is refused before the device is even looked for.
    if (!std::ifstream(file))
        Fail(ExitStatus::Refused, ImportFileNotFoundText);
    DeviceSession& session = context.Session();
    ProgressBar progress;
    const ImportOutcome outcome = ImportSettings(session.Source(), session.LinkClock(), file, progress, stderr);
    progress.End();
    switch (outcome)
    {
    case ImportOutcome::Done:
        Done(context.Out(), file, progress.Status());
        return;
    case ImportOutcome::FileNotFound:
        Fail(ExitStatus::Refused, ImportFileNotFoundText);
    case ImportOutcome::Failed:
        std::fprintf(stderr, "%s\n", ImportWriteErrorText);
        FallBackToFactoryDefaults(session);
    }
}
} // namespace

void AddTransferCommands(CLI::App& app, CommandRegistry& registry)
{
    auto exportFile = std::make_shared<std::string>(SettingsFileName);
    CLI::App* exportCommand =
        app.add_subcommand("export", "Copy the device's script and parameters to a settings file");
    exportCommand->add_option("FILE", *exportFile, "The settings file (default settings.ini); an existing one is "
                                                   "replaced only when the copy is complete");
    registry.Add(exportCommand, [exportFile](CommandContext& context) { Export(context, *exportFile); });

    auto importFile = std::make_shared<std::string>(SettingsFileName);
    CLI::App* importCommand = app.add_subcommand(
        "import", "Write a settings file to the device; if writing fails, the factory parameters are restored");
    importCommand->add_option("FILE", *importFile, "The settings file (default settings.ini)");
    registry.Add(importCommand, [importFile](CommandContext& context) { Import(context, *importFile); });
}
