#include "support/HArray.h"

#include <cstring>
#include <utility>

HArray::HArray(int32_t n)
{
    if (n > 0)
    {
        m_data = new uint8_t[static_cast<size_t>(n)]();
        m_length = n;
    }
}

HArray::HArray(int32_t n, const uint8_t* source)
{
    Assign(n, source);
}

HArray::HArray(const HArray& other)
{
    Assign(other.m_length, other.m_data);
}

HArray::HArray(HArray&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_length(std::exchange(other.m_length, 0))
{
}

HArray& HArray::operator=(const HArray& other)
{
    if (this != &other)
        Assign(other.m_length, other.m_data);
    return *this;
}

HArray& HArray::operator=(HArray&& other) noexcept
{
    if (this != &other)
    {
        delete[] m_data;
        m_data = std::exchange(other.m_data, nullptr);
        m_length = std::exchange(other.m_length, 0);
    }
    return *this;
}

HArray::~HArray()
{
    delete[] m_data;
}

void HArray::Assign(int32_t n, const uint8_t* source)
{
    // Copy first: source may point into our own buffer.
    uint8_t* fresh = nullptr;
    if (n > 0)
    {
        fresh = new uint8_t[static_cast<size_t>(n)];
        if (source != nullptr)
            std::memcpy(fresh, source, static_cast<size_t>(n));
        else
            std::memset(fresh, 0, static_cast<size_t>(n));
    }
    delete[] m_data;
    m_data = fresh;
    m_length = n > 0 ? n : 0;
}

uint8_t HArray::At(int32_t index) const
{
    if (m_data == nullptr || index < 0 || index >= m_length)
        return 0xFF;
    return m_data[index];
}
