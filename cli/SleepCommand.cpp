#include <memory>
#include <optional>
#include <string>

#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "device/QuorrelProtocol.h"
#include "model/SleepTime.h"

void AddSleepCommand(CLI::App& app, CommandRegistry& registry)
{
    auto time = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("sleep", "Send the device to sleep for DD:HH:MM (days, hours, minutes)");
    command->add_option("DD:HH:MM", *time, "At most 45:12:15 (65535 minutes); hours run to 59")->required();
    registry.Add(command, [time](CommandContext& context) {
        const std::optional<uint16_t> minutes = ParseSleepTime(*time);
        if (!minutes)
            Fail(ExitStatus::Refused, SleepTimeMessage);
        const DeviceCommand sleep = SleepCommand(*minutes);
        context.Session().Control(sleep.args.at(0), sleep.args.at(1), sleep.args.at(2));
        if (context.Out().Json())
            context.Out().Document({{"sleep_minutes", *minutes}});
        else
            context.Out().Line("Sleeping for " + std::to_string(*minutes) + " minutes");
    });
}
