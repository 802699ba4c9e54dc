#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "device/HIDInterface.h"
#include "support/Clock.h"
#include "support/HArray.h"
#include "support/HList.h"
#include "support/HLock.h"

// The one way to talk to the device. Builds each command into one output
// report and writes it; for memory reads, writes and erases it then waits
// until any report arrives. Every report the device sends is queued, oldest
// first, for the main window or a transfer to take out. A write that finds
// the device gone queues a disconnect report of the connection's own making.
//
// Nothing matches an answer to its request: one shared mark says whether any
// report arrived since the last command was written.
class HIDQuorrel : public HIDInterface
{
public:
    static constexpr uint32_t ReplyPollMs = 5;
    static constexpr int MaxReplyPolls = 3000; // about 15 s

    explicit HIDQuorrel(HIDDevice* device, Clock& clock = Clock::System());
    // Ends a reply wait on another thread, stops deliveries (waiting for one
    // in progress), then deletes every queued report.
    ~HIDQuorrel() override;

    // Writes code and the low bytes of args. True when the write succeeded
    // and, for memory reads, writes and erases, a report arrived in time.
    bool SendCommand(int code, std::initializer_list<int> args = {});
    // The same with a data block after the arguments (memory writes).
    bool SendCommandWithData(int code, std::span<const uint8_t> data, std::initializer_list<int> args);
    // The same from bytes already built.
    bool SendBytes(uint8_t code, std::span<const uint8_t> args, std::span<const uint8_t> data = {});

    // True as soon as a report has arrived since the last command (or since
    // the connection was made); false after MaxReplyPolls polls without one.
    bool WaitForReply();

    // The oldest queued report, or null. The caller owns it.
    HArray* PopReport();

    bool OnReport(const HArray& report) override;
    bool OnDeviceGone() override;

private:
    static bool WaitsForReply(uint8_t code);

    Clock& m_clock;
    std::atomic<int32_t> m_replyState{-1}; // -1: waiting for a report; 0: one arrived
    HList<HArray> m_reports;
    HLock m_writeLock;
};
