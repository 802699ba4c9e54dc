#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "device/HIDDevice.h"
#include "device/HIDQuorrel.h"
#include "device/hid/HidBus.h"
#include "model/ReportDecoder.h"
#include "support/Clock.h"
#include "transfer/BlockTransfer.h"
#include "transfer/ConnectionSource.h"

// The answer to a control command.
struct CommandReply
{
    uint8_t result = 0; // 0 success, else the device's error number
    uint8_t value = 0;  // the regulator steps for the step query
};

// One run's connection to the power supply: found on the bus (at a given
// path, or the first that matches), opened, and connected. Every wait is
// bounded by the link's reply wait; whatever fails ends the command with a
// CommandFailure.
class DeviceSession
{
public:
    // devicePath empty: the first power supply found.
    DeviceSession(HidBus& bus, Clock& clock, const std::string& devicePath = {});
    ~DeviceSession(); // the connection goes first, then the device
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    HIDQuorrel& Connection() { return *m_connection; }
    ConnectionSource& Source() { return m_source; }
    Clock& LinkClock() { return m_clock; }

    // The first status report of the session, asked for once.
    const StatusView& Status();
    // A fresh status report.
    StatusView RequestStatus();

    // Sends a control command and returns the device's reply to it.
    CommandReply SendControl(uint8_t subCode, uint8_t value1 = 0, uint8_t value2 = 0);
    // The same, with an error in the reply ending the command ("Error %d for message %02X").
    CommandReply Control(uint8_t subCode, uint8_t value1 = 0, uint8_t value2 = 0);
    // The reply to a control command already sent; nullopt when none came in time.
    std::optional<CommandReply> AwaitControlReply(uint8_t subCode);
    // The regulator step count, asked only of firmware above 1.2; nullopt when
    // not asked or the device gave none ("undefined").
    std::optional<int> RegulatorSteps();

    MemoryBlock ReadMemoryBlock(uint32_t blockAddress);
    // Erases and writes the block, every write's echo checked.
    void WriteMemoryBlock(uint32_t blockAddress, const MemoryBlock& block);

private:
    // Waits for a report that accept takes, deleting every other on the way.
    std::unique_ptr<HArray> AwaitReport(bool (*accept)(const HArray&, uint8_t), uint8_t key);

    Clock& m_clock;
    std::unique_ptr<HIDDevice> m_device;
    std::unique_ptr<HIDQuorrel> m_connection;
    FixedConnection m_source{nullptr};
    std::optional<StatusView> m_firstStatus;
};
