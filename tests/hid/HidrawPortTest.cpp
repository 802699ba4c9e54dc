#include "device/hid/linux/HidrawPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
// A sequenced-packet socket pair keeps message boundaries as a hidraw node
// keeps report boundaries, so the port's real system calls run against it.
class HidrawPortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::signal(SIGPIPE, SIG_IGN); // a write to a closed peer must fail, not kill the test
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        portFd = fds[0];
        device = fds[1];
    }
    void TearDown() override
    {
        if (device >= 0)
            close(device);
    }
    void Unplug()
    {
        close(device);
        device = -1;
    }

    // The result of a read that another thread is blocked in while event happens.
    static HidReadResult ReadWhile(HidrawPort& port, const std::function<void()>& event)
    {
        HidReadResult result = HidReadResult::Data;
        std::thread reader([&] {
            std::vector<uint8_t> buffer(24);
            size_t count = 0;
            result = port.Read(buffer, count);
        });
        event();
        reader.join();
        return result;
    }

    int portFd = -1;
    int device = -1;
};
} // namespace

TEST_F(HidrawPortTest, WritesWholeReportsAndReadsThemBack)
{
    HidrawPort port(portFd, true);
    std::vector<uint8_t> report(24, 0);
    report[0] = 0x81;
    ASSERT_EQ(port.Write(report), HidWriteResult::Ok);
    std::vector<uint8_t> received(64);
    ASSERT_EQ(read(device, received.data(), received.size()), 24);
    EXPECT_EQ(received[0], 0x81);

    const uint8_t status[24] = {0x82, 0xB6};
    ASSERT_EQ(write(device, status, sizeof status), 24);
    std::vector<uint8_t> buffer(24);
    size_t count = 0;
    ASSERT_EQ(port.Read(buffer, count), HidReadResult::Data);
    EXPECT_EQ(count, 24u);
    EXPECT_EQ(buffer[0], 0x82);
    EXPECT_EQ(buffer[1], 0xB6);
}

TEST_F(HidrawPortTest, UnnumberedReportsGetTheReportIdPositionInFront)
{
    HidrawPort port(portFd, false);
    const uint8_t payload[23] = {0x82, 0x01};
    ASSERT_EQ(write(device, payload, sizeof payload), 23);
    std::vector<uint8_t> buffer(24, 0xEE);
    size_t count = 0;
    ASSERT_EQ(port.Read(buffer, count), HidReadResult::Data);
    EXPECT_EQ(count, 24u);
    EXPECT_EQ(buffer[0], 0x00);
    EXPECT_EQ(buffer[1], 0x82);
    EXPECT_EQ(buffer[2], 0x01);
}

TEST_F(HidrawPortTest, CancelEndsABlockedReadForGood)
{
    HidrawPort port(portFd, true);
    EXPECT_EQ(ReadWhile(port, [&] { port.CancelRead(); }), HidReadResult::Cancelled);
    std::vector<uint8_t> buffer(24);
    size_t count = 0;
    EXPECT_EQ(port.Read(buffer, count), HidReadResult::Cancelled);
}

TEST_F(HidrawPortTest, ALostDeviceEndsReadsAndFailsWrites)
{
    HidrawPort port(portFd, true);
    EXPECT_EQ(ReadWhile(port, [&] { Unplug(); }), HidReadResult::DeviceGone);
    const std::vector<uint8_t> report(24, 0);
    EXPECT_EQ(port.Write(report), HidWriteResult::DeviceGone);
}

TEST(HidrawPortErrors, WhichErrorsMeanTheDeviceIsGone)
{
    for (int error : {ENODEV, ESHUTDOWN, EPIPE, EPROTO, EIO, ENXIO})
        EXPECT_TRUE(HidrawPort::MeansDeviceGone(error)) << error;
    for (int error : {EINVAL, EAGAIN, ENOMEM, EBADF})
        EXPECT_FALSE(HidrawPort::MeansDeviceGone(error)) << error;
}
