#include "model/ReportDecoder.h"

#include <cstdio>

#include "device/QuorrelProtocol.h"
#include "model/ParameterTable.h"
#include "model/ScriptStep.h"
#include "model/ValueCodecs.h"

namespace
{
// Volts per count, as single-precision constants: the device's measurements
// are scaled in single precision so that the texts match the device's own.
constexpr float InputVoltsPerCount = 0.1558f;
constexpr float OutputVoltsPerCount = 0.117f;

const char* const ModeNames[] = {"(Dumb)", "(Automotive)", "(Script)", "(UPS)"};

std::string Printf(const char* format, int value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Duration(const HArray& report, int at)
{
    return FormatDuration(static_cast<uint32_t>(report.At(at) * 256 + report.At(at + 1)));
}

DecodedReport DecodeMemoryReply(const HArray& report)
{
    DecodedReport decoded;
    const uint32_t address = report.At(1) + 256u * report.At(2) + 65536u * report.At(3);
    if (report.At(4) != MemoryChunkSize)
        return decoded;
    decoded.address = address;
    if (address >= ParameterBlockBase && address <= ParameterBlockBase + ParameterBlockSize - ParameterChunkSize)
        decoded.action = ReportAction::ParameterBlock;
    else if (address >= ScriptMemoryBase && address <= ParameterBlockBase - ScriptStepSize)
        decoded.action = ReportAction::ScriptMemory;
    return decoded;
}

DecodedReport DecodeCommandReply(const HArray& report)
{
    DecodedReport decoded;
    const int result = report.At(1);
    const int subCode = report.At(2);
    if (subCode == CtlRegulatorSteps)
    {
        decoded.action = ReportAction::RegulatorSteps;
        decoded.text = result == 0 ? std::to_string(report.At(3)) : UndefinedText;
    }
    else if (result != 0)
    {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "Error %d for message %02X", result, subCode);
        decoded.action = ReportAction::CommandError;
        decoded.text = buffer;
    }
    return decoded;
}
} // namespace

float InputVolts(uint8_t count)
{
    return static_cast<float>(count) * InputVoltsPerCount;
}

float OutputVolts(uint8_t count)
{
    return static_cast<float>(count) * OutputVoltsPerCount;
}

std::string StatusTitle(uint8_t firmwareByte, int mode)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "QUORREL ver: %d.%d mode: %02d %s", firmwareByte >> 5, firmwareByte & 0x1F,
                  mode, ModeNames[mode & 3]);
    return buffer;
}

std::string SaveVoltageCaption(int voltageConfig)
{
    return Printf("Set and save VOut (Voltage %d)", voltageConfig);
}

StatusView DecodeStatusReport(const HArray& report)
{
    StatusView view;
    const uint8_t configuration = report.At(1);
    view.timeConfig = configuration >> 5;
    view.voltageConfig = (configuration >> 2) & 7;
    view.mode = configuration & 3;

    StatusPanelTexts& panel = view.panel;
    panel.timeConfig = std::to_string(view.timeConfig);
    panel.voltageConfig = std::to_string(view.voltageConfig);
    panel.mode = Printf("%02d", view.mode);
    panel.dcdcState = Printf("%02x", report.At(2));

    view.voltageIn = FormatDecimal(InputVolts(report.At(3)));
    view.ignition = FormatDecimal(InputVolts(report.At(4)));
    view.voltageOut = FormatDecimal(OutputVolts(report.At(5)));

    const uint8_t outputs = report.At(6);
    view.powerSwitchOn = outputs & 0x04;
    view.voutOn = outputs & 0x08;
    view.auxOn = outputs & 0x10;

    panel.outputFlags = FormatFlags(outputs);
    panel.pinConfiguration = FormatFlags(report.At(7));
    panel.voltageFlags = FormatFlags(report.At(8));
    panel.timerFlags = FormatFlags(report.At(9));
    panel.scriptStep = std::to_string(report.At(10));
    panel.waitTimer = Duration(report, 11);
    panel.voutTimer = Duration(report, 13);
    panel.vauxTimer = Duration(report, 15);
    panel.powerSwitchTimer = FormatWord(report.At(17), report.At(18));
    panel.offDelayTimer = Duration(report, 19);
    panel.hardOffTimer = Duration(report, 21);

    view.firmwareByte = report.At(23);
    view.title = StatusTitle(view.firmwareByte, view.mode);
    return view;
}

DecodedReport DecodeReport(const HArray& report)
{
    DecodedReport decoded;
    if (report.Length() < ReportLength)
        return decoded;
    switch (report.At(0))
    {
    case ReportStatus:
        decoded.action = ReportAction::Status;
        decoded.status = DecodeStatusReport(report);
        return decoded;
    case ReportMemoryRead:
        return DecodeMemoryReply(report);
    case ReportCommand:
        return DecodeCommandReply(report);
    case ReportDisconnect:
        if (report.At(1) == DisconnectedMark)
            decoded.action = ReportAction::Disconnected;
        return decoded;
    default:
        return decoded;
    }
}
