#include "device/HIDInterface.h"

#include "device/HIDDevice.h"

HIDInterface::HIDInterface(HIDDevice* device) : m_device(device)
{
}

void HIDInterface::Attach()
{
    if (m_device != nullptr)
        m_device->SetReceiver(this);
}

HIDInterface::~HIDInterface()
{
    Detach();
}

void HIDInterface::Detach()
{
    if (m_device != nullptr)
        m_device->ClearReceiver(this);
}
