#include "transfer/SettingsTransfer.h"

#include <array>
#include <cstdio>
#include <unistd.h>

#include "device/HIDQuorrel.h"
#include "model/MemoryRequests.h"
#include "transfer/BlockTransfer.h"
#include "transfer/TxFile.h"

namespace
{
constexpr uint32_t FirstAddress = 0x3C00; // script memory, then the parameter block
constexpr uint32_t LastPiece = 0x3FF0;
constexpr uint32_t EndAddress = LastPiece + MemoryChunkSize;
constexpr const char* LineEnd = "\r\r\n";

constexpr std::array<const char*, 5> HeaderLines = {
    "#This file is a parameter and script file for QUORREL",
    "#Can be created from the QUORREL software importing from device",
    "#DO NOT MODIFY IT MANUALLY! WRONG VALUES CAN BURN DOWN YOUR DEVICE!",
    "#version:",
    "00",
};
constexpr int RuleLength = 35;

// The export's file under construction, beside the file it replaces; it is
// removed unless it was put in place.
class PendingFile
{
public:
    explicit PendingFile(const std::string& target) : m_target(target), m_path(target + ".partial")
    {
        m_file = std::fopen(m_path.c_str(), "wb");
    }
    ~PendingFile()
    {
        if (m_file)
            std::fclose(m_file);
        if (!m_placed)
            std::remove(m_path.c_str());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    void Line(const std::string& text)
    {
        std::fputs(text.c_str(), m_file);
        std::fputs(LineEnd, m_file);
    }
    // Everything on disk, then the new file takes the old one's name in one step.
    bool Place()
    {
        bool ok = std::fflush(m_file) == 0 && !std::ferror(m_file) && ::fsync(::fileno(m_file)) == 0;
        ok = std::fclose(m_file) == 0 && ok;
        m_file = nullptr;
        if (ok && std::rename(m_path.c_str(), m_target.c_str()) == 0)
            m_placed = true;
        return m_placed;
    }

private:
    std::string m_target;
    std::string m_path;
    std::FILE* m_file = nullptr;
    bool m_placed = false;
};

std::string DataLine(uint32_t address, const HArray& answer)
{
    char text[4 * 18];
    int length = std::snprintf(text, sizeof text, "%02x %02x", address & 0xFF, (address >> 8) & 0xFF);
    for (int i = 0; i < static_cast<int>(MemoryChunkSize); ++i)
        length += std::snprintf(text + length, sizeof text - length, " %02x", answer.At(5 + i));
    return std::string(text, length);
}
} // namespace

bool ExportSettings(ConnectionSource& source, Clock& clock, const std::string& fileName, TransferReport& report)
{
    report.SetStatus(ExportInProgressText);
    report.SetProgress(0);
    PendingFile file(fileName);
    if (!file.IsOpen())
    {
        report.SetStatus(ExportErrorText);
        return false;
    }
    for (const char* line : HeaderLines)
        file.Line(line);
    file.Line("#" + std::string(RuleLength, '-'));

    int pieces = 0;
    for (uint32_t address = FirstAddress; address <= LastPiece; address += MemoryChunkSize)
    {
        // A device that went away leaves the file incomplete: the old one stays.
        if (!source.Connection())
        {
            report.SetStatus(ExportErrorText);
            return false;
        }
        SendRequest(source, MemoryReadCommand(address));
        std::unique_ptr<HArray> answer = TakeMemoryAnswer(source, clock, address);
        if (!answer)
        {
            report.SetStatus(source.Connection() ? ExportTimeoutText : ExportErrorText);
            return false;
        }
        file.Line(DataLine(address, *answer));
        report.SetProgress(++pieces);
    }
    if (!file.Place())
    {
        report.SetStatus(ExportErrorText);
        return false;
    }
    report.SetStatus(ExportSuccessText);
    return true;
}

ImportOutcome ImportSettings(ConnectionSource& source, Clock& clock, const std::string& fileName, TransferReport& report,
                             std::FILE* trace)
{
    report.SetProgress(0);
    report.SetStatus(ImportInProgressText);
    TxFile file(fileName);
    if (!file.Open(trace))
    {
        report.SetStatus(ImportFileNotFoundText);
        return ImportOutcome::FileNotFound;
    }
    HArray line;
    file.ReadDataLine(line); // the version line; its content is not checked
    if (line.Length() == 0)
        return ImportOutcome::Failed;
    file.ReadDataLine(line);
    if (line.Length() == 0)
        return ImportOutcome::Failed;

    uint32_t expected = FirstAddress;
    int pieces = 0;
    while (line.Length() > 0)
    {
        if (!source.Connection())
            return ImportOutcome::Failed;
        const uint32_t address = line.At(0) + 256u * line.At(1);
        // Nothing is written outside the settings memory: a line after the
        // last piece ends the import too.
        if (address != expected || expected > LastPiece)
            return ImportOutcome::Failed;
        if (expected % MemoryEraseSize == 0)
        {
            // The erase waits for some report; when one came, its answer is
            // taken out of the way of the write's echo.
            if (SendRequest(source, MemoryEraseCommand(expected)) && !TakeMemoryAnswer(source, clock, std::nullopt))
                return ImportOutcome::Failed;
        }
        std::array<uint8_t, MemoryChunkSize> data;
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = line.At(static_cast<int32_t>(2 + i));
        SendRequest(source, MemoryWriteCommand(expected, data));
        std::unique_ptr<HArray> echo = TakeMemoryAnswer(source, clock, expected);
        if (!echo)
            return ImportOutcome::Failed;
        for (size_t i = 0; i < data.size(); ++i)
        {
            if (echo->At(static_cast<int32_t>(5 + i)) != data[i])
                return ImportOutcome::Failed;
        }
        report.SetProgress(++pieces);
        expected += MemoryChunkSize;
        file.ReadDataLine(line);
    }
    if (expected != EndAddress || !source.Connection())
        return ImportOutcome::Failed;
    report.SetStatus(ImportSuccessText);
    return ImportOutcome::Done;
}

bool LoadFactoryDefaults(ConnectionSource& source)
{
    if (!SendRequest(source, FactoryDefaultsCommand()))
        return false;
    if (HIDQuorrel* connection = source.Connection())
        connection->WaitForReply();
    return true;
}
