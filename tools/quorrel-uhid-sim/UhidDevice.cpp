#include "UhidDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <utility>
#include <linux/uhid.h>
#include <unistd.h>

#include "device/DeviceIdentity.h"
#include "sim/SimulatedReportDescriptor.h"

UhidIdentity PowerSupplyIdentity()
{
    return {DeviceManufacturer, DeviceVendorId, DeviceProductId, static_cast<uint8_t>(DeviceReportLength - 1)};
}

UhidDevice::UhidDevice(SimulatedPowerSupply& supply, UhidIdentity identity)
    : m_supply(supply), m_identity(std::move(identity))
{
}

UhidDevice::~UhidDevice()
{
    if (m_created)
        Destroy();
    if (m_fd >= 0)
        close(m_fd);
}

bool UhidDevice::Open()
{
    m_fd = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    return m_fd >= 0;
}

bool UhidDevice::Send(const void* event, size_t size)
{
    const ssize_t written = write(m_fd, event, size);
    return written == static_cast<ssize_t>(size);
}

bool UhidDevice::Create()
{
    if (m_created)
        return true;
    uhid_event event{};
    event.type = UHID_CREATE2;
    // The kernel's name stands for the manufacturer where there is no USB
    // device above the node, so it carries the maker's string.
    std::strncpy(reinterpret_cast<char*>(event.u.create2.name), m_identity.name.c_str(),
                 sizeof event.u.create2.name - 1);
    std::strncpy(reinterpret_cast<char*>(event.u.create2.phys), "quorrel-uhid-sim", sizeof event.u.create2.phys - 1);
    const auto descriptor = SimulatedReportDescriptor(m_identity.dataBytes);
    event.u.create2.rd_size = static_cast<uint16_t>(descriptor.size());
    std::copy(descriptor.begin(), descriptor.end(), event.u.create2.rd_data);
    event.u.create2.bus = 0x06; // BUS_VIRTUAL
    event.u.create2.vendor = m_identity.vendorId;
    event.u.create2.product = m_identity.productId;
    event.u.create2.version = 0x0100;
    m_created = Send(&event, sizeof event);
    return m_created;
}

bool UhidDevice::Destroy()
{
    if (!m_created)
        return true;
    uhid_event event{};
    event.type = UHID_DESTROY;
    m_created = !Send(&event, sizeof event);
    return !m_created;
}

bool UhidDevice::HandleEvent()
{
    uhid_event event{};
    const ssize_t got = read(m_fd, &event, sizeof event);
    if (got <= 0)
        return errno == EINTR || errno == EAGAIN;

    switch (event.type)
    {
    case UHID_OUTPUT: {
        // Numbered reports: byte 0 is the report id, which is the command code.
        const size_t size = std::min<size_t>(event.u.output.size, sizeof event.u.output.data);
        for (const auto& answer : m_supply.HandleOutputReport(std::span<const uint8_t>(event.u.output.data, size)))
        {
            uhid_event input{};
            input.type = UHID_INPUT2;
            input.u.input2.size = static_cast<uint16_t>(answer.size());
            std::copy(answer.begin(), answer.end(), input.u.input2.data);
            Send(&input, sizeof input);
        }
        return true;
    }
    case UHID_GET_REPORT:
    case UHID_SET_REPORT: {
        // The device has no feature reports: both requests are refused.
        // The two replies lay out their id and error alike.
        uhid_event reply{};
        const bool get = event.type == UHID_GET_REPORT;
        reply.type = get ? UHID_GET_REPORT_REPLY : UHID_SET_REPORT_REPLY;
        reply.u.get_report_reply.id = get ? event.u.get_report.id : event.u.set_report.id;
        reply.u.get_report_reply.err = EIO;
        Send(&reply, sizeof reply);
        return true;
    }
    default:
        return true; // start, stop, open, close: nothing to do
    }
}
