#pragma once

#include <cstdint>
#include <string>

#include "support/HArray.h"

// What one report from the device means for the display, decided from its
// bytes alone. The main window applies the result to its controls; the
// command-line tool prints it.

// The status texts, in the order the status panel lists them.
struct StatusPanelTexts
{
    std::string timeConfig;       // "Time cfg.:"
    std::string voltageConfig;    // "Volt cfg.:"
    std::string mode;             // "Mode:"
    std::string dcdcState;        // "DCDC State:"
    std::string outputFlags;      // "Output flags:"
    std::string pinConfiguration; // "Pin configuration:"
    std::string voltageFlags;     // "Voltage flags:"
    std::string timerFlags;       // "Timer flags:"
    std::string scriptStep;       // "Script step number:"
    std::string waitTimer;        // "Wait timer:"
    std::string voutTimer;        // "VOut timer:"
    std::string vauxTimer;        // "VAux timer:"
    std::string powerSwitchTimer; // "Powerswitch timer:"
    std::string offDelayTimer;    // "Off Delay timer:"
    std::string hardOffTimer;     // "Hard Off timer:"
};

struct StatusView
{
    StatusPanelTexts panel;
    std::string voltageIn;  // "Voltage In:"
    std::string ignition;   // "Ignition:"
    std::string voltageOut; // "Voltage Out:"
    bool powerSwitchOn = false;
    bool voutOn = false;
    bool auxOn = false;
    int voltageConfig = 0; // 0-7: which "Voltage n" parameter sets the output
    int timeConfig = 0;    // 0-7
    int mode = 0;          // 0 Dumb, 1 Automotive, 2 Script, 3 UPS
    uint8_t firmwareByte = 0; // major in bits 7-5, minor in bits 4-0
    std::string title;
};

enum class ReportAction
{
    Ignore,         // too short, unknown type, or nothing to show
    Status,         // apply `status`
    ParameterBlock, // memory-read reply for the parameter block at `address`
    ScriptMemory,   // memory-read reply for script memory at `address`
    RegulatorSteps, // show `text` under "Regulator steps:"
    CommandError,   // show `text` in a message box
    Disconnected,   // the device has gone
};

struct DecodedReport
{
    ReportAction action = ReportAction::Ignore;
    StatusView status;    // for Status
    uint32_t address = 0; // for ParameterBlock and ScriptMemory
    std::string text;     // for RegulatorSteps and CommandError
};

DecodedReport DecodeReport(const HArray& report);

// The status decoding on its own, for a report known to be a status report.
StatusView DecodeStatusReport(const HArray& report);

// "QUORREL ver: 4.3 mode: 01 (Automotive)"
std::string StatusTitle(uint8_t firmwareByte, int mode);
// Caption of the "Set and save VOut" button for voltage configuration n.
std::string SaveVoltageCaption(int voltageConfig);

// Volts of the status report's measurements.
float InputVolts(uint8_t count);
float OutputVolts(uint8_t count);

inline constexpr const char* DisconnectedTitle = "QUORREL DEVICE DISCONNECTED!";
inline constexpr const char* UndefinedText = "undefined";
inline constexpr const char* SaveVoltageCaptionUnknown = "Set and save VOut (Voltage X)";
inline constexpr uint8_t FirmwareWithRegulatorSteps = 0x22; // newer than 1.2 answers the step query
