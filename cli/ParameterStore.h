#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "cli/DeviceSession.h"
#include "model/ParameterTable.h"

// The parameter block on the device, read and changed as the settings panel
// does it: a parameter is stored by reading the whole block, patching the
// parameter's bytes and writing the whole block back, then reading it again.

ParameterBlock ReadParameterBlock(DeviceSession& session);

// Stores text as the parameter in slot and returns its value as read back.
// A text the parameter's codec refuses ends the command with "Invalid or
// too big value!" before anything is written.
std::string StoreParameterOnDevice(DeviceSession& session, int slot, std::string_view text);

// Whether the parameter's codec takes text; checked before the device is
// even looked for, so that refused input sends nothing.
bool ParameterAccepts(int slot, std::string_view text);

// The slot whose name matches name without regard to case.
std::optional<int> FindParameterByName(std::string_view name);

// One parameter as the tool shows it: "NAME = VALUE UNIT", and its JSON object.
std::string ParameterLine(int slot, const std::string& value);
nlohmann::json ParameterJson(int slot, const std::string& value);
