#include "cli/DeviceSession.h"

#include <cstdio>

#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "device/DeviceIdentity.h"
#include "device/HIDDevices.h"
#include "device/QuorrelProtocol.h"
#include "support/HList.h"

namespace
{
bool IsStatus(const HArray& report, uint8_t)
{
    return report.Length() >= ReportLength && report.At(0) == ReportStatus;
}

bool IsReplyTo(const HArray& report, uint8_t subCode)
{
    return report.Length() >= ReportLength && report.At(0) == ReportCommand && report.At(2) == subCode;
}

// The first power supply in enumeration order, or the one at devicePath. The
// discovery's own "No device found" hint names the window's options, which
// this tool does not have, so the tool says "Device not found" alone.
HIDDescriptor* FindSupply(HidBus& bus, Clock& clock, const std::string& devicePath)
{
    HList<HIDDescriptor> found;
    HIDDevices(bus, clock).FindDevices(found, DeviceManufacturer, DeviceVendorId, DeviceProductId);
    HIDDescriptor* chosen = nullptr;
    for (HIDDescriptor* descriptor = found.First(); descriptor != nullptr; descriptor = found.Next())
    {
        if (chosen == nullptr && (devicePath.empty() || descriptor->m_path == devicePath))
            chosen = descriptor;
        else
            delete descriptor;
    }
    return chosen;
}
} // namespace

DeviceSession::DeviceSession(HidBus& bus, Clock& clock, const std::string& devicePath) : m_clock(clock)
{
    HIDDescriptor* descriptor = FindSupply(bus, clock, devicePath);
    if (descriptor == nullptr)
        Fail(ExitStatus::NoDevice, DeviceNotFoundText);
    const std::string path = descriptor->m_path;
    m_device.reset(HIDDevices(bus, clock).OpenDevice(descriptor));
    if (!m_device->IsOpen())
        Fail(ExitStatus::Failed, DeviceNotOpenedText + path);
    m_connection = std::make_unique<HIDQuorrel>(m_device.get(), clock);
    m_source = FixedConnection(m_connection.get());
}

DeviceSession::~DeviceSession()
{
    m_connection.reset();
    m_device.reset();
}

std::unique_ptr<HArray> DeviceSession::AwaitReport(bool (*accept)(const HArray&, uint8_t), uint8_t key)
{
    return TakeReport(m_source, m_clock, [accept, key](const HArray& report) {
        if (report.Length() >= 2 && report.At(0) == ReportDisconnect && report.At(1) == DisconnectedMark)
            Fail(ExitStatus::Failed, DeviceLostText);
        return accept(report, key);
    });
}

StatusView DeviceSession::RequestStatus()
{
    if (!m_connection->SendCommand(CmdStatusRequest))
        Fail(ExitStatus::Failed, DeviceLostText);
    const std::unique_ptr<HArray> report = AwaitReport(IsStatus, 0);
    if (!report)
        Fail(ExitStatus::Failed, NoStatusText);
    StatusView status = DecodeStatusReport(*report);
    if (!m_firstStatus)
        m_firstStatus = status;
    return status;
}

const StatusView& DeviceSession::Status()
{
    if (!m_firstStatus)
        RequestStatus();
    return *m_firstStatus;
}

CommandReply DeviceSession::SendControl(uint8_t subCode, uint8_t value1, uint8_t value2)
{
    if (!m_connection->SendCommand(CmdControl, {subCode, value1, value2}))
        Fail(ExitStatus::Failed, DeviceLostText);
    const std::optional<CommandReply> reply = AwaitControlReply(subCode);
    if (!reply)
        Fail(ExitStatus::Failed, NoAnswerText);
    return *reply;
}

std::optional<CommandReply> DeviceSession::AwaitControlReply(uint8_t subCode)
{
    const std::unique_ptr<HArray> report = AwaitReport(IsReplyTo, subCode);
    if (!report)
        return std::nullopt;
    return CommandReply{report->At(1), report->At(3)};
}

CommandReply DeviceSession::Control(uint8_t subCode, uint8_t value1, uint8_t value2)
{
    const CommandReply reply = SendControl(subCode, value1, value2);
    if (reply.result != 0)
    {
        char text[64];
        std::snprintf(text, sizeof text, "Error %d for message %02X", reply.result, subCode);
        Fail(ExitStatus::Failed, text);
    }
    return reply;
}

std::optional<int> DeviceSession::RegulatorSteps()
{
    if (Status().firmwareByte <= FirmwareWithRegulatorSteps)
        return std::nullopt;
    const CommandReply reply = SendControl(CtlRegulatorSteps);
    if (reply.result != 0)
        return std::nullopt;
    return reply.value;
}

MemoryBlock DeviceSession::ReadMemoryBlock(uint32_t blockAddress)
{
    const std::optional<MemoryBlock> block = ReadBlock(m_source, m_clock, blockAddress);
    if (!block)
        Fail(ExitStatus::Failed, BlockReadErrorText);
    return *block;
}

void DeviceSession::WriteMemoryBlock(uint32_t blockAddress, const MemoryBlock& block)
{
    if (!WriteBlock(m_source, m_clock, blockAddress, block))
        Fail(ExitStatus::Failed, WriteErrorText);
}
