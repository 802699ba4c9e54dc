// Any bytes as a settings file: the line reader, and the import against the
// simulated device. An import may fail, but never claims success for a file
// whose 64 pieces did not all reach the device.

#include <cstdio>
#include <string>
#include <unistd.h>

#include "tests/fuzz/FuzzLink.h"
#include "transfer/SettingsTransfer.h"
#include "transfer/TxFile.h"

namespace
{
struct QuietReport final : TransferReport
{
    void SetStatus(const std::string&) override {}
    void SetProgress(int) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string file = "/tmp/quorrel-fuzz-settings-" + std::to_string(::getpid()) + ".ini";
    if (std::FILE* out = std::fopen(file.c_str(), "wb"))
    {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }

    TxFile reader(file);
    reader.Open(nullptr);
    HArray bytes;
    int lines = 0;
    while (reader.ReadLine(bytes) != TxLine::EndOfFile)
    {
        if (bytes.Length() > 256)
            __builtin_trap(); // a line gives at most 256 bytes
        ++lines;
    }

    FuzzLink& link = FuzzLink::Instance();
    QuietReport report;
    const ImportOutcome outcome = ImportSettings(link.source, link.clock, file, report, nullptr);
    if (outcome == ImportOutcome::Done && lines < 65)
        __builtin_trap(); // the version line and 64 data lines at the least
    return 0;
}
