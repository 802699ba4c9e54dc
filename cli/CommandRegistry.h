#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/CommandContext.h"

using CommandRun = std::function<void(CommandContext&)>;

// The commands of the command line: each registers its subcommand and what
// runs when the subcommand was given. Commands run after parsing, so that
// help and usage errors never touch the device.
class CommandRegistry
{
public:
    void Add(CLI::App* command, CommandRun run) { m_commands.emplace_back(command, std::move(run)); }

    // The run of the subcommand given on the command line, or null.
    const CommandRun* Selected() const
    {
        for (const auto& [command, run] : m_commands)
            if (command->parsed())
                return &run;
        return nullptr;
    }

private:
    std::vector<std::pair<CLI::App*, CommandRun>> m_commands;
};

// One function per command file, each adding its commands to app.
void AddListCommand(CLI::App& app, CommandRegistry& registry);
void AddStatusCommand(CLI::App& app, CommandRegistry& registry);
void AddOutputCommand(CLI::App& app, CommandRegistry& registry);
void AddVoutCommand(CLI::App& app, CommandRegistry& registry);
void AddStepCommand(CLI::App& app, CommandRegistry& registry);
void AddParameterCommands(CLI::App& app, CommandRegistry& registry); // params, get, set
void AddDefaultsCommand(CLI::App& app, CommandRegistry& registry);
void AddScriptCommands(CLI::App& app, CommandRegistry& registry);
void AddSleepCommand(CLI::App& app, CommandRegistry& registry);
void AddTransferCommands(CLI::App& app, CommandRegistry& registry); // export, import
