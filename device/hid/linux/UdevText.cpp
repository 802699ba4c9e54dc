#include "device/hid/linux/UdevText.h"

#include <charconv>

namespace
{
template <typename T>
bool ParseHex(std::string_view text, T& value)
{
    if (text.empty())
        return false;
    uint64_t parsed = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed, 16);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || parsed > static_cast<T>(-1))
        return false;
    value = static_cast<T>(parsed);
    return true;
}
} // namespace

std::optional<HidId> ParseHidId(std::string_view text)
{
    const size_t first = text.find(':');
    const size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    HidId id;
    if (!ParseHex(text.substr(0, first), id.bus) || !ParseHex(text.substr(first + 1, second - first - 1), id.vendorId) ||
        !ParseHex(text.substr(second + 1), id.productId))
        return std::nullopt;
    return id;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    constexpr char32_t Replacement = 0xFFFD;
    std::u16string out;
    size_t i = 0;
    while (i < text.size())
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k)
        {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not text.
        static constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (code < Smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            valid = false;
        if (!valid)
        {
            out.push_back(static_cast<char16_t>(Replacement));
            ++i;
            continue;
        }
        if (code >= 0x10000)
        {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        }
        else
        {
            out.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return out;
}
