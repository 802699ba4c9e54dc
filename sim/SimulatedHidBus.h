#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid/HidBus.h"
#include "sim/ReportQueue.h"
#include "sim/SimulatedPowerSupply.h"
#include "support/Clock.h"

// A HID bus in memory: simulated power supplies and decoys that can be
// plugged and unplugged, with faults a real bus may show. Everything above
// the seam runs on it unchanged. The bus must outlive its ports and watches.
class SimulatedHidBus final : public HidBus
{
public:
    explicit SimulatedHidBus(Clock& clock = Clock::System());
    ~SimulatedHidBus() override;

    // A power supply with the device's identity, plugged in. Returns its index.
    int AddPowerSupply();
    // What a power supply shows on the bus: the device's identity, 24-byte reports.
    static HidDeviceInfo PowerSupplyInfo();
    // Any other HID interface; opens = false makes Open fail for it.
    int AddDecoy(HidDeviceInfo info, bool opens = true);

    SimulatedPowerSupply& PowerSupply(int index);
    std::string PathOf(int index) const;

    void Unplug(int index);
    void Plug(int index);
    bool IsPlugged(int index) const;

    // Faults of the line between program and device.
    // Input is handed out one report per Read, or with chunk sizes set in
    // these sizes over the byte stream, cycling (a Read takes less only when
    // less is queued or the buffer is smaller).
    void SetChunkSizes(int index, std::vector<size_t> sizes);
    void HoldReplies(int index, bool hold);                    // answers kept back ...
    void ReleaseHeldReplies(int index);                        // ... until released, behind what is queued
    void InjectInput(int index, std::vector<uint8_t> bytes);   // raw bytes as if the device sent them as one report
    void DisappearOnCommand(int index, int n);                 // unplugged by the nth command from now

    // Observation.
    std::vector<std::vector<uint8_t>> WrittenReports(int index) const;
    size_t PendingInput(int index) const; // bytes queued but not yet read
    int OpenPortCount(int index) const;
    // Waits until a Read on the device's ports is blocked for want of input,
    // so everything queued has been read; the limit is only a safety net for
    // a test that would otherwise hang.
    bool AwaitBlockedRead(int index, std::chrono::milliseconds limit = std::chrono::seconds(20));

    HidEnumeration Enumerate() override;
    std::unique_ptr<HidPort> Open(const std::string& path) override;
    std::unique_ptr<HidWatch> Watch(ChangeCallback onChange) override;

private:
    class Port;
    class SimWatch;
    struct Entry;

    int Add(HidDeviceInfo info, bool opens, std::unique_ptr<SimulatedPowerSupply> supply);
    Entry& At(int index);
    const Entry& At(int index) const;
    void NotifyWatches();            // with m_mutex held
    void UnplugLocked(Entry& entry); // with m_mutex held

    Clock& m_clock;
    mutable std::mutex m_mutex;
    std::condition_variable m_inputChanged;
    std::vector<std::unique_ptr<Entry>> m_entries;
    std::vector<SimWatch*> m_watches;
};
