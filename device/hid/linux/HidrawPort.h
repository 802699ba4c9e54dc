#pragma once

#include "device/hid/HidBus.h"

// One opened hidraw node. A single O_RDWR descriptor serves both directions
// (every open of a hidraw node gets its own report queue, so a second one
// would only lose reports); an eventfd lets CancelRead end a blocked read.
class HidrawPort final : public HidPort
{
public:
    // Takes ownership of fd. For a device that does not number its reports,
    // reads get a 0 in front so that byte 0 is always the report-id position.
    HidrawPort(int fd, bool numberedReports);
    ~HidrawPort() override;
    HidrawPort(const HidrawPort&) = delete;
    HidrawPort& operator=(const HidrawPort&) = delete;

    // Null when the cancel event cannot be made (the descriptor is closed).
    static std::unique_ptr<HidrawPort> Adopt(int fd, bool numberedReports);

    HidWriteResult Write(std::span<const uint8_t> report) override;
    HidReadResult Read(std::span<uint8_t> buffer, size_t& count) override;
    void CancelRead() override;

    // Errors that mean the device is no longer there, on writing or reading.
    static bool MeansDeviceGone(int error);

private:
    int m_fd;
    int m_cancelFd;
    bool m_numbered;
};
