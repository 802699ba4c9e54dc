#include "device/HIDDevices.h"

#include <gtest/gtest.h>

#include <cstring>

#include "device/DeviceIdentity.h"
#include "sim/SimulatedHidBus.h"

namespace
{
HidDeviceInfo Matching()
{
    HidDeviceInfo info = SimulatedHidBus::PowerSupplyInfo();
    info.product = u"anything";
    return info;
}

std::u16string Upper(std::u16string text)
{
    for (auto& c : text)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

// A bus whose enumeration fails outright.
class BrokenBus : public HidBus
{
public:
    HidEnumeration Enumerate() override { return {.error = 19, .devices = {}}; }
    std::unique_ptr<HidPort> Open(const std::string&) override { return nullptr; }
    std::unique_ptr<HidWatch> Watch(ChangeCallback) override { return nullptr; }
};
} // namespace

TEST(HIDDevices, OnlyTheExactIdentityAndReportLengthsMatch)
{
    struct Case
    {
        const char* what;
        void (*change)(HidDeviceInfo&);
        bool accepted;
    };
    const Case cases[] = {
        {"exact", [](HidDeviceInfo&) {}, true},
        {"product string absent", [](HidDeviceInfo& i) { i.product.reset(); }, true},
        {"input length 25", [](HidDeviceInfo& i) { i.inputReportLength = 25; }, false},
        {"output length 25", [](HidDeviceInfo& i) { i.outputReportLength = 25; }, false},
        {"lengths unknown", [](HidDeviceInfo& i) { i.inputReportLength = i.outputReportLength = 0; }, false},
        {"manufacturer in other case", [](HidDeviceInfo& i) { i.manufacturer = Upper(*i.manufacturer); }, false},
        {"manufacturer absent", [](HidDeviceInfo& i) { i.manufacturer.reset(); }, false},
        {"manufacturer longer", [](HidDeviceInfo& i) { *i.manufacturer += u"x"; }, false},
        {"manufacturer shorter", [](HidDeviceInfo& i) { i.manufacturer->pop_back(); }, false},
        {"other vendor", [](HidDeviceInfo& i) { i.vendorId ^= 1; }, false},
        {"other product", [](HidDeviceInfo& i) { i.productId ^= 1; }, false},
    };
    for (const auto& c : cases)
    {
        SimulatedHidBus bus;
        HidDeviceInfo info = Matching();
        c.change(info);
        bus.AddDecoy(info);
        HIDDevices finder(bus);
        testing::internal::CaptureStdout();
        std::unique_ptr<HIDDescriptor> chosen(finder.ChooseDevice(DeviceManufacturer));
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(chosen != nullptr, c.accepted) << c.what;
    }
}

TEST(HIDDevices, FirstMatchIsChosenAndUnopenableDevicesAreSkipped)
{
    SimulatedHidBus bus;
    HidDeviceInfo unopenable = Matching();
    unopenable.openable = false;
    bus.AddDecoy(unopenable);
    HidDeviceInfo decoy = Matching();
    decoy.inputReportLength = 25;
    bus.AddDecoy(decoy);
    const int first = bus.AddPowerSupply();
    bus.AddPowerSupply();

    HIDDevices finder(bus);
    HList<HIDDescriptor> found;
    testing::internal::CaptureStdout();
    finder.FindDevices(found, DeviceManufacturer, DeviceVendorId, DeviceProductId);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open sim:0\n");
    EXPECT_EQ(found.Count(), 2);
    for (HIDDescriptor* d = found.First(); d != nullptr; d = found.Next())
        delete d;

    testing::internal::CaptureStdout();
    std::unique_ptr<HIDDescriptor> chosen(finder.ChooseDevice(DeviceManufacturer));
    testing::internal::GetCapturedStdout();
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->m_path, bus.PathOf(first));
    EXPECT_STREQ(chosen->m_manufacturer, DeviceManufacturer);
    EXPECT_STREQ(chosen->m_product, "Quorrel power supply (simulated)");

    std::unique_ptr<HIDDevice> device(finder.OpenDevice(chosen.release()));
    EXPECT_TRUE(device->IsOpen());
    EXPECT_TRUE(device->IsReading());
}

TEST(HIDDevices, NoDeviceSaysSoOnStandardOutput)
{
    SimulatedHidBus empty;
    HIDDevices finder(empty);
    testing::internal::CaptureStdout();
    EXPECT_EQ(finder.ChooseDevice(DeviceManufacturer), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "No device found - set the -manuf, -product, -vendor, -pid propperly:\n");

    BrokenBus broken;
    HIDDevices brokenFinder(broken);
    testing::internal::CaptureStdout();
    EXPECT_EQ(brokenFinder.ChooseDevice(DeviceManufacturer), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "SetupDiGetClassDevs failed with error: 19\n"
              "No device found - set the -manuf, -product, -vendor, -pid propperly:\n");
}

TEST(HIDDescriptor, NarrowingKeepsLowBytesStopsAtZeroAndIsAlwaysTerminated)
{
    struct Case
    {
        std::u16string text;
        std::string narrowed;
    };
    const Case cases[] = {
        {u"Quorrel", "Quorrel"},
        {u"Qu\u00F6rrel", "Qu\xF6rrel"},       // 8-bit characters stay
        {u"ab\u0141c", "abAc"},                  // U+0141 is cut to its low byte 0x41
        {u"ab\u0100cd", "ab"},                   // low byte 0 ends the string
        {std::u16string(u"ab\0cd", 5), "ab"},    // and so does a real 0
        {u"", ""},
        {std::u16string(255, u'x'), std::string(255, 'x')},
        {std::u16string(300, u'x'), std::string(255, 'x')}, // at most 255, then the terminator
    };
    for (const auto& c : cases)
    {
        char out[256];
        std::memset(out, 0x7F, sizeof out); // whatever was there before
        NarrowString(c.text, out);
        // The whole buffer: the text, then nothing but zeros (copying stops, it
        // does not go on past a zero).
        std::string expected = c.narrowed;
        expected.resize(sizeof out, '\0');
        EXPECT_EQ(std::string(out, sizeof out), expected) << c.narrowed;
    }
}

TEST(HIDDescriptor, TakesWhatTheBusEnumerated)
{
    HidDeviceInfo info;
    info.path = "/dev/hidraw7";
    info.vendorId = 0x1234;
    info.productId = 0x5678;
    info.manufacturer = u"Maker\u0100ignored";
    info.inputReportLength = 24;
    info.outputReportLength = 65;
    const HIDDescriptor descriptor(info);
    EXPECT_EQ(descriptor.m_path, "/dev/hidraw7");
    EXPECT_EQ(descriptor.m_vendorId, 0x1234);
    EXPECT_EQ(descriptor.m_productId, 0x5678);
    EXPECT_STREQ(descriptor.m_manufacturer, "Maker");
    EXPECT_STREQ(descriptor.m_product, "- not present -");
    EXPECT_EQ(descriptor.m_inputReportLength, 24);
    EXPECT_EQ(descriptor.m_outputReportLength, 65);

    const HIDDescriptor nothingKnown{HidDeviceInfo{}};
    EXPECT_STREQ(nothingKnown.m_manufacturer, "- not present -");
    EXPECT_STREQ(nothingKnown.m_product, "- not present -");
}
