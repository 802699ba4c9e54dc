#pragma once

#include <cstdint>

// What passes over the link: the command codes and control sub-codes the
// program writes, and the types of the reports the device answers with.
// Every report is ReportLength bytes, byte 0 its type.

// Command codes (byte 0 of an output report).
constexpr uint8_t CmdStatusRequest = 0x81;
constexpr uint8_t CmdMemoryRead = 0xA1;  // addr lo, mid, hi, 16
constexpr uint8_t CmdMemoryWrite = 0xA3; // addr lo, mid, hi, 16, then 16 data bytes
constexpr uint8_t CmdMemoryErase = 0xA5; // addr lo, mid, hi, 64
constexpr uint8_t CmdControl = 0xB1;     // sub-code, value 1, value 2

// Sub-codes of CmdControl.
constexpr uint8_t CtlAuxOutput = 1;
constexpr uint8_t CtlPowerSwitch = 2;
constexpr uint8_t CtlMainOutput = 3;
constexpr uint8_t CtlSetOutputVoltage = 6;
constexpr uint8_t CtlConnectInit = 7;
constexpr uint8_t CtlStepUp = 12;
constexpr uint8_t CtlStepDown = 13;
constexpr uint8_t CtlFactoryDefaults = 14;
constexpr uint8_t CtlScriptStart = 16;
constexpr uint8_t CtlScriptStop = 17;
constexpr uint8_t CtlSleep = 18;
constexpr uint8_t CtlRegulatorSteps = 19;

// Report types (byte 0 of an input report).
constexpr uint8_t ReportStatus = 0x82;
constexpr uint8_t ReportMemoryRead = 0xA2; // also the answer to writes and erases
constexpr uint8_t ReportCommand = 0xB2;
constexpr uint8_t ReportDisconnect = 0xFF; // made by the connection itself, never sent by the device
constexpr uint8_t DisconnectedMark = 0x01; // byte 1 of the disconnect report

constexpr int ReportLength = 24;

// Device memory moves in chunks of 16 bytes and is erased in blocks of 64.
constexpr int MemoryChunkSize = 16;
constexpr int MemoryEraseSize = 64;
