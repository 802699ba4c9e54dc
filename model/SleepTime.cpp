#include "model/SleepTime.h"

#include "device/QuorrelProtocol.h"
#include "model/ValueCodecs.h"

std::optional<uint16_t> ParseSleepTime(std::string_view text)
{
    const auto fields = ReadColonFields(text);
    if (!fields)
        return std::nullopt;
    const auto [days, hours, minutes] = *fields;
    if (days < 0 || days > MaxSleepDays || hours < 0 || hours > MaxSleepHours || minutes < 0 ||
        minutes > MaxSleepMinutes)
        return std::nullopt;
    const long total = days * 1440 + hours * 60 + minutes;
    if (total > MaxSleepTotalMinutes)
        return std::nullopt;
    return static_cast<uint16_t>(total);
}

DeviceCommand SleepCommand(uint16_t minutes)
{
    return ControlCommand(CtlSleep, static_cast<uint8_t>(minutes >> 8), static_cast<uint8_t>(minutes & 0xFF));
}
