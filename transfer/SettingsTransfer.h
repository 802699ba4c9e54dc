#pragma once

#include <cstdio>
#include <string>

#include "support/Clock.h"
#include "transfer/ConnectionSource.h"
#include "transfer/TransferReport.h"

// The settings file: device memory 0x3C00-0x3FFF as 64 lines of 16 bytes
// behind a six-line header, every line ending in CR CR LF.
inline constexpr const char* SettingsFileName = "settings.ini";

// Device memory to the file. The file is written beside the old one and
// takes its place only when complete, so a failed export leaves an existing
// file exactly as it was. True on success.
bool ExportSettings(ConnectionSource& source, Clock& clock, const std::string& fileName, TransferReport& report);

enum class ImportOutcome
{
    Done,         // all 64 pieces written and confirmed
    FileNotFound, // nothing sent
    Failed,       // the device may be partly written: fall back to factory defaults
};

// The file to device memory, piece by piece, each write's echo compared
// with the line. Opening the file leaves a trace line on `trace`.
ImportOutcome ImportSettings(ConnectionSource& source, Clock& clock, const std::string& fileName, TransferReport& report,
                             std::FILE* trace = stdout);

// After a failed import: restores the device's factory parameters (script
// memory keeps what the import left) and waits for the device's answer.
// Sends nothing and returns false without a connection.
bool LoadFactoryDefaults(ConnectionSource& source);

// Status texts.
inline constexpr const char* ExportInProgressText = "IN PROGRESS (Device ===> File)";
inline constexpr const char* ExportSuccessText = "SUCCESS (Device ===> File)";
inline constexpr const char* ExportErrorText = "ERROR (Device ===> File)";
inline constexpr const char* ExportTimeoutText = "TIMEOUT ERROR (Device ===> File)";
inline constexpr const char* ImportInProgressText = "IN PROGRESS (Device <=== File)";
inline constexpr const char* ImportSuccessText = "SUCCESS (Device <=== File)";
inline constexpr const char* ImportFileNotFoundText = "FILE NOT FOUND (Device <=== File)";
inline constexpr const char* ImportWriteErrorText = "WRITE ERROR (Device <=== File)";
inline constexpr const char* FactoryDefaultsLoadedText = "Write error occured! Factory defaults loaded for parameters!";
