#include "device/HIDDevice.h"

#include <gtest/gtest.h>

#include "device/HIDInterface.h"
#include "device/QuorrelProtocol.h"
#include "tests/device/LinkFixture.h"

namespace
{
// Records what the device hands over, in order.
class RecordingReceiver : public HIDInterface
{
public:
    explicit RecordingReceiver(HIDDevice* device) : HIDInterface(device) { Attach(); }
    ~RecordingReceiver() override { Detach(); }

    bool OnReport(const HArray& report) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_reports.push_back(Bytes(report));
        return true;
    }
    bool OnDeviceGone() override
    {
        ++goneCalls;
        return true;
    }
    std::vector<std::vector<uint8_t>> Reports()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }
    std::atomic<int> goneCalls{0};

private:
    std::mutex m_mutex;
    std::vector<std::vector<uint8_t>> m_reports;
};

std::vector<uint8_t> Sequence(uint8_t first, size_t length)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}
} // namespace

class HIDDeviceTest : public ::testing::Test
{
protected:
    ManualClock clock;
    SimulatedHidBus bus{clock};
    int index = bus.AddPowerSupply();

    void SetUp() override { LetThreadsRun(clock); }

    std::unique_ptr<HIDDevice> OpenDevice()
    {
        return std::make_unique<HIDDevice>(new HIDDescriptor(bus.Enumerate().devices.at(0)), bus, clock);
    }
};

TEST_F(HIDDeviceTest, ChunksAreReassembledIntoWholeReports)
{
    const std::vector<uint8_t> stream = Sequence(1, 48);
    const std::vector<uint8_t> first(stream.begin(), stream.begin() + 24);
    const std::vector<uint8_t> second(stream.begin() + 24, stream.end());
    const std::vector<std::vector<size_t>> chunkings = {
        {24, 24},
        {12, 12, 12, 12},
        {10, 20, 18}, // the last 6 bytes of the 20 begin the second report
        {1, 23, 23, 1},
    };
    for (const auto& chunks : chunkings)
    {
        bus.SetChunkSizes(index, chunks);
        auto device = OpenDevice();
        RecordingReceiver receiver(device.get());
        bus.InjectInput(index, stream);
        ASSERT_TRUE(Eventually([&] { return receiver.Reports().size() >= 2; })) << chunks.size();
        EXPECT_EQ(receiver.Reports(), (std::vector<std::vector<uint8_t>>{first, second})) << chunks.size();
    }
}

TEST_F(HIDDeviceTest, ReportsWithoutReceiverAreDroppedWholly)
{
    auto device = OpenDevice();
    const uint64_t cycles = clock.SleepCount();
    bus.InjectInput(index, Sequence(0, 24));
    // Nobody listens; the reader must still finish that report and start
    // afresh. Its sleep comes after the chunk has been dealt with.
    ASSERT_TRUE(Eventually([&] { return clock.SleepCount() > cycles; }));
    RecordingReceiver receiver(device.get());
    bus.InjectInput(index, Sequence(100, 24));
    ASSERT_TRUE(Eventually([&] { return !receiver.Reports().empty(); }));
    EXPECT_EQ(receiver.Reports().front(), Sequence(100, 24));
}

TEST_F(HIDDeviceTest, WritePadsToTheOutputReportLength)
{
    auto device = OpenDevice();
    const uint8_t command[] = {0xB1, 0x03, 0x01, 0x00, 0x7E};
    EXPECT_TRUE(device->Write(HArray(5, command)));
    EXPECT_EQ(bus.WrittenReports(index).back(), Padded({0xB1, 0x03, 0x01, 0x00, 0x7E}));
}

TEST_F(HIDDeviceTest, DeviceGoneIsReportedOncePerOpening)
{
    auto device = OpenDevice();
    RecordingReceiver receiver(device.get());
    ASSERT_TRUE(device->IsOpen());
    bus.Unplug(index);
    const uint8_t status[] = {CmdStatusRequest};
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(device->Write(HArray(1, status)));
    EXPECT_EQ(receiver.goneCalls, 1);
    EXPECT_FALSE(device->IsOpen());
    EXPECT_TRUE(device->IsReading()); // gone, not closed: the reader idles until the device is destroyed
}

TEST_F(HIDDeviceTest, DeviceThatCannotBeOpenedIsReturnedFailed)
{
    HidDeviceInfo info = bus.Enumerate().devices.at(0);
    info.path = "sim:no-such-device";
    HIDDevice device(new HIDDescriptor(info), bus, clock);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_TRUE(device.IsReading());
    const uint8_t status[] = {CmdStatusRequest};
    EXPECT_FALSE(device.Write(HArray(1, status)));
    device.Close(); // nothing to close
    EXPECT_TRUE(device.IsReading());
}

TEST_F(HIDDeviceTest, CloseStopsABlockedReaderAndReleasesThePort)
{
    auto device = OpenDevice();
    device->Close();
    EXPECT_FALSE(device->IsOpen());
    EXPECT_FALSE(device->IsReading());
    EXPECT_TRUE(device->IsStopped());
    const uint8_t status[] = {CmdStatusRequest};
    EXPECT_FALSE(device->Write(HArray(1, status)));
    EXPECT_TRUE(bus.WrittenReports(index).empty());
}

TEST_F(HIDDeviceTest, GoneDeviceReleasesItsPortWhenDestroyed)
{
    auto device = OpenDevice();
    bus.Unplug(index);
    const uint8_t status[] = {CmdStatusRequest};
    EXPECT_FALSE(device->Write(HArray(1, status)));
    device.reset();
    EXPECT_EQ(bus.OpenPortCount(index), 0);
}
