#include "model/ScriptStep.h"

#include "device/QuorrelProtocol.h"
#include "model/ValueCodecs.h"

#include <algorithm>
#include <span>

// A step is one read or write request, a block one erase.
static_assert(ScriptStepSize == MemoryChunkSize);
static_assert(ScriptBlockSize == MemoryEraseSize);
static_assert(ScriptBlockSize == ScriptStepSize * ScriptStepsPerBlock);
static_assert(ScriptStepCount == ScriptStepsPerBlock * ScriptBlockCount);
// Script memory ends exactly where the parameter block begins.
static_assert(ScriptMemoryBase + ScriptBlockSize * ScriptBlockCount == 0x3FC0);

namespace
{
constexpr int ScriptFirstBlockNumber = static_cast<int>(ScriptMemoryBase / ScriptBlockSize); // 240

constexpr const char* GlobalWaitTimeZeroText = "00:00:00";
constexpr const char* GlobalWaitTimeZeroRefusal = "Global Wait Time cannot be 0!";

// A value field of a step: where it lies, how its bytes read as text, and what
// the panel says when the typed text is refused. One table drives both
// directions, so the two can never disagree about a field.
struct ValueField
{
    std::string ScriptStepView::*text;
    int offset;
    int size;
    ValueType type;
    double factor;
    const char* refusal;
};

// In the order the panel checks them; the first refusal is the one shown.
// The power switch counts 10 ms, so its factor turns units into milliseconds.
const ValueField TimedFields[] = {
    {&ScriptStepView::voltage, StepField::VOutCode, 1, ValueType::OutputVoltage, 0, "Wrong voltage!"},
    {&ScriptStepView::vOutT1Time, StepField::VOutT1Time, 2, ValueType::Duration, 1, "Wrong timer: VOutT1!"},
    {&ScriptStepView::vOutT2Time, StepField::VOutT2Time, 2, ValueType::Duration, 1, "Wrong timer: VOutT2!"},
    {&ScriptStepView::vAuxT1Time, StepField::VAuxT1Time, 2, ValueType::Duration, 1, "Wrong timer: VAuxT1!"},
    {&ScriptStepView::vAuxT2Time, StepField::VAuxT2Time, 2, ValueType::Duration, 1, "Wrong timer: VAuxT2!"},
    {&ScriptStepView::vPwsT1Time, StepField::VPwsT1Time, 2, ValueType::IntegerOrNever, 10, "Wrong timer: VPwsT1!"},
    {&ScriptStepView::vPwsT2Time, StepField::VPwsT2Time, 2, ValueType::IntegerOrNever, 10, "Wrong timer: VPwsT2!"},
};

// Checked last and with rules of its own: a skipped step has no wait, and a
// wait of 0 would otherwise mark the step as skipped without the user asking.
const ValueField GlobalWaitTimeField = {&ScriptStepView::globalWaitTime, StepField::GlobalWaitTime, 2,
                                        ValueType::Duration, 1, "Wrong timer: Global Wait Time!"};

struct StateBit
{
    int ScriptStepView::*state;
    uint8_t mask;
};

const StateBit StateBits[] = {
    {&ScriptStepView::vOutT1State, StepFlags::VOutT1On}, {&ScriptStepView::vOutT2State, StepFlags::VOutT2On},
    {&ScriptStepView::vAuxT1State, StepFlags::VAuxT1On}, {&ScriptStepView::vAuxT2State, StepFlags::VAuxT2On},
    {&ScriptStepView::vPwsT1State, StepFlags::VPwsT1On}, {&ScriptStepView::vPwsT2State, StepFlags::VPwsT2On},
};

struct BoxBit
{
    bool ScriptStepView::*box;
    uint8_t mask;
};

const BoxBit BoxBits[] = {
    {&ScriptStepView::repeatFromFirst, StepFlags::RepeatFromFirst},
    {&ScriptStepView::playNextStep, StepFlags::PlayNextStep},
};

int ClampStepIndex(int stepIndex)
{
    return std::clamp(stepIndex, 0, ScriptStepCount - 1);
}

std::string Format(const ScriptStep& step, const ValueField& field)
{
    return FormatValue(step, field.offset, field.size, field.type, field.factor);
}

bool Parse(const std::string& text, const ValueField& field, ScriptStep& step)
{
    uint8_t high = 0;
    uint8_t low = 0;
    if (!ParseValue(text, field.type, field.size, field.factor, high, low))
        return false;
    const auto offset = static_cast<size_t>(field.offset);
    if (field.size == 1)
    {
        step[offset] = low;
        return true;
    }
    step[offset] = high;
    step[offset + 1] = low;
    return true;
}
} // namespace

bool IsScriptStepIndex(int stepIndex)
{
    return stepIndex >= 0 && stepIndex < ScriptStepCount;
}

uint32_t ScriptBlockAddress(int stepIndex)
{
    const int blockNumber = ScriptFirstBlockNumber + ClampStepIndex(stepIndex) / ScriptStepsPerBlock;
    return static_cast<uint32_t>(ScriptBlockSize * blockNumber);
}

int ScriptStepOffsetInBlock(int stepIndex)
{
    return ScriptStepSize * (ClampStepIndex(stepIndex) % ScriptStepsPerBlock);
}

uint32_t ScriptStepAddress(int stepIndex)
{
    return ScriptBlockAddress(stepIndex) + static_cast<uint32_t>(ScriptStepOffsetInBlock(stepIndex));
}

ScriptStepView DecodeScriptStep(const ScriptBlock& block, int stepIndex)
{
    ScriptStep step{};
    const auto first = block.begin() + ScriptStepOffsetInBlock(stepIndex);
    std::copy(first, first + ScriptStepSize, step.begin());
    const uint8_t flags = step[StepField::StepFlags];

    ScriptStepView view;
    for (const ValueField& field : TimedFields)
        view.*field.text = Format(step, field);
    for (const StateBit& bit : StateBits)
        view.*bit.state = (flags & bit.mask) ? StateItemOn : StateItemOff;
    view.globalWaitTime = Format(step, GlobalWaitTimeField);
    view.skipThisStep = view.globalWaitTime == GlobalWaitTimeZeroText;
    for (const BoxBit& bit : BoxBits)
        view.*bit.box = (flags & bit.mask) != 0;
    return view;
}

ScriptEncodeResult EncodeScriptStep(ScriptStepView& view, ScriptBlock& block, int stepIndex)
{
    // Built apart and placed only when every field is accepted, so a refused
    // step never leaves half-written bytes in the caller's block.
    ScriptStep step{};

    uint8_t flags = 0;
    for (const StateBit& bit : StateBits)
        if (view.*bit.state == StateItemOn)
            flags |= bit.mask;
    for (const BoxBit& bit : BoxBits)
        if (view.*bit.box)
            flags |= bit.mask;
    step[StepField::StepFlags] = flags;

    for (const ValueField& field : TimedFields)
        if (!Parse(view.*field.text, field, step))
            return {field.refusal};

    const auto gwt = static_cast<size_t>(GlobalWaitTimeField.offset);
    if (view.skipThisStep)
    {
        view.globalWaitTime = GlobalWaitTimeZeroText;
        step[gwt] = 0;
        step[gwt + 1] = 0;
    }
    else
    {
        if (!Parse(view.globalWaitTime, GlobalWaitTimeField, step))
            return {GlobalWaitTimeField.refusal};
        if (step[gwt] == 0 && step[gwt + 1] == 0)
            return {GlobalWaitTimeZeroRefusal};
    }

    std::copy(step.begin(), step.end(), block.begin() + ScriptStepOffsetInBlock(stepIndex));
    return {};
}
