#include "device/HIDDescriptor.h"

#include <cstring>

void NarrowString(const std::u16string& text, char (&out)[256])
{
    std::memset(out, 0, sizeof out);
    for (size_t i = 0; i < text.size() && i < sizeof out - 1; ++i)
    {
        const auto low = static_cast<char>(text[i] & 0xFF);
        if (low == 0)
            break;
        out[i] = low;
    }
}

HIDDescriptor::HIDDescriptor(const HidDeviceInfo& info)
    : m_vendorId(info.vendorId),
      m_productId(info.productId),
      m_path(info.path),
      m_inputReportLength(info.inputReportLength),
      m_outputReportLength(info.outputReportLength)
{
    const auto narrow = [](const std::optional<std::u16string>& text, char (&out)[256]) {
        if (text)
            NarrowString(*text, out);
        else
            std::strcpy(out, NotPresent);
    };
    narrow(info.manufacturer, m_manufacturer);
    narrow(info.product, m_product);
}
