#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/MemoryRequests.h"

// The time the device is sent to sleep for, typed as "dd:hh:mm" and sent as
// a number of minutes. The sleep dialog and the command-line tool read it by
// the same rules and refuse it with the same message.

inline constexpr const char* SleepTimeMessage = "Invalid or too big time - format is dd:hh:mm (max: 45:12:15)!";
// What the sleep dialog's entry holds when it opens.
inline constexpr const char* InitialSleepTimeText = "00:00:00";

inline constexpr long MaxSleepDays = 45;
inline constexpr long MaxSleepHours = 59; // hours are not limited to a day
inline constexpr long MaxSleepMinutes = 59;
inline constexpr long MaxSleepTotalMinutes = 0xFFFF; // sent as two bytes: 45:12:15 is the longest

// Exactly eight characters with ':' third and sixth; days, hours and minutes
// each read like a time field (white space and a sign allowed, reading stops
// at the first non-digit, no digits reads as 0). The minutes in total, or
// nullopt when the text is refused.
std::optional<uint16_t> ParseSleepTime(std::string_view text);

// The control command that sends the device to sleep: minutes high byte first.
DeviceCommand SleepCommand(uint16_t minutes);
