#include "cli/StepCommand.h"

#include <memory>
#include <optional>
#include <string>
#include <strings.h>

#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "device/QuorrelProtocol.h"

namespace
{
constexpr const char* RegulatingState = "07";
}

void StepRegulator(DeviceSession& session, ResultOutput& out, bool up)
{
    const std::string state = session.RequestStatus().panel.dcdcState;
    if (::strcasecmp(state.c_str(), RegulatingState) != 0)
        Fail(ExitStatus::Refused, StepStateText + state);
    session.Control(up ? CtlStepUp : CtlStepDown);
    const std::optional<int> steps = session.RegulatorSteps();
    if (out.Json())
    {
        out.Document({{"step", up ? "up" : "down"},
                      {"regulator_steps", steps ? nlohmann::json(*steps) : nlohmann::json(nullptr)}});
        return;
    }
    out.Line(std::string("Regulator steps: ") + (steps ? std::to_string(*steps) : "undefined"));
}

void AddStepCommand(CLI::App& app, CommandRegistry& registry)
{
    auto direction = std::make_shared<std::string>();
    CLI::App* command =
        app.add_subcommand("step", "One regulator step up or down (only while the DCDC state is 07)");
    command->add_option("DIRECTION", *direction, "up or down")->required()->check(CLI::IsMember({"up", "down"}));
    registry.Add(command, [direction](CommandContext& context) {
        StepRegulator(context.Session(), context.Out(), *direction == "up");
    });
}
