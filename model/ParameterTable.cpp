#include "model/ParameterTable.h"

#include <algorithm>

namespace
{
using enum ValueType;

// Volts per count of the device's input and ignition measurement.
constexpr double VoltsPerCount = 0.1558;
// Counts of 10 ms, shown in milliseconds.
constexpr double TenMilliseconds = 10;

// Rows in slot order, which is also the order of the settings list; the
// offsets do not follow it. Bytes 8, 12 and 31 belong to no parameter.
// Slots 0-7 must stay "Voltage 0".."Voltage 7": saving the output voltage of
// voltage configuration n writes slot n.
constexpr ParameterDef Rows[] = {
    // offset, size, name, listed, type, factor, description, unit
    {52, 1, "Voltage 0", true, OutputVoltage, 0, "Set Output Voltage 0. Changes will take effect after a power cycle.", "[V]"},
    {53, 1, "Voltage 1", true, OutputVoltage, 0, "Set Output Voltage 1. Changes will take effect after a power cycle.", "[V]"},
    {54, 1, "Voltage 2", true, OutputVoltage, 0, "Set Output Voltage 2. Changes will take effect after a power cycle.", "[V]"},
    {55, 1, "Voltage 3", true, OutputVoltage, 0, "Set Output Voltage 3. Changes will take effect after a power cycle.", "[V]"},
    {56, 1, "Voltage 4", true, OutputVoltage, 0, "Set Output Voltage 4. Changes will take effect after a power cycle.", "[V]"},
    {57, 1, "Voltage 5", true, OutputVoltage, 0, "Set Output Voltage 5. Changes will take effect after a power cycle.", "[V]"},
    {58, 1, "Voltage 6", true, OutputVoltage, 0, "Set Output Voltage 6. Changes will take effect after a power cycle.", "[V]"},
    {59, 1, "Voltage 7", true, OutputVoltage, 0, "Set Output Voltage 7. Changes will take effect after a power cycle.", "[V]"},
    {0, 1, "Ignition HIGH limit", true, Decimal, VoltsPerCount, "Above this voltage IGN is considered ON", "[V]"},
    {1, 1, "Ignition LOW limit", true, Decimal, VoltsPerCount, "Below this voltage IGN is considered OFF", "[V]"},
    {2, 1, "Ignition Debounce", false, Integer, TenMilliseconds, "Ignition filter de-bouncing", "[ms]"},
    {30, 1, "Automotive Mode: Ignition Cancel Time", true, Integer, 1,
     "After QUORREL \"boots\" in AUTOMOTIVE mode IGN is cancelled for this time", "[sec]"},
    {14, 1, "Automotive Mode: Thump timeout", true, Integer, 1,
     "THUMP timeout, switching off the audio amplifier during motherboard startup/shutdown", "[sec]"},
    {3, 1, "Delay before PSU startup", true, Integer, 1, "Initial startup delay to avoid re-cranking problems", "[s]"},
    {4, 1, "Min. VIN voltage at startup", true, Decimal, VoltsPerCount, "Input voltage STARTUP ZONE treshold ", "[V]"},
    {5, 1, "Min. VIN voltage while running", true, Decimal, VoltsPerCount, "Input voltage RUNNING ZONE treshold ", "[V]"},
    {6, 1, "Max. allowed VIN voltage", false, Decimal, VoltsPerCount, "Input voltage, HIGH SHUTDOWN treshold [35V]", "[V]"},
    {63, 1, "Min. VIN voltage deep discharge", true, Decimal, VoltsPerCount,
     "Minimum VIN voltage measured during off delay", "[V]"},
    {7, 1, "ON Pulse delay", true, Integer, 1, "Delay between output is ON and startup pulse is sent\n(v4.3+)", "[s]"},
    {9, 1, "Regulator offset", true, Integer, 1, "Regulator offset (firmware version >= v2.0)", ""},
    {10, 2, "PSW \"push-down\" time", true, Integer, TenMilliseconds, "How long the PSW button is pressed down", "[ms]"},
    {13, 1, "Configuration flags", true, Flags, 1,
     "Configuration flags: bit0=Regulator Enabled/Disabled(v2.0+)\n"
     "bit1=Power cycle On/Off(v2.1+)\n"
     "bit2=On pulse enable/disable bit3=Off pulse enable/disable(v3.1+)\n"
     "bit4=USB sense enable/disable(v4.0+)\n"
     "bit5=Ignition pulse enable/disable(v4.2+)",
     ""},
    {15, 1, "Max regulation step number", true, Integer, 1,
     "Maximum allowed regulation step number (0-255) (firmware version >= v2.0)", ""},
    {16, 2, "Off-delay TIME 0", false, Duration, 1,
     "Time between IGN OFF to PSW OFF impulse in Time Configuration 0 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {18, 2, "Hard-off TIME 0", false, Duration, 1,
     "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 0 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {20, 2, "Off-delay TIME 1", true, Duration, 1,
     "Time between IGN OFF to PSW OFF impulse in Time Configuration 1 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {22, 2, "Hard-off TIME 1", true, Duration, 1,
     "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 1 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {24, 2, "Off-delay TIME 2", true, Duration, 1,
     "Time between IGN OFF to PSW OFF impulse in Time Configuration 2 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {26, 2, "Hard-off TIME 2", true, Duration, 1,
     "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 2 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {28, 2, "Off-delay TIME 3", true, Duration, 1,
     "Time between IGN OFF to PSW OFF impulse in Time Configuration 3 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {32, 2, "Hard-off TIME 3", true, Duration, 1,
     "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 3 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {34, 2, "Off-delay TIME 4", true, Duration, 1,
     "Time between IGN OFF to PSW OFF impulse in Time Configuration 4 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {36, 2, "Hard-off TIME 4", true, Duration, 1,
     "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 4 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {38, 2, "Off-delay TIME 5", true, Duration, 1,
     "Time between IGN OFF to PSW OFF impulse in Time Configuration 5 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {40, 2, "Hard-off TIME 5", true, Duration, 1,
     "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 5 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {42, 2, "Off-delay TIME 6", true, Duration, 1,
     "Time between IGN OFF to PSW OFF impulse in Time Configuration 6 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {44, 2, "Hard-off TIME 6", true, Duration, 1,
     "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 6 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {48, 2, "Off-delay TIME 7", true, Duration, 1,
     "Time between IGN OFF to PSW OFF impulse in Time Configuration 7 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {50, 2, "Hard-off TIME 7", true, Duration, 1,
     "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 7 (max. 17:59:59 or Never)", "[hh:mm:ss]"},
    {46, 1, "UPS Mode: Shutdown Time", true, Integer, 1,
     "After OFF impulse is sent wait \"UPS Mode: Shutdown Time\" till Output OFF,Hardware OFF", "[sec]"},
    {47, 1, "UPS Mode: Ignition OFF time", true, Integer, 1,
     "If IGN is OFF for \"UPS Mode: Ignition OFF time\" time the PSU will send OFF impulse", "[sec]"},
    {60, 1, "UPS Mode: Ignition ON", true, Decimal, VoltsPerCount,
     "PSU will be ON if IGN>\"UPS Mode: Ignition ON\" (and VIN>\"UPS Mode: VIn Good\")", "[V]"},
    {61, 1, "UPS Mode: Ignition OFF", true, Decimal, VoltsPerCount,
     "PSU will be OFF if IGN<\"UPS Mode: Ignition OFF\" for \"UPS Mode: Ignition OFF time\" seconds", "[V]"},
    {62, 1, "UPS Mode: VIn Good", true, Decimal, VoltsPerCount,
     "PSU will be ON if VIN>\"UPS Mode: VIn Good\" (and IGN>\"UPS Mode: Ignition ON\")", "[V]"},
};

constexpr int UsedSlots = static_cast<int>(std::size(Rows));
static_assert(UsedSlots == 44);

// Slots past the rows stay ParameterDef{}: empty, with "" texts.
constexpr std::array<ParameterDef, ParameterSlotCount> MakeTable()
{
    std::array<ParameterDef, ParameterSlotCount> table{};
    std::copy(std::begin(Rows), std::end(Rows), table.begin());
    return table;
}

constexpr ParameterDef EmptySlot{};
} // namespace

const std::array<ParameterDef, ParameterSlotCount> ParameterTable = MakeTable();

const ParameterDef& ParameterAt(int slot)
{
    if (slot < 0 || slot >= ParameterSlotCount)
        return EmptySlot;
    return ParameterTable[static_cast<size_t>(slot)];
}

std::vector<int> ParameterSlots()
{
    std::vector<int> slots;
    for (int slot = 0; slot < ParameterSlotCount; ++slot)
        if (!ParameterAt(slot).IsEmpty())
            slots.push_back(slot);
    return slots;
}

std::vector<int> ListedParameterSlots()
{
    std::vector<int> slots;
    for (int slot : ParameterSlots())
        if (ParameterAt(slot).listed)
            slots.push_back(slot);
    return slots;
}

std::optional<int> FindParameterSlot(std::string_view name)
{
    for (int slot : ParameterSlots())
        if (name == ParameterAt(slot).name)
            return slot;
    return std::nullopt;
}

std::string FormatParameter(std::span<const uint8_t, ParameterBlockSize> block, int slot)
{
    const ParameterDef& def = ParameterAt(slot);
    if (def.IsEmpty())
        return {};
    return FormatValue(block, def.offset, def.size, def.type, def.factor);
}

bool StoreParameter(std::span<uint8_t, ParameterBlockSize> block, int slot, std::string_view text)
{
    const ParameterDef& def = ParameterAt(slot);
    if (def.IsEmpty())
        return false;
    uint8_t high = 0;
    uint8_t low = 0;
    if (!ParseValue(text, def.type, def.size, def.factor, high, low))
        return false;
    const auto at = static_cast<size_t>(def.offset);
    if (def.size == 1)
    {
        block[at] = low;
        return true;
    }
    block[at] = high;
    block[at + 1] = low;
    return true;
}
