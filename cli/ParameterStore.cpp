#include "cli/ParameterStore.h"

#include <algorithm>
#include <cctype>

#include "cli/ExitStatus.h"
#include "cli/Messages.h"

ParameterBlock ReadParameterBlock(DeviceSession& session)
{
    return session.ReadMemoryBlock(ParameterBlockBase);
}

bool ParameterAccepts(int slot, std::string_view text)
{
    ParameterBlock scratch{};
    return StoreParameter(scratch, slot, text);
}

std::string StoreParameterOnDevice(DeviceSession& session, int slot, std::string_view text)
{
    ParameterBlock block = ReadParameterBlock(session);
    if (!StoreParameter(block, slot, text))
        Fail(ExitStatus::Refused, InvalidValueText);
    session.WriteMemoryBlock(ParameterBlockBase, block);
    return FormatParameter(ReadParameterBlock(session), slot);
}

std::optional<int> FindParameterByName(std::string_view name)
{
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    for (int slot : ParameterSlots())
    {
        const std::string_view candidate = ParameterAt(slot).name;
        if (candidate.size() == name.size() &&
            std::equal(candidate.begin(), candidate.end(), name.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return slot;
    }
    return std::nullopt;
}

std::string ParameterLine(int slot, const std::string& value)
{
    const ParameterDef& row = ParameterAt(slot);
    std::string line = std::string(row.name) + " = " + value;
    if (*row.unit != '\0')
        line += std::string(" ") + row.unit;
    return line;
}

nlohmann::json ParameterJson(int slot, const std::string& value)
{
    const ParameterDef& row = ParameterAt(slot);
    return {{"slot", slot}, {"name", row.name}, {"value", value}, {"unit", row.unit}, {"listed", row.listed}};
}
