#include "device/HIDDevice.h"

#include <vector>

#include "device/HIDInterface.h"

// What the reader thread shares with the device. The reader keeps its own
// reference, so a reader that Stop had to abandon finds everything it touches
// still alive, sees `reading` cleared and ends without going near the device.
struct HIDDevice::Reader
{
    explicit Reader(Clock& readerClock) : clock(readerClock) {}

    Clock& clock;
    size_t inputLength = 0;
    std::unique_ptr<HidPort> port; // written only by the owner while no reader uses it
    std::atomic<bool> reading{false};

    // Held around every call into the receiver, so that once SetReceiver
    // returns no delivery is in progress and none can start.
    std::mutex receiverMutex;
    HIDInterface* receiver = nullptr;
};

HIDDevice::HIDDevice(HIDDescriptor* descriptor, HidBus& bus, Clock& clock)
    : HThread("HIDDevice", clock),
      m_descriptor(descriptor != nullptr ? descriptor : new HIDDescriptor),
      m_reader(std::make_shared<Reader>(clock))
{
    Open(bus);
}

HIDDevice::~HIDDevice()
{
    Release();
    delete m_descriptor;
    m_descriptor = nullptr;
}

void HIDDevice::Open(HidBus& bus)
{
    m_reader->inputLength = m_descriptor->m_inputReportLength;
    m_reader->port = bus.Open(m_descriptor->m_path);
    if (m_reader->port)
        m_open = true;
    // Reading is allowed even when opening failed: the reader then idles, and
    // the owner sees the device as not open and reconnects on the next change.
    m_reader->reading = true;
    Start();
}

bool HIDDevice::IsReading() const
{
    return m_reader->reading;
}

void HIDDevice::SetReceiver(HIDInterface* receiver)
{
    std::lock_guard<std::mutex> lock(m_reader->receiverMutex);
    m_reader->receiver = receiver;
}

void HIDDevice::ClearReceiver(HIDInterface* receiver)
{
    std::lock_guard<std::mutex> lock(m_reader->receiverMutex);
    if (m_reader->receiver == receiver)
        m_reader->receiver = nullptr;
}

bool HIDDevice::Write(const HArray& command)
{
    const int length = m_descriptor->m_outputReportLength;
    if (command.Length() > length || !m_reader->port || m_released)
        return false;
    std::vector<uint8_t> report(static_cast<size_t>(length), 0);
    for (int i = 0; i < command.Length(); ++i)
        report[static_cast<size_t>(i)] = command.At(i);

    switch (m_reader->port->Write(report))
    {
    case HidWriteResult::Ok:
        return true;
    case HidWriteResult::DeviceGone:
        // Cleared before the receiver hears of it, so the loss is reported
        // once per opening however many writes fail after it.
        if (m_open.exchange(false))
        {
            std::lock_guard<std::mutex> lock(m_reader->receiverMutex);
            if (m_reader->receiver != nullptr)
                m_reader->receiver->OnDeviceGone();
        }
        return false;
    case HidWriteResult::Failed:
        break;
    }
    return false;
}

void HIDDevice::Close()
{
    if (!m_open)
        return;
    Release();
}

void HIDDevice::Release()
{
    m_released = true; // no more writes, even through a port an abandoned reader still holds
    m_reader->reading = false;
    if (m_reader->port)
        m_reader->port->CancelRead();
    if (Stop(DefaultStopTimeoutMs))
        m_reader->port.reset();
    // else: the abandoned reader still holds the port; it goes with the
    // reader's last reference.
    m_open = false;
}

void HIDDevice::Run()
{
    const std::shared_ptr<Reader> reader = m_reader;
    const auto length = static_cast<int32_t>(reader->inputLength);
    HArray assembly(length);
    std::vector<uint8_t> chunk(reader->inputLength);
    int32_t fill = 0;

    // `reading` first: once it is clear, the device may already be gone.
    while (reader->reading && IsRunning())
    {
        size_t count = 0;
        if (reader->port && !chunk.empty())
        {
            if (reader->port->Read(chunk, count) != HidReadResult::Data)
                count = 0;
        }
        if (!reader->reading)
            count = 0; // closed meanwhile: the chunk is discarded

        // A chunk never holds more than one report's worth; bytes left over
        // begin the next report.
        for (size_t i = 0; i < count; ++i)
        {
            assembly.Data()[fill++] = chunk[i];
            if (fill < length)
                continue;
            {
                std::lock_guard<std::mutex> lock(reader->receiverMutex);
                if (reader->receiver != nullptr)
                    reader->receiver->OnReport(assembly);
            }
            fill = 0;
        }
        reader->clock.SleepMs(ReaderSleepMs);
    }
}
