#include "cli/SimulatedSupply.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/ExitStatus.h"

#include <chrono>
#include <thread>

void SimulationClock::SleepMs(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::microseconds(100) * ms);
}

SimulatedSupply::SimulatedSupply(std::string memoryFile, Clock& clock)
    : m_bus(clock), m_index(m_bus.AddPowerSupply()), m_file(std::move(memoryFile))
{
    m_stored = Memory();
    if (m_file.empty())
        return;
    std::error_code error;
    if (!std::filesystem::exists(m_file, error) && !error)
        return; // created with the factory contents by Persist
    std::ifstream in(m_file, std::ios::binary);
    if (error || !in)
        Fail(ExitStatus::Failed, "Cannot read the simulated memory file " + m_file);
    m_fileExisted = true;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != SimulatedPowerSupply::MemorySize)
        Fail(ExitStatus::Failed, "The simulated memory file " + m_file + " is not " +
                                     std::to_string(SimulatedPowerSupply::MemorySize) + " bytes long");
    Supply().WriteMemory(SimulatedPowerSupply::MemoryBase, bytes);
    m_stored = bytes;
}

std::vector<uint8_t> SimulatedSupply::Memory()
{
    return Supply().ReadMemory(SimulatedPowerSupply::MemoryBase, SimulatedPowerSupply::MemorySize);
}

void SimulatedSupply::Persist()
{
    if (m_file.empty())
        return;
    const std::vector<uint8_t> memory = Memory();
    if (m_fileExisted && memory == m_stored)
        return;
    const std::string partial = m_file + ".partial";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    bool ok = out != nullptr && std::fwrite(memory.data(), 1, memory.size(), out) == memory.size();
    if (out != nullptr)
        ok = std::fclose(out) == 0 && ok;
    ok = ok && std::rename(partial.c_str(), m_file.c_str()) == 0;
    if (!ok)
    {
        const std::string reason = std::strerror(errno);
        std::remove(partial.c_str());
        Fail(ExitStatus::Failed, "Cannot write the simulated memory file " + m_file + ": " + reason);
    }
    m_fileExisted = true;
    m_stored = memory;
}
