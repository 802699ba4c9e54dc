#include "device/hid/linux/UdevHidBus.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string_view>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "device/hid/linux/HidrawPort.h"
#include "device/hid/linux/ReportDescriptor.h"
#include "device/hid/linux/UdevText.h"

namespace
{
// The report descriptor of the hid device above a hidraw node.
ReportDescriptorSummary DescriptorOf(udev_device* hid)
{
    std::ifstream file(std::string(udev_device_get_syspath(hid)) + "/report_descriptor", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return ParseReportDescriptor(bytes);
}

std::optional<std::u16string> Utf16Attribute(udev_device* device, const char* name)
{
    const char* value = device != nullptr ? udev_device_get_sysattr_value(device, name) : nullptr;
    if (value == nullptr)
        return std::nullopt;
    return Utf8ToUtf16(value);
}

// Fills in what the discovery needs to know of one hidraw node; false when it
// is not a HID device at all.
bool Describe(udev_device* hidraw, HidDeviceInfo& info)
{
    const char* node = udev_device_get_devnode(hidraw);
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    if (node == nullptr || hid == nullptr)
        return false;
    info.path = node;

    const int fd = open(node, O_RDWR | O_CLOEXEC);
    if (fd < 0)
    {
        info.openable = false; // present, but not ours to query (permissions, or just gone)
        return true;
    }
    close(fd);

    if (const char* id = udev_device_get_property_value(hid, "HID_ID"))
        if (const auto parsed = ParseHidId(id))
        {
            info.vendorId = parsed->vendorId;
            info.productId = parsed->productId;
        }
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device");
    if (usb != nullptr)
    {
        info.manufacturer = Utf16Attribute(usb, "manufacturer");
        info.product = Utf16Attribute(usb, "product");
    }
    else if (const char* name = udev_device_get_property_value(hid, "HID_NAME"))
    {
        info.manufacturer = Utf8ToUtf16(name); // virtual and Bluetooth devices: the kernel name stands in
    }
    const ReportDescriptorSummary summary = DescriptorOf(hid);
    info.inputReportLength = summary.InputReportLength();
    info.outputReportLength = summary.OutputReportLength();
    return true;
}

// Watches hidraw nodes come and go; its own thread calls back once per event.
class UdevWatch final : public HidWatch
{
public:
    UdevWatch(udev* context, HidBus::ChangeCallback onChange) : m_onChange(std::move(onChange))
    {
        // Events come from udevd once it has set up the node; a minimal
        // system without udevd only has the kernel's own.
        const bool udevdRuns = access("/run/udev/control", F_OK) == 0;
        m_monitor = udev_monitor_new_from_netlink(context, udevdRuns ? "udev" : "kernel");
        m_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_monitor == nullptr || m_stopFd < 0 ||
            udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
            udev_monitor_enable_receiving(m_monitor) < 0)
            return;
        m_thread = std::thread([this] { Loop(); });
    }

    ~UdevWatch() override
    {
        if (m_thread.joinable())
        {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t ignored = write(m_stopFd, &one, sizeof one);
            m_thread.join();
        }
        if (m_stopFd >= 0)
            close(m_stopFd);
        if (m_monitor != nullptr)
            udev_monitor_unref(m_monitor);
    }

    bool Running() const { return m_thread.joinable(); }

private:
    void Loop()
    {
        for (;;)
        {
            pollfd watched[2] = {{udev_monitor_get_fd(m_monitor), POLLIN, 0}, {m_stopFd, POLLIN, 0}};
            if (poll(watched, 2, -1) < 0)
            {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (watched[1].revents & POLLIN)
                return;
            if (!(watched[0].revents & POLLIN))
                continue;
            udev_device* device = udev_monitor_receive_device(m_monitor);
            if (device == nullptr)
                continue;
            const std::string action = udev_device_get_action(device) ? udev_device_get_action(device) : "";
            udev_device_unref(device);
            if (action == "add" || action == "remove")
                m_onChange();
        }
    }

    HidBus::ChangeCallback m_onChange;
    udev_monitor* m_monitor = nullptr;
    int m_stopFd = -1;
    std::thread m_thread;
};
} // namespace

UdevHidBus::UdevHidBus() : m_udev(udev_new())
{
}

UdevHidBus::~UdevHidBus()
{
    if (m_udev != nullptr)
        udev_unref(m_udev);
}

HidEnumeration UdevHidBus::Enumerate()
{
    HidEnumeration result;
    udev_enumerate* enumeration = m_udev != nullptr ? udev_enumerate_new(m_udev) : nullptr;
    if (enumeration == nullptr)
    {
        result.error = errno != 0 ? errno : ENOMEM;
        return result;
    }
    if (udev_enumerate_add_match_subsystem(enumeration, "hidraw") < 0 || udev_enumerate_scan_devices(enumeration) < 0)
    {
        result.error = errno != 0 ? errno : EIO;
        udev_enumerate_unref(enumeration);
        return result;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration))
    {
        udev_device* hidraw = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
        if (hidraw == nullptr)
            continue; // gone since the scan
        HidDeviceInfo info;
        if (Describe(hidraw, info))
            result.devices.push_back(std::move(info));
        udev_device_unref(hidraw);
    }
    udev_enumerate_unref(enumeration);
    return result;
}

std::unique_ptr<HidPort> UdevHidBus::Open(const std::string& path)
{
    struct stat node;
    if (m_udev == nullptr || stat(path.c_str(), &node) != 0 || !S_ISCHR(node.st_mode))
        return nullptr;
    // Only hidraw nodes: any other character device would take our reports.
    udev_device* hidraw = udev_device_new_from_devnum(m_udev, 'c', node.st_rdev);
    if (hidraw == nullptr)
        return nullptr;
    const char* subsystem = udev_device_get_subsystem(hidraw);
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    const bool isHidraw = subsystem != nullptr && std::string_view(subsystem) == "hidraw" && hid != nullptr;
    const bool numbered = isHidraw && DescriptorOf(hid).usesReportIds;
    udev_device_unref(hidraw);
    if (!isHidraw)
        return nullptr;
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return HidrawPort::Adopt(fd, numbered);
}

std::unique_ptr<HidWatch> UdevHidBus::Watch(ChangeCallback onChange)
{
    if (m_udev == nullptr)
        return nullptr;
    auto watch = std::make_unique<UdevWatch>(m_udev, std::move(onChange));
    if (!watch->Running())
        return nullptr;
    return watch;
}
