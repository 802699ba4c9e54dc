#include "device/DeviceDetector.h"

DeviceDetector::DeviceDetector(HidBus& bus) : m_bus(bus)
{
}

DeviceDetector::~DeviceDetector()
{
    StopDetecting();
}

bool DeviceDetector::StartDetecting()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_watch)
        m_watch = m_bus.Watch([this] { OnDeviceChange(); });
    return m_watch != nullptr;
}

void DeviceDetector::StopDetecting()
{
    std::unique_ptr<HidWatch> watch;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        watch = std::move(m_watch);
    }
    watch.reset(); // outside the lock: a call in progress may ask IsDetecting
}

bool DeviceDetector::IsDetecting() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_watch != nullptr;
}
