#include "device/HIDDevices.h"

#include <cstdio>
#include <cstring>

#include "device/DeviceIdentity.h"

HIDDevices::HIDDevices(HidBus& bus, Clock& clock) : m_bus(bus), m_clock(clock)
{
}

HIDDescriptor* HIDDevices::ChooseDevice(const char* manufacturer)
{
    HList<HIDDescriptor> found;
    FindDevices(found, manufacturer, DeviceVendorId, DeviceProductId);
    HIDDescriptor* chosen = found.First();
    if (chosen == nullptr)
    {
        std::printf("No device found - set the -manuf, -product, -vendor, -pid propperly:\n");
        std::fflush(stdout);
        return nullptr;
    }
    for (HIDDescriptor* other = found.Next(); other != nullptr; other = found.Next())
        delete other;
    return chosen;
}

void HIDDevices::FindDevices(HList<HIDDescriptor>& list, const char* manufacturer, uint16_t vendorId,
                             uint16_t productId)
{
    const HidEnumeration present = m_bus.Enumerate();
    if (present.error != 0)
    {
        // The program's diagnostics keep their long-standing texts: logs and
        // scripts that watch standard output may look for them.
        std::printf("SetupDiGetClassDevs failed with error: %d\n", present.error);
        std::fflush(stdout);
        return;
    }
    for (const HidDeviceInfo& info : present.devices)
    {
        if (!info.openable)
        {
            std::printf("Cannot open %s\n", info.path.c_str());
            std::fflush(stdout);
            continue;
        }
        auto* descriptor = new HIDDescriptor(info);
        const bool matches = descriptor->m_vendorId == vendorId && descriptor->m_productId == productId &&
                             std::strcmp(descriptor->m_manufacturer, manufacturer) == 0 &&
                             descriptor->m_inputReportLength == DeviceReportLength &&
                             descriptor->m_outputReportLength == DeviceReportLength;
        if (!matches || !list.Append(descriptor))
            delete descriptor;
    }
}

HIDDevice* HIDDevices::OpenDevice(HIDDescriptor* descriptor)
{
    return new HIDDevice(descriptor, m_bus, m_clock);
}
