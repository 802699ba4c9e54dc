#pragma once

#include "device/hid/HidBus.h"

struct udev;

// The HID seam on Linux: hidraw nodes found and watched through libudev.
// Strings come from the USB device above the node (or, without one, the
// kernel's HID_NAME stands for the manufacturer); report lengths come from
// the report descriptor in sysfs.
class UdevHidBus final : public HidBus
{
public:
    UdevHidBus();
    ~UdevHidBus() override;
    UdevHidBus(const UdevHidBus&) = delete;
    UdevHidBus& operator=(const UdevHidBus&) = delete;

    HidEnumeration Enumerate() override;
    std::unique_ptr<HidPort> Open(const std::string& path) override;
    std::unique_ptr<HidWatch> Watch(ChangeCallback onChange) override;

private:
    udev* m_udev;
};
