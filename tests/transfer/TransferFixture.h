#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/device/LinkFixture.h"
#include "transfer/ConnectionSource.h"
#include "transfer/TransferReport.h"

// A connection that a test can take away at any moment.
struct SwitchableSource final : ConnectionSource
{
    HIDQuorrel* connection = nullptr;
    HIDQuorrel* Connection() override { return connection; }
};

// Records what a transfer reports; a test may act at a given progress step.
struct RecordedReport final : TransferReport
{
    std::vector<std::string> statuses;
    int progress = -1;
    std::function<void(int)> onProgress;

    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgress(int steps) override
    {
        progress = steps;
        if (onProgress)
            onProgress(steps);
    }
    std::string Last() const { return statuses.empty() ? std::string() : statuses.back(); }
};

// A folder of its own for each test's files.
struct TempFolder
{
    std::filesystem::path path;
    TempFolder()
    {
        path = std::filesystem::temp_directory_path() /
               ("quorrel-" + std::to_string(::getpid()) + "-" + testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

inline std::string ReadAll(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteAll(const std::string& file, const std::string& content)
{
    std::ofstream(file, std::ios::binary) << content;
}

// The settings memory of the simulated device and a connection to it.
struct TransferFixture : testing::Test
{
    LinkFixture link;
    SwitchableSource source;
    RecordedReport report;
    TempFolder folder;
    std::string settings = folder.File("settings.ini");

    TransferFixture()
    {
        LetThreadsRun(link.replyClock);
        source.connection = link.connection.get();
    }
    SimulatedPowerSupply& Supply() { return link.bus.PowerSupply(link.index); }
    std::vector<uint8_t> Memory() { return Supply().ReadMemory(0x3C00, 0x400); }
    void FillMemory(uint8_t (*byteAt)(int))
    {
        std::vector<uint8_t> bytes(0x400);
        for (int i = 0; i < 0x400; ++i)
            bytes[i] = byteAt(i);
        Supply().WriteMemory(0x3C00, bytes);
    }
    std::vector<std::vector<uint8_t>> Written() { return link.bus.WrittenReports(link.index); }
    size_t CountWritten(uint8_t code)
    {
        size_t count = 0;
        for (const auto& report : Written())
            count += !report.empty() && report[0] == code;
        return count;
    }
};
