#include "device/HIDQuorrel.h"

#include <vector>

#include "device/HIDDevice.h"
#include "device/QuorrelProtocol.h"

HIDQuorrel::HIDQuorrel(HIDDevice* device, Clock& clock) : HIDInterface(device), m_clock(clock)
{
    Attach(); // last: from here on the reader may deliver
}

HIDQuorrel::~HIDQuorrel()
{
    m_replyState = 0;
    Detach(); // before the queue goes: no report may be delivered into it
    HLockGuard guard(m_reports.GetLock());
    for (HArray* report = m_reports.First(); report != nullptr; report = m_reports.First())
    {
        m_reports.Remove(report);
        delete report;
    }
}

bool HIDQuorrel::WaitsForReply(uint8_t code)
{
    return code == CmdMemoryRead || code == CmdMemoryWrite || code == CmdMemoryErase;
}

bool HIDQuorrel::SendCommand(int code, std::initializer_list<int> args)
{
    return SendCommandWithData(code, {}, args);
}

bool HIDQuorrel::SendCommandWithData(int code, std::span<const uint8_t> data, std::initializer_list<int> args)
{
    std::vector<uint8_t> argBytes;
    argBytes.reserve(args.size());
    for (int arg : args)
        argBytes.push_back(static_cast<uint8_t>(arg));
    return SendBytes(static_cast<uint8_t>(code), argBytes, data);
}

bool HIDQuorrel::SendBytes(uint8_t code, std::span<const uint8_t> args, std::span<const uint8_t> data)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(1 + args.size() + data.size());
    bytes.push_back(code);
    bytes.insert(bytes.end(), args.begin(), args.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    const HArray command(static_cast<int32_t>(bytes.size()), bytes.data());

    // Marked before the lock is taken: a report that arrives while this
    // sender waits for the lock or writes already counts as the answer.
    m_replyState = -1;
    bool written = false;
    {
        const bool locked = m_writeLock.Lock(); // the write goes ahead even without the lock
        written = m_device != nullptr && m_device->Write(command);
        if (locked)
            m_writeLock.Unlock();
    }
    if (!written)
        return false;
    return WaitsForReply(code) ? WaitForReply() : true;
}

bool HIDQuorrel::WaitForReply()
{
    if (m_replyState != -1)
        return true;
    for (int sleeps = 1;; ++sleeps)
    {
        m_clock.SleepMs(ReplyPollMs);
        if (sleeps > MaxReplyPolls)
            return false;
        if (m_replyState != -1)
            return true;
    }
}

HArray* HIDQuorrel::PopReport()
{
    HLockGuard guard(m_reports.GetLock());
    HArray* report = m_reports.First();
    if (report != nullptr)
        m_reports.Remove(report);
    return report;
}

bool HIDQuorrel::OnReport(const HArray& report)
{
    auto* copy = new HArray(report);
    const bool queued = m_reports.Append(copy);
    if (!queued)
        delete copy;
    // After the append: a sender that sees the mark finds the report queued.
    m_replyState = 0;
    return queued;
}

bool HIDQuorrel::OnDeviceGone()
{
    uint8_t bytes[ReportLength] = {ReportDisconnect, DisconnectedMark};
    auto* report = new HArray(ReportLength, bytes);
    const bool queued = m_reports.Append(report);
    if (!queued)
        delete report;
    return queued; // the reply mark stays: a waiting sender waits for a real report
}
