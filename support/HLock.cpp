#include "support/HLock.h"

#include <system_error>

bool HLock::Lock()
{
    try
    {
        m_mutex.lock();
        return true;
    }
    catch (const std::system_error&)
    {
        // Includes exceeding the recursion limit; the caller decides what to do.
        return false;
    }
}

void HLock::Unlock()
{
    m_mutex.unlock();
}
