#include "model/ValueCodecs.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <strings.h>

namespace
{
constexpr size_t NumberWindow = 8; // characters of a typed value that are looked at

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsNever(std::string_view text)
{
    return text.size() == 5 && strncasecmp(text.data(), NeverText, 5) == 0;
}

std::string FormatInt(long value)
{
    return std::to_string(value);
}

// Rounds halves up, drops negatives and clamps to the field, as every typed
// number is stored.
void StoreRounded(double value, double factor, int size, uint8_t& high, uint8_t& low)
{
    double k = value / factor;
    if (!(k > 0)) // also catches NaN from a zero factor
        k = 0;
    const long maximum = size == 1 ? 0xFF : 0xFFFF;
    long n = maximum;
    if (k < static_cast<double>(maximum)) // out-of-range doubles never reach the integer conversion
    {
        const double whole = std::trunc(k);
        n = static_cast<long>(whole) + (k - whole >= 0.5 ? 1 : 0);
        if (n > maximum)
            n = maximum;
    }
    if (size == 1)
    {
        low = static_cast<uint8_t>(n);
        return;
    }
    high = static_cast<uint8_t>(n / 256);
    low = static_cast<uint8_t>(n % 256);
}
} // namespace

double OutputCodeToVolts(uint8_t code)
{
    const double r = code * 10000.0 / 257.0 + 75.0 + 1500.0;
    return std::floor(80.0 * (1.0 + 49900.0 / r)) / 100.0;
}

uint8_t VoltsToOutputCode(double volts)
{
    if (volts < 5.0)
        volts = 5.0;
    if (volts > 25.0)
        volts = 25.0;
    double c = (39920.0 / (volts - 0.8) - 1500.0 - 75.0) * 257.0 / 10000.0;
    if (c < 0.0)
        c = 0.0;
    if (c > 255.0)
        c = 255.0;
    return static_cast<uint8_t>(c);
}

std::string FormatFlags(uint8_t value)
{
    std::string text(8, '0');
    for (int bit = 7; bit >= 0; --bit)
        if (value & (1u << bit))
            text[static_cast<size_t>(7 - bit)] = '1';
    return text;
}

uint8_t ParseFlags(std::string_view text, bool& ok)
{
    ok = false;
    if (text.empty())
        return 0;
    unsigned value = 0;
    for (char c : text)
    {
        if (c != '0' && c != '1')
            return 0;
        value = ((value << 1) | static_cast<unsigned>(c - '0')) & 0xFF;
    }
    ok = true;
    return static_cast<uint8_t>(value);
}

std::string FormatDecimal(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

std::string FormatWord(uint8_t high, uint8_t low)
{
    return FormatInt(high * 256 + low);
}

std::string FormatDuration(uint32_t seconds)
{
    if (seconds == NeverValue)
        return NeverText;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return buffer;
}

std::string FormatValue(std::span<const uint8_t> buffer, int offset, int size, ValueType type, double factor)
{
    const auto byteAt = [&](int index) -> unsigned {
        return index >= 0 && static_cast<size_t>(index) < buffer.size() ? buffer[static_cast<size_t>(index)] : 0xFFu;
    };
    const unsigned first = byteAt(offset);
    const unsigned second = byteAt(offset + 1);
    const unsigned raw = size == 1 ? first : first * 256 + second;
    const double v = raw * factor;

    switch (type)
    {
    case ValueType::Integer:
        return FormatInt(static_cast<long>(v));
    case ValueType::Decimal:
        return FormatDecimal(static_cast<float>(v));
    case ValueType::Duration:
        return FormatDuration(static_cast<uint32_t>(v));
    case ValueType::OutputVoltage:
        return FormatDecimal(static_cast<float>(OutputCodeToVolts(static_cast<uint8_t>(first))));
    case ValueType::IntegerOrNever:
        if ((size == 1 && first == 0xFF) || (size != 1 && first == 0xFF && second == 0xFF))
            return NeverText;
        return FormatInt(static_cast<long>(v));
    case ValueType::Flags:
        return FormatFlags(static_cast<uint8_t>(first));
    }
    return {};
}

std::optional<double> ReadNumber(std::string_view text)
{
    const std::string_view window = text.substr(0, NumberWindow);
    size_t i = 0;
    while (i < window.size() && IsSpace(window[i]))
        ++i;
    bool negative = false;
    if (i < window.size() && (window[i] == '+' || window[i] == '-'))
        negative = window[i++] == '-';

    const size_t mantissaStart = i;
    size_t digits = 0;
    while (i < window.size() && IsDigit(window[i]))
        ++i, ++digits;
    if (i < window.size() && window[i] == '.')
    {
        ++i;
        while (i < window.size() && IsDigit(window[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0.0; // not a number at all
    size_t end = i;
    if (i < window.size() && (window[i] == 'e' || window[i] == 'E'))
    {
        size_t j = i + 1;
        if (j < window.size() && (window[j] == '+' || window[j] == '-'))
            ++j;
        if (j < window.size() && IsDigit(window[j]))
        {
            while (j < window.size() && IsDigit(window[j]))
                ++j;
            end = j;
        }
    }

    // from_chars takes no '+' and no leading '.' issues: the text is already
    // known to be a plain decimal number, so only its range can fail.
    double value = 0;
    const char* begin = window.data() + mantissaStart;
    const auto result = std::from_chars(begin, window.data() + end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        return std::nullopt;
    if (result.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

std::optional<long> ReadIntegerField(std::string_view field)
{
    size_t i = 0;
    while (i < field.size() && IsSpace(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    size_t end = i;
    while (end < field.size() && IsDigit(field[end]))
        ++end;
    if (end == i)
        return 0L;
    long value = 0;
    const auto result = std::from_chars(field.data() + i, field.data() + end, value);
    if (result.ec != std::errc())
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::array<long, 3>> ReadColonFields(std::string_view text)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return std::nullopt;
    std::array<long, 3> fields{};
    for (size_t k = 0; k < 3; ++k)
    {
        const auto field = ReadIntegerField(text.substr(3 * k, 2));
        if (!field)
            return std::nullopt;
        fields[k] = *field;
    }
    return fields;
}

bool ParseValue(std::string_view text, ValueType type, int size, double factor, uint8_t& high, uint8_t& low)
{
    high = 0;
    low = 0;
    double value = 0;
    switch (type)
    {
    case ValueType::Integer:
    case ValueType::Decimal: {
        const auto number = ReadNumber(text);
        if (!number)
            return false;
        value = *number;
        break;
    }
    case ValueType::Duration: {
        if (IsNever(text))
        {
            value = NeverValue;
            break;
        }
        const auto fields = ReadColonFields(text);
        if (!fields)
            return false;
        const auto [hh, mm, ss] = *fields;
        if (hh < 0 || hh > 17 || mm < 0 || mm > 59 || ss < 0 || ss > 59)
            return false;
        value = static_cast<double>(hh * 3600 + mm * 60 + ss);
        break;
    }
    case ValueType::OutputVoltage: {
        const double volts = ReadNumber(text).value_or(0.0);
        if (!(volts >= 5.0 && volts <= 25.53))
            return false;
        low = VoltsToOutputCode(volts);
        return true;
    }
    case ValueType::IntegerOrNever: {
        if (IsNever(text))
        {
            value = NeverValue * factor;
            break;
        }
        const auto number = ReadNumber(text);
        if (!number)
            return false;
        value = *number;
        break;
    }
    case ValueType::Flags: {
        bool ok = false;
        low = ParseFlags(text, ok);
        return ok;
    }
    default:
        return false;
    }
    StoreRounded(value, factor, size, high, low);
    return true;
}

std::optional<double> ReadEntryVolts(std::string_view text)
{
    constexpr double LowestVolts = 5;
    constexpr double HighestVolts = 25;
    const std::optional<double> volts = ReadNumber(text);
    if (text.empty() || !volts || *volts < LowestVolts || *volts > HighestVolts)
        return std::nullopt;
    return volts;
}
