#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "device/QuorrelProtocol.h"
#include "model/ScriptStep.h"

namespace
{
// One field of a step as the command line names it, and the control of the
// script panel it stands for.
struct StepFieldName
{
    const char* name;
    int ScriptStepView::*state = nullptr;         // on | off
    std::string ScriptStepView::*text = nullptr; // as typed into the panel
    bool ScriptStepView::*box = nullptr;         // yes | no
};

// In the panel's order.
const StepFieldName StepFields[] = {
    {"vout", nullptr, &ScriptStepView::voltage},
    {"vout-t1", &ScriptStepView::vOutT1State},
    {"vout-t1-time", nullptr, &ScriptStepView::vOutT1Time},
    {"vout-t2", &ScriptStepView::vOutT2State},
    {"vout-t2-time", nullptr, &ScriptStepView::vOutT2Time},
    {"aux-t1", &ScriptStepView::vAuxT1State},
    {"aux-t1-time", nullptr, &ScriptStepView::vAuxT1Time},
    {"aux-t2", &ScriptStepView::vAuxT2State},
    {"aux-t2-time", nullptr, &ScriptStepView::vAuxT2Time},
    {"pws-t1", &ScriptStepView::vPwsT1State},
    {"pws-t1-time", nullptr, &ScriptStepView::vPwsT1Time},
    {"pws-t2", &ScriptStepView::vPwsT2State},
    {"pws-t2-time", nullptr, &ScriptStepView::vPwsT2Time},
    {"gwt", nullptr, &ScriptStepView::globalWaitTime},
    {"skip", nullptr, nullptr, &ScriptStepView::skipThisStep},
    {"next", nullptr, nullptr, &ScriptStepView::playNextStep},
    {"repeat", nullptr, nullptr, &ScriptStepView::repeatFromFirst},
};

struct FieldAssignment
{
    const StepFieldName* field;
    std::string value;
};

struct ScriptOptions
{
    std::string which = "all";
    std::string step;
    std::vector<std::string> assignments;
};

std::string AllFieldNames()
{
    std::string names;
    for (const StepFieldName& field : StepFields)
        names += (names.empty() ? "" : ", ") + std::string(field.name);
    return names;
}

int StepNumber(const std::string& text)
{
    int step = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), step);
    if (error != std::errc() || end != text.data() + text.size() || step < 1 || step > ScriptStepCount)
        Fail(ExitStatus::Refused, StepNumberText);
    return step;
}

// FIELD=VALUE, with the value's form checked for the switches and boxes.
std::vector<FieldAssignment> ParseAssignments(const std::vector<std::string>& texts)
{
    std::vector<FieldAssignment> assignments;
    for (const std::string& text : texts)
    {
        const size_t equals = text.find('=');
        const std::string name = text.substr(0, equals);
        const auto field = std::find_if(std::begin(StepFields), std::end(StepFields),
                                        [&](const StepFieldName& f) { return name == f.name; });
        if (equals == std::string::npos || field == std::end(StepFields))
            Fail(ExitStatus::Refused, "Expected FIELD=VALUE with FIELD one of " + AllFieldNames() + ": " + text);
        const std::string value = text.substr(equals + 1);
        if (field->state && value != "on" && value != "off")
            Fail(ExitStatus::Refused, name + " takes on or off: " + text);
        if (field->box && value != "yes" && value != "no")
            Fail(ExitStatus::Refused, name + " takes yes or no: " + text);
        assignments.push_back({field, value});
    }
    return assignments;
}

void Apply(ScriptStepView& view, const std::vector<FieldAssignment>& assignments)
{
    bool skipGiven = false;
    bool gwtGiven = false;
    for (const FieldAssignment& assignment : assignments)
    {
        const StepFieldName& field = *assignment.field;
        if (field.state)
            view.*field.state = assignment.value == "on" ? StateItemOn : StateItemOff;
        else if (field.text)
            view.*field.text = assignment.value;
        else
            view.*field.box = assignment.value == "yes";
        skipGiven = skipGiven || field.box == &ScriptStepView::skipThisStep;
        gwtGiven = gwtGiven || field.text == &ScriptStepView::globalWaitTime;
    }
    // A skipped step is one whose wait time is 0: giving the step a wait
    // time un-skips it, unless skip is named as well.
    if (gwtGiven && !skipGiven)
        view.skipThisStep = false;
}

// The fields given, checked on their own against an otherwise valid step, so
// that a refused value is known before anything is sent.
void CheckAssignments(const std::vector<FieldAssignment>& assignments)
{
    ScriptStepView view;
    view.voltage = "12.00";
    view.vOutT1Time = view.vOutT2Time = view.vAuxT1Time = view.vAuxT2Time = "00:00:01";
    view.vPwsT1Time = view.vPwsT2Time = "0";
    view.globalWaitTime = "00:00:01";
    Apply(view, assignments);
    ScriptBlock scratch{};
    const ScriptEncodeResult result = EncodeScriptStep(view, scratch, 0);
    if (!result.Ok())
        Fail(ExitStatus::Refused, result.message);
}

ScriptBlock ReadStepBlock(DeviceSession& session, int index)
{
    const MemoryBlock block = session.ReadMemoryBlock(ScriptBlockAddress(index));
    ScriptBlock steps;
    std::copy(block.begin(), block.end(), steps.begin());
    return steps;
}

const char* OnOff(int state)
{
    return state == StateItemOn ? "on" : "off";
}

void ShowStep(ResultOutput& out, int index, const ScriptStepView& view, nlohmann::json* list)
{
    if (list != nullptr)
    {
        nlohmann::json step = {{"step", index + 1}};
        for (const StepFieldName& field : StepFields)
        {
            std::string key = field.name;
            std::replace(key.begin(), key.end(), '-', '_');
            if (field.state)
                step[key] = view.*field.state == StateItemOn;
            else if (field.text)
                step[key] = view.*field.text;
            else
                step[key] = view.*field.box;
        }
        list->push_back(step);
        return;
    }
    std::string line = "step " + std::to_string(index + 1) + ":";
    for (const StepFieldName& field : StepFields)
    {
        line += std::string(" ") + field.name + "=";
        if (field.state)
            line += OnOff(view.*field.state);
        else if (field.text)
            line += view.*field.text;
        else
            line += view.*field.box ? "yes" : "no";
    }
    out.Line(line);
}

void ShowSteps(CommandContext& context, const std::string& which)
{
    int first = 0;
    int last = ScriptStepCount - 1;
    if (which != "all")
        first = last = StepNumber(which) - 1;
    DeviceSession& session = context.Session();
    ResultOutput& out = context.Out();
    nlohmann::json list = nlohmann::json::array();
    std::optional<ScriptBlock> block;
    for (int index = first; index <= last; ++index)
    {
        if (!block || index % ScriptStepsPerBlock == 0)
            block = ReadStepBlock(session, index);
        ShowStep(out, index, DecodeScriptStep(*block, index), out.Json() ? &list : nullptr);
    }
    if (out.Json())
        out.Document({{"steps", list}});
}

void SetStep(CommandContext& context, const std::string& stepText, const std::vector<std::string>& texts)
{
    const int step = StepNumber(stepText);
    const std::vector<FieldAssignment> assignments = ParseAssignments(texts);
    CheckAssignments(assignments);

    const int index = step - 1;
    DeviceSession& session = context.Session();
    ScriptBlock block = ReadStepBlock(session, index);
    ScriptStepView view = DecodeScriptStep(block, index);
    Apply(view, assignments);
    // A field left as it was may hold what the panel refuses too (a time
    // beyond 17:59:59, a voltage code outside 5-25.53 V).
    const ScriptEncodeResult result = EncodeScriptStep(view, block, index);
    if (!result.Ok())
        Fail(ExitStatus::Refused, result.message);
    MemoryBlock bytes;
    std::copy(block.begin(), block.end(), bytes.begin());
    session.WriteMemoryBlock(ScriptBlockAddress(index), bytes);

    const ScriptBlock stored = ReadStepBlock(session, index);
    ResultOutput& out = context.Out();
    nlohmann::json list = nlohmann::json::array();
    ShowStep(out, index, DecodeScriptStep(stored, index), out.Json() ? &list : nullptr);
    if (out.Json())
        out.Document({{"steps", list}});
}

void RunScript(CommandContext& context, bool start)
{
    context.Session().Control(start ? CtlScriptStart : CtlScriptStop);
    if (context.Out().Json())
        context.Out().Document({{"script", start ? "started" : "stopped"}});
    else
        context.Out().Line(start ? "Script started" : "Script stopped");
}
} // namespace

void AddScriptCommands(CLI::App& app, CommandRegistry& registry)
{
    auto options = std::make_shared<ScriptOptions>();
    CLI::App* script = app.add_subcommand("script", "The device's script: show and change its steps, start and stop it");
    script->require_subcommand(1);

    CLI::App* show = script->add_subcommand("show", "Steps as the script panel shows them (FIELD=VALUE, as 'script set' takes them)");
    show->add_option("STEP", options->which, "1 to 60, or all (the default)");
    registry.Add(show, [options](CommandContext& context) { ShowSteps(context, options->which); });

    CLI::App* set = script->add_subcommand(
        "set", "Change fields of one step (its block of four steps is read, changed and written); unnamed fields keep "
               "their value");
    set->add_option("STEP", options->step, "1 to 60")->required();
    set->add_option("FIELD=VALUE", options->assignments,
                    "vout=VOLTS; vout-t1, vout-t2, aux-t1, aux-t2, pws-t1, pws-t2 = on|off; vout-t1-time, "
                    "vout-t2-time, aux-t1-time, aux-t2-time, gwt = hh:mm:ss|Never; pws-t1-time, pws-t2-time = "
                    "milliseconds|Never; skip, next, repeat = yes|no")
        ->required();
    registry.Add(set, [options](CommandContext& context) { SetStep(context, options->step, options->assignments); });

    CLI::App* start = script->add_subcommand("start", "Start the script");
    registry.Add(start, [](CommandContext& context) { RunScript(context, true); });
    CLI::App* stop = script->add_subcommand("stop", "Stop the script");
    registry.Add(stop, [](CommandContext& context) { RunScript(context, false); });
}
