#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Conversions between the device's raw value bytes and the texts the user
// reads and types. Two-byte values are big-endian everywhere. Every function
// is locale-independent: the decimal point is always '.'.

// Value type numbers as stored in the parameter table; 4, 5 and 6 are unassigned.
enum class ValueType : int32_t
{
    Integer = 1,        // n x factor, truncated
    Decimal = 2,        // n x factor, two decimals
    Duration = 3,       // seconds as hh:mm:ss; 0xFFFF is "Never"
    OutputVoltage = 7,  // output-voltage code as volts
    IntegerOrNever = 8, // like Integer; all bytes 0xFF is "Never"
    Flags = 9,          // eight binary digits, bit 7 first
};

inline constexpr const char* NeverText = "Never";
inline constexpr uint16_t NeverValue = 0xFFFF;

// Output-voltage code: code 1 is 25.53 V, code 203 is 5.01 V; higher codes
// give lower voltages. Volts are rounded down to the hundredth.
double OutputCodeToVolts(uint8_t code);
// Clamps to 5..25 V and picks the step whose voltage is the lowest at or above it.
uint8_t VoltsToOutputCode(double volts);

// The output-voltage entry of the window and of quorrelctl: the number at the
// start of the text (its first eight characters count), accepted from 5 to
// 25 V inclusive. Nothing for text that is empty, is no number (which reads
// as 0) or lies outside the range; the user is then told VoltageRangeText.
std::optional<double> ReadEntryVolts(std::string_view text);
inline constexpr const char* VoltageRangeText = "Voltage range: 5-25V";

// Formats the field of size bytes (1, or anything else meaning 2) at offset in
// buffer. Bytes past the buffer's end read as 0xFF.
std::string FormatValue(std::span<const uint8_t> buffer, int offset, int size, ValueType type, double factor);

// Parses text into the field's bytes; high and low are set to 0 first. For
// size 1 the value is in low. False when the text is refused; a value beyond
// the field's range is not refused but stored as the field's maximum (and a
// negative one as 0).
bool ParseValue(std::string_view text, ValueType type, int size, double factor, uint8_t& high, uint8_t& low);

std::string FormatFlags(uint8_t value);
// Only '0' and '1', at least one; keeps the lowest eight bits.
uint8_t ParseFlags(std::string_view text, bool& ok);

// "%.2f" of a single-precision value widened to double.
std::string FormatDecimal(float value);
// "%d" of high x 256 + low.
std::string FormatWord(uint8_t high, uint8_t low);
// "Never" for 0xFFFF, else "%02d:%02d:%02d" of hours (not wrapped), minutes, seconds.
std::string FormatDuration(uint32_t seconds);

// The number reading rule of every typed value: only the first eight
// characters count; the longest leading decimal floating-point number among
// them (white space, sign, digits with at most one point, exponent) is the
// value, and text without one reads as 0. Hexadecimal, inf and nan are not
// numbers. nullopt when the number does not fit a double.
std::optional<double> ReadNumber(std::string_view text);

// A two-character time field: optional white space and sign, then digits up
// to the first other character; no digits reads as 0.
std::optional<long> ReadIntegerField(std::string_view field);

// "aa:bb:cc": exactly eight characters with ':' at positions 2 and 5, each
// field read with ReadIntegerField. Used by durations and by the sleep time.
std::optional<std::array<long, 3>> ReadColonFields(std::string_view text);
