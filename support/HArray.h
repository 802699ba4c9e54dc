#pragma once

#include <cstdint>

// An owned byte buffer with its length. Every command and every report
// travels as one. Belongs to one thread at a time; it is handed over by queuing.
class HArray
{
public:
    HArray() = default;
    // n bytes, all 0 (empty for n <= 0).
    explicit HArray(int32_t n);
    HArray(int32_t n, const uint8_t* source);
    HArray(const HArray& other);
    HArray(HArray&& other) noexcept;
    HArray& operator=(const HArray& other);
    HArray& operator=(HArray&& other) noexcept;
    virtual ~HArray();

    // Replaces the contents with n bytes copied from source; n <= 0 leaves the
    // array empty with a null buffer.
    void Assign(int32_t n, const uint8_t* source);

    // The byte at index, or 0xFF at or past the end (and before the start):
    // report decoders read every field through this, so a short buffer can
    // never be read past its end.
    uint8_t At(int32_t index) const;

    uint8_t* Data() { return m_data; }
    const uint8_t* Data() const { return m_data; }
    int32_t Length() const { return m_length; }

private:
    uint8_t* m_data = nullptr;
    int32_t m_length = 0;
};
