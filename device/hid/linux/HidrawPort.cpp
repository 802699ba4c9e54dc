#include "device/hid/linux/HidrawPort.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

HidrawPort::HidrawPort(int fd, bool numberedReports)
    : m_fd(fd), m_cancelFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), m_numbered(numberedReports)
{
}

std::unique_ptr<HidrawPort> HidrawPort::Adopt(int fd, bool numberedReports)
{
    auto port = std::make_unique<HidrawPort>(fd, numberedReports);
    if (port->m_cancelFd < 0)
        return nullptr; // its destructor closes fd
    return port;
}

HidrawPort::~HidrawPort()
{
    if (m_cancelFd >= 0)
        close(m_cancelFd);
    if (m_fd >= 0)
        close(m_fd);
}

bool HidrawPort::MeansDeviceGone(int error)
{
    // ENODEV once the device is unbound; the USB stack may report ESHUTDOWN,
    // EPIPE or EPROTO on the way there, and reads end with EIO.
    return error == ENODEV || error == ESHUTDOWN || error == EPIPE || error == EPROTO || error == EIO ||
           error == ENXIO;
}

HidWriteResult HidrawPort::Write(std::span<const uint8_t> report)
{
    for (;;)
    {
        const ssize_t written = write(m_fd, report.data(), report.size());
        if (written == static_cast<ssize_t>(report.size()))
            return HidWriteResult::Ok;
        if (written >= 0)
            return HidWriteResult::Failed; // a report goes whole or not at all
        if (errno == EINTR)
            continue;
        return MeansDeviceGone(errno) ? HidWriteResult::DeviceGone : HidWriteResult::Failed;
    }
}

HidReadResult HidrawPort::Read(std::span<uint8_t> buffer, size_t& count)
{
    count = 0;
    const size_t offset = m_numbered ? 0 : 1;
    if (buffer.size() <= offset)
        return HidReadResult::Failed;
    for (;;)
    {
        pollfd watched[2] = {{m_fd, POLLIN, 0}, {m_cancelFd, POLLIN, 0}};
        if (poll(watched, 2, -1) < 0)
        {
            if (errno == EINTR)
                continue;
            return HidReadResult::Failed;
        }
        if (watched[1].revents & POLLIN)
            return HidReadResult::Cancelled;
        if (watched[0].revents & POLLIN)
        {
            const ssize_t got = read(m_fd, buffer.data() + offset, buffer.size() - offset);
            if (got > 0)
            {
                if (offset != 0)
                    buffer[0] = 0;
                count = static_cast<size_t>(got) + offset;
                return HidReadResult::Data;
            }
            if (got == 0)
                return HidReadResult::DeviceGone;
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return MeansDeviceGone(errno) ? HidReadResult::DeviceGone : HidReadResult::Failed;
        }
        if (watched[0].revents & (POLLHUP | POLLERR | POLLNVAL))
            return HidReadResult::DeviceGone;
    }
}

void HidrawPort::CancelRead()
{
    // The counter stays non-zero: every later read returns at once too.
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = write(m_cancelFd, &one, sizeof one);
}
