#pragma once

#include <array>
#include <cstdint>
#include <string>

// The device's own script: up to 60 steps in its flash, which it plays by
// itself. The program only reads the steps, shows them for editing and writes
// them back. This header fixes where a step lies, its 16 bytes, and the
// conversion between those bytes and the texts and selections of the script
// panel.

// Script memory runs from 0x3C00 up to the parameter block at 0x3FC0. Flash is
// erased 64 bytes at a time, so steps are always read and written as whole
// blocks of four: changing one step rewrites its three neighbours.
inline constexpr uint32_t ScriptMemoryBase = 0x3C00;
inline constexpr int ScriptStepSize = 16;    // also the size of one read or write request
inline constexpr int ScriptStepCount = 60;   // shown as steps 1 to 60, indexed 0 to 59
inline constexpr int ScriptBlockSize = 64;   // the unit of the erase request
inline constexpr int ScriptStepsPerBlock = 4;
inline constexpr int ScriptBlockCount = 15;

// One step exactly as it lies in device memory. Two-byte fields are unsigned
// and big-endian. Every bit carries data; nothing is reserved.
using ScriptStep = std::array<uint8_t, ScriptStepSize>;
// Four steps in step order, exactly as they lie in device memory.
using ScriptBlock = std::array<uint8_t, ScriptBlockSize>;

// Where each field of a step starts. Times are seconds except the power
// switch's, which count 10 ms; 0xFFFF means "Never" in every time field.
namespace StepField
{
inline constexpr int StepFlags = 0;      // 1 byte, the bits of StepFlags below
inline constexpr int VOutCode = 1;       // 1 byte, output-voltage code
inline constexpr int VOutT1Time = 2;     // 2 bytes, seconds
inline constexpr int VOutT2Time = 4;     // 2 bytes, seconds
inline constexpr int VAuxT1Time = 6;     // 2 bytes, seconds
inline constexpr int VAuxT2Time = 8;     // 2 bytes, seconds
inline constexpr int VPwsT1Time = 10;    // 2 bytes, units of 10 ms
inline constexpr int VPwsT2Time = 12;    // 2 bytes, units of 10 ms
inline constexpr int GlobalWaitTime = 14; // 2 bytes, seconds; 0 marks a skipped step
} // namespace StepField

// Bits of the StepFlags byte; a set bit is ON or a ticked box.
namespace StepFlags
{
inline constexpr uint8_t VOutT1On = 0x80; // main output in phase T1
inline constexpr uint8_t VOutT2On = 0x40; // main output in phase T2
inline constexpr uint8_t VAuxT1On = 0x20; // auxiliary output in phase T1
inline constexpr uint8_t VAuxT2On = 0x10; // auxiliary output in phase T2
inline constexpr uint8_t VPwsT1On = 0x08; // power switch in phase T1
inline constexpr uint8_t VPwsT2On = 0x04; // power switch in phase T2
inline constexpr uint8_t RepeatFromFirst = 0x02;
inline constexpr uint8_t PlayNextStep = 0x01; // clear: the script stops after this step
} // namespace StepFlags

// Step indexes outside 0..59 are taken as the nearest valid index (below 0 as
// step 0, above 59 as step 59). Every function below does so in the same way,
// so an address and an offset computed from the same index always name the
// same 16 bytes, nothing outside script memory is ever addressed (in
// particular never the parameter block at 0x3FC0), and nothing outside the
// 64-byte block is ever read or written. Callers that must not act on such an
// index check IsScriptStepIndex first.
bool IsScriptStepIndex(int stepIndex);

// Address of the block holding the step: 64 x (240 + index div 4).
uint32_t ScriptBlockAddress(int stepIndex);
// Offset of the step within its block: 16 x (index mod 4).
int ScriptStepOffsetInBlock(int stepIndex);
// Address of the step itself: 0x3C00 + 16 x index.
uint32_t ScriptStepAddress(int stepIndex);

// Items of the state drop-down lists.
inline constexpr int StateItemOff = 0; // "OFF"
inline constexpr int StateItemOn = 1;  // "ON"

// One step as the script panel shows and edits it. The states are the
// selected items of their drop-down lists; only StateItemOn sets a bit, so an
// unselected list (-1) or any other item stores OFF.
struct ScriptStepView
{
    int vOutT1State = StateItemOff; // list 1042
    int vOutT2State = StateItemOff; // list 1043
    int vAuxT1State = StateItemOff; // list 1047
    int vAuxT2State = StateItemOff; // list 1048
    int vPwsT1State = StateItemOff; // list 1051
    int vPwsT2State = StateItemOff; // list 1052

    bool repeatFromFirst = false; // check box 1056
    bool playNextStep = false;    // check box 1057
    bool skipThisStep = false;    // check box 1058: the step's GWT is 0

    std::string voltage;        // edit 1044, volts with two decimals
    std::string vOutT1Time;     // edit 1045, "hh:mm:ss" or "Never"
    std::string vOutT2Time;     // edit 1046
    std::string vAuxT1Time;     // edit 1049
    std::string vAuxT2Time;     // edit 1050
    std::string vPwsT1Time;     // edit 1053, whole milliseconds or "Never"
    std::string vPwsT2Time;     // edit 1054
    std::string globalWaitTime; // edit 1055, "hh:mm:ss" or "Never"

    bool operator==(const ScriptStepView&) const = default;
};

// Outcome of encoding a step: empty on success, else the message to show for
// the first field refused.
struct ScriptEncodeResult
{
    std::string message;

    bool Ok() const { return message.empty(); }
};

// The step's 16 bytes within the block, as the panel shows them. Every byte
// pattern shows as something, so this cannot fail.
ScriptStepView DecodeScriptStep(const ScriptBlock& block, int stepIndex);

// Builds the step's 16 bytes from view into its place in block, checking the
// fields in panel order; the first refused field ends the encoding with its
// message and leaves block unchanged. The other three steps of the block are
// never touched. When "Skip this step" is ticked and the encoding reaches the
// global wait time, its text in view is replaced by "00:00:00" and the field
// stored as 0 without reading what was typed.
ScriptEncodeResult EncodeScriptStep(ScriptStepView& view, ScriptBlock& block, int stepIndex);
