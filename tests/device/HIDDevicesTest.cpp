#include "device/HIDDevices.h"

#include <gtest/gtest.h>

#include <cstring>

#include "device/DeviceIdentity.h"
#include "sim/SimulatedHidBus.h"

namespace
{
HidDeviceInfo Matching()
{
    HidDeviceInfo info;
    info.vendorId = DeviceVendorId;
    info.productId = DeviceProductId;
    const std::string maker = DeviceManufacturer;
    info.manufacturer = std::u16string(maker.begin(), maker.end());
    info.product = u"anything";
    info.inputReportLength = DeviceReportLength;
    info.outputReportLength = DeviceReportLength;
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
              "HID enumeration failed with error: 19\n"
              "No device found - set the -manuf, -product, -vendor, -pid propperly:\n");
}

TEST(HIDDescriptor, NarrowingKeepsLowBytesStopsAtZeroAndIsAlwaysTerminated)
{
    char out[256];
    NarrowString(u"Qu\u00F6rrel", out);
    EXPECT_STREQ(out, "Qu\xF6rrel");
    NarrowString(u"ab\u0141c", out); // U+0141 narrows to 0x41
    EXPECT_STREQ(out, "abAc");
    NarrowString(u"ab\u0100cd", out); // low byte 0 ends the string
    EXPECT_STREQ(out, "ab");
    NarrowString(std::u16string(300, u'x'), out);
    EXPECT_EQ(std::strlen(out), 255u);

    HidDeviceInfo info;
    const HIDDescriptor absent(info);
    EXPECT_STREQ(absent.m_manufacturer, "- not present -");
    EXPECT_STREQ(absent.m_product, "- not present -");
}
