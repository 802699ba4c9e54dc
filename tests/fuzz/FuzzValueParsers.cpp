// Any text into every value reader: the parameter codecs with every
// parameter's type, size and factor, the number, flags and sleep-time
// readers, and the script step encoder with its fields cut from the input.
// A refused value leaves its bytes untouched; an accepted one reads back.

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "model/ParameterTable.h"
#include "model/ScriptStep.h"
#include "model/SleepTime.h"
#include "model/ValueCodecs.h"

namespace
{
std::vector<std::string> Pieces(std::string_view text, size_t count)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (pieces.size() + 1 < count)
    {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            break;
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    pieces.emplace_back(start <= text.size() ? text.substr(start) : std::string_view());
    pieces.resize(count);
    return pieces;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    ReadNumber(text);
    bool flagsOk = false;
    ParseFlags(text, flagsOk);
    ParseSleepTime(text);
    ReadColonFields(text);

    for (int slot : ParameterSlots())
    {
        ParameterBlock block;
        block.fill(0xA5);
        const ParameterBlock before = block;
        if (!StoreParameter(block, slot, text))
        {
            if (block != before)
                __builtin_trap(); // a refused value changed the block
            continue;
        }
        // What was stored shows as text that stores the same bytes again.
        const std::string shown = FormatParameter(block, slot);
        ParameterBlock again = before;
        if (StoreParameter(again, slot, shown) && again != block)
            __builtin_trap();
    }

    const std::vector<std::string> fields = Pieces(text, 8);
    ScriptStepView view;
    view.voltage = fields[0];
    view.vOutT1Time = fields[1];
    view.vOutT2Time = fields[2];
    view.vAuxT1Time = fields[3];
    view.vAuxT2Time = fields[4];
    view.vPwsT1Time = fields[5];
    view.vPwsT2Time = fields[6];
    view.globalWaitTime = fields[7];
    const uint8_t first = size ? data[0] : 0;
    view.vOutT1State = first & 1;
    view.skipThisStep = first & 2;
    view.playNextStep = first & 4;
    const int step = first % ScriptStepCount;
    ScriptBlock block;
    block.fill(0x3C);
    const ScriptBlock before = block;
    if (!EncodeScriptStep(view, block, step).Ok())
    {
        if (block != before)
            __builtin_trap(); // a refused step changed the block
        return 0;
    }
    for (int other = 0; other < ScriptStepsPerBlock; ++other)
    {
        if (other == step % ScriptStepsPerBlock)
            continue;
        if (std::memcmp(block.data() + 16 * other, before.data() + 16 * other, 16) != 0)
            __builtin_trap(); // a neighbour changed
    }
    return 0;
}
