#include "sim/SimulatedHidBus.h"

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "device/DeviceIdentity.h"

struct SimulatedHidBus::Entry
{
    HidDeviceInfo info;
    bool opens = true;
    bool plugged = true;
    int generation = 0; // bumped by every unplug: ports of an earlier plug-in stay dead
    std::unique_ptr<SimulatedPowerSupply> supply; // null for a decoy

    ReportQueue input;
    ReportQueue held;
    bool holding = false;
    std::vector<size_t> chunkSizes;
    size_t nextChunk = 0;
    int disappearIn = 0; // 0: never
    int openPorts = 0;
    int blockedReads = 0; // Reads waiting for input
    std::vector<std::vector<uint8_t>> written;
};

// One opened interface. All its state lives in the bus, under the bus's mutex.
class SimulatedHidBus::Port final : public HidPort
{
public:
    Port(SimulatedHidBus& bus, Entry& entry) : m_bus(bus), m_entry(entry), m_generation(entry.generation)
    {
        ++m_entry.openPorts;
    }
    ~Port() override
    {
        std::lock_guard<std::mutex> lock(m_bus.m_mutex);
        --m_entry.openPorts;
    }

    HidWriteResult Write(std::span<const uint8_t> report) override
    {
        std::lock_guard<std::mutex> lock(m_bus.m_mutex);
        if (Gone())
            return HidWriteResult::DeviceGone;
        m_entry.written.emplace_back(report.begin(), report.end());
        if (m_entry.disappearIn > 0 && --m_entry.disappearIn == 0)
        {
            m_bus.UnplugLocked(m_entry);
            return HidWriteResult::DeviceGone;
        }
        if (!m_entry.supply)
            return HidWriteResult::Ok; // a decoy swallows everything
        for (const auto& answer : m_entry.supply->HandleOutputReport(report))
            (m_entry.holding ? m_entry.held : m_entry.input).Push(answer);
        m_bus.m_inputChanged.notify_all();
        return HidWriteResult::Ok;
    }

    HidReadResult Read(std::span<uint8_t> buffer, size_t& count) override
    {
        count = 0;
        if (buffer.empty())
            return HidReadResult::Failed; // nowhere to put even one byte
        std::unique_lock<std::mutex> lock(m_bus.m_mutex);
        const auto ready = [&] { return m_cancelled || Gone() || !m_entry.input.Empty(); };
        if (!ready())
        {
            ++m_entry.blockedReads;
            m_bus.m_inputChanged.notify_all(); // for AwaitBlockedRead
            m_bus.m_inputChanged.wait(lock, ready);
            --m_entry.blockedReads;
        }
        if (m_cancelled)
            return HidReadResult::Cancelled;
        if (Gone())
            return HidReadResult::DeviceGone;
        size_t chunk = 0;
        if (!m_entry.chunkSizes.empty())
        {
            chunk = m_entry.chunkSizes[m_entry.nextChunk];
            m_entry.nextChunk = (m_entry.nextChunk + 1) % m_entry.chunkSizes.size();
        }
        count = m_entry.input.Take(buffer, chunk);
        return HidReadResult::Data;
    }

    void CancelRead() override
    {
        std::lock_guard<std::mutex> lock(m_bus.m_mutex);
        m_cancelled = true;
        m_bus.m_inputChanged.notify_all();
    }

private:
    bool Gone() const { return !m_entry.plugged || m_entry.generation != m_generation; }

    SimulatedHidBus& m_bus;
    Entry& m_entry;
    const int m_generation;
    bool m_cancelled = false;
};

// Calls the callback once per device added, plugged or unplugged, on a
// thread of its own.
class SimulatedHidBus::SimWatch final : public HidWatch
{
public:
    SimWatch(SimulatedHidBus& bus, ChangeCallback onChange) : m_bus(bus), m_onChange(std::move(onChange))
    {
        m_thread = std::thread([this] { Loop(); });
    }
    ~SimWatch() override
    {
        {
            std::lock_guard<std::mutex> lock(m_bus.m_mutex);
            m_stopping = true;
            auto& watches = m_bus.m_watches;
            watches.erase(std::remove(watches.begin(), watches.end(), this), watches.end());
        }
        m_changed.notify_all();
        m_thread.join();
    }

    // With the bus's mutex held.
    void Changed()
    {
        ++m_pending;
        m_changed.notify_all();
    }

private:
    void Loop()
    {
        std::unique_lock<std::mutex> lock(m_bus.m_mutex);
        for (;;)
        {
            m_changed.wait(lock, [&] { return m_stopping || m_pending > 0; });
            if (m_stopping)
                return;
            --m_pending;
            lock.unlock();
            m_onChange();
            lock.lock();
        }
    }

    SimulatedHidBus& m_bus;
    ChangeCallback m_onChange;
    std::condition_variable m_changed;
    int m_pending = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

SimulatedHidBus::SimulatedHidBus(Clock& clock) : m_clock(clock)
{
}

SimulatedHidBus::~SimulatedHidBus() = default;

SimulatedHidBus::Entry& SimulatedHidBus::At(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size())
        throw std::out_of_range("no simulated device with this index");
    return *m_entries[static_cast<size_t>(index)];
}

const SimulatedHidBus::Entry& SimulatedHidBus::At(int index) const
{
    return const_cast<SimulatedHidBus*>(this)->At(index);
}

HidDeviceInfo SimulatedHidBus::PowerSupplyInfo()
{
    HidDeviceInfo info;
    info.vendorId = DeviceVendorId;
    info.productId = DeviceProductId;
    const std::string maker = DeviceManufacturer;
    info.manufacturer = std::u16string(maker.begin(), maker.end());
    info.product = u"Quorrel power supply (simulated)";
    info.inputReportLength = DeviceReportLength;
    info.outputReportLength = DeviceReportLength;
    return info;
}

int SimulatedHidBus::AddPowerSupply()
{
    return Add(PowerSupplyInfo(), true, std::make_unique<SimulatedPowerSupply>(m_clock));
}

int SimulatedHidBus::AddDecoy(HidDeviceInfo info, bool opens)
{
    return Add(std::move(info), opens, nullptr);
}

// The entry is complete before any watch hears of it, so a watcher that
// opens it at once already talks to its power supply.
int SimulatedHidBus::Add(HidDeviceInfo info, bool opens, std::unique_ptr<SimulatedPowerSupply> supply)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto entry = std::make_unique<Entry>();
    info.path = "sim:" + std::to_string(m_entries.size());
    entry->info = std::move(info);
    entry->opens = opens && entry->info.openable;
    entry->supply = std::move(supply);
    m_entries.push_back(std::move(entry));
    NotifyWatches();
    return static_cast<int>(m_entries.size() - 1);
}

SimulatedPowerSupply& SimulatedHidBus::PowerSupply(int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Entry& entry = At(index);
    if (!entry.supply)
        throw std::logic_error("a decoy has no power supply");
    return *entry.supply;
}

std::string SimulatedHidBus::PathOf(int index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return At(index).info.path;
}

void SimulatedHidBus::NotifyWatches()
{
    for (SimWatch* watch : m_watches)
        watch->Changed();
}

void SimulatedHidBus::UnplugLocked(Entry& entry)
{
    if (!entry.plugged)
        return;
    entry.plugged = false;
    ++entry.generation;
    entry.input.Clear();
    entry.held.Clear();
    m_inputChanged.notify_all();
    NotifyWatches();
}

void SimulatedHidBus::Unplug(int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    UnplugLocked(At(index));
}

void SimulatedHidBus::Plug(int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Entry& entry = At(index);
    if (entry.plugged)
        return;
    entry.plugged = true;
    NotifyWatches();
}

bool SimulatedHidBus::IsPlugged(int index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return At(index).plugged;
}

void SimulatedHidBus::SetChunkSizes(int index, std::vector<size_t> sizes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    sizes.erase(std::remove(sizes.begin(), sizes.end(), size_t{0}), sizes.end());
    At(index).chunkSizes = std::move(sizes);
    At(index).nextChunk = 0;
}

void SimulatedHidBus::HoldReplies(int index, bool hold)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    At(index).holding = hold;
}

void SimulatedHidBus::ReleaseHeldReplies(int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Entry& entry = At(index);
    entry.input.Append(entry.held);
    m_inputChanged.notify_all();
}

void SimulatedHidBus::InjectInput(int index, std::vector<uint8_t> bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Entry& entry = At(index);
    if (!entry.plugged)
        return;
    entry.input.Push(bytes);
    m_inputChanged.notify_all();
}

void SimulatedHidBus::DisappearOnCommand(int index, int n)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    At(index).disappearIn = n;
}

std::vector<std::vector<uint8_t>> SimulatedHidBus::WrittenReports(int index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return At(index).written;
}

size_t SimulatedHidBus::PendingInput(int index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return At(index).input.Size();
}

int SimulatedHidBus::OpenPortCount(int index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return At(index).openPorts;
}

bool SimulatedHidBus::AwaitBlockedRead(int index, std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    Entry& entry = At(index);
    // A blocked Read with input queued is only about to wake.
    return m_inputChanged.wait_for(lock, limit, [&] { return entry.blockedReads > 0 && entry.input.Empty(); });
}

HidEnumeration SimulatedHidBus::Enumerate()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    HidEnumeration result;
    for (const auto& entry : m_entries)
    {
        if (!entry->plugged)
            continue;
        if (entry->info.openable)
        {
            result.devices.push_back(entry->info);
            continue;
        }
        HidDeviceInfo unopenable; // present, but nothing could be learnt of it
        unopenable.path = entry->info.path;
        unopenable.openable = false;
        result.devices.push_back(unopenable);
    }
    return result;
}

std::unique_ptr<HidPort> SimulatedHidBus::Open(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& entry : m_entries)
        if (entry->info.path == path && entry->plugged && entry->opens)
            return std::make_unique<Port>(*this, *entry);
    return nullptr;
}

std::unique_ptr<HidWatch> SimulatedHidBus::Watch(ChangeCallback onChange)
{
    auto watch = std::make_unique<SimWatch>(*this, std::move(onChange));
    std::lock_guard<std::mutex> lock(m_mutex);
    m_watches.push_back(watch.get());
    return watch;
}
