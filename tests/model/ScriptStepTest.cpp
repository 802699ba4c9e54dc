#include "model/ScriptStep.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace
{
// A block whose every byte differs from its neighbours, so a byte written to
// the wrong place or a step read from the wrong offset shows.
ScriptBlock PatternBlock()
{
    ScriptBlock block{};
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(0x30 + 3 * i);
    return block;
}

void PutStep(ScriptBlock& block, int positionInBlock, const ScriptStep& step)
{
    std::copy(step.begin(), step.end(), block.begin() + ScriptStepSize * positionInBlock);
}

ScriptStep StepAt(const ScriptBlock& block, int positionInBlock)
{
    ScriptStep step{};
    std::copy_n(block.begin() + ScriptStepSize * positionInBlock, ScriptStepSize, step.begin());
    return step;
}

uint16_t WordAt(const ScriptStep& step, int offset)
{
    return static_cast<uint16_t>(step[static_cast<size_t>(offset)] * 256 + step[static_cast<size_t>(offset) + 1]);
}

// A step the panel accepts as it stands.
ScriptStepView ValidView()
{
    ScriptStepView view;
    view.voltage = "12.0";
    view.vOutT1Time = "00:00:10";
    view.vOutT2Time = "00:00:20";
    view.vAuxT1Time = "00:00:30";
    view.vAuxT2Time = "00:00:40";
    view.vPwsT1Time = "500";
    view.vPwsT2Time = "600";
    view.globalWaitTime = "00:01:00";
    return view;
}

// Encodes view as step 0 of a fresh block; the test fails if it is refused.
ScriptStep EncodeAccepted(ScriptStepView view)
{
    ScriptBlock block = PatternBlock();
    const ScriptEncodeResult result = EncodeScriptStep(view, block, 0);
    EXPECT_TRUE(result.Ok()) << result.message;
    return StepAt(block, 0);
}

std::string EncodeRefused(ScriptStepView view)
{
    ScriptBlock block = PatternBlock();
    return EncodeScriptStep(view, block, 0).message;
}

ScriptStepView DecodeStep(const ScriptStep& step)
{
    ScriptBlock block = PatternBlock();
    PutStep(block, 0, step);
    return DecodeScriptStep(block, 0);
}

struct TextField
{
    const char* name;
    std::string ScriptStepView::*text;
    int offset;
    const char* refusal;
};

const TextField DurationFields[] = {
    {"VOutT1", &ScriptStepView::vOutT1Time, StepField::VOutT1Time, "Wrong timer: VOutT1!"},
    {"VOutT2", &ScriptStepView::vOutT2Time, StepField::VOutT2Time, "Wrong timer: VOutT2!"},
    {"VAuxT1", &ScriptStepView::vAuxT1Time, StepField::VAuxT1Time, "Wrong timer: VAuxT1!"},
    {"VAuxT2", &ScriptStepView::vAuxT2Time, StepField::VAuxT2Time, "Wrong timer: VAuxT2!"},
    {"GWT", &ScriptStepView::globalWaitTime, StepField::GlobalWaitTime, "Wrong timer: Global Wait Time!"},
};

const TextField PwsFields[] = {
    {"VPwsT1", &ScriptStepView::vPwsT1Time, StepField::VPwsT1Time, "Wrong timer: VPwsT1!"},
    {"VPwsT2", &ScriptStepView::vPwsT2Time, StepField::VPwsT2Time, "Wrong timer: VPwsT2!"},
};
} // namespace

// ---------------------------------------------------------------- layout

TEST(ScriptStepLayout, StepsLieInTheirBlocks)
{
    struct Case
    {
        int index;
        uint32_t blockAddress;
        int offset;
        uint32_t stepAddress;
    };
    const Case cases[] = {
        {0, 0x3C00, 0, 0x3C00},  // step 1
        {3, 0x3C00, 48, 0x3C30}, // step 4, last of the first block
        {4, 0x3C40, 0, 0x3C40},  // step 5 opens a new block
        {59, 0x3F80, 48, 0x3FB0}, // step 60
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(ScriptBlockAddress(c.index), c.blockAddress);
        EXPECT_EQ(ScriptStepOffsetInBlock(c.index), c.offset);
        EXPECT_EQ(ScriptStepAddress(c.index), c.stepAddress);
    }
}

TEST(ScriptStepLayout, EveryStepHasItsOwnPlaceInScriptMemory)
{
    for (int i = 0; i < ScriptStepCount; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_TRUE(IsScriptStepIndex(i));
        EXPECT_EQ(ScriptBlockAddress(i) % ScriptBlockSize, 0u);
        EXPECT_EQ(ScriptBlockAddress(i) / ScriptBlockSize, 240u + static_cast<uint32_t>(i / 4));
        EXPECT_EQ(ScriptStepAddress(i), ScriptMemoryBase + 16u * static_cast<uint32_t>(i));
        EXPECT_LE(ScriptStepAddress(i) + ScriptStepSize, 0x3FC0u); // never into the parameter block
    }
}

TEST(ScriptStepLayout, IndexesOutsideTheScriptNameTheNearestStep)
{
    struct Case
    {
        int index;
        int nearest;
    };
    const Case cases[] = {{-1, 0}, {-4, 0}, {INT_MIN, 0}, {60, 59}, {64, 59}, {INT_MAX, 59}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.index);
        EXPECT_FALSE(IsScriptStepIndex(c.index));
        EXPECT_EQ(ScriptBlockAddress(c.index), ScriptBlockAddress(c.nearest));
        EXPECT_EQ(ScriptStepOffsetInBlock(c.index), ScriptStepOffsetInBlock(c.nearest));
        EXPECT_LT(ScriptStepAddress(c.index), 0x3FC0u);

        // Decoding and encoding stay on the same 16 bytes of the block.
        ScriptBlock block = PatternBlock();
        EXPECT_EQ(DecodeScriptStep(block, c.index), DecodeScriptStep(block, c.nearest));
        ScriptBlock viaOutOfRange = PatternBlock();
        ScriptBlock viaNearest = PatternBlock();
        ScriptStepView view = ValidView();
        ASSERT_TRUE(EncodeScriptStep(view, viaOutOfRange, c.index).Ok());
        ASSERT_TRUE(EncodeScriptStep(view, viaNearest, c.nearest).Ok());
        EXPECT_EQ(viaOutOfRange, viaNearest);
    }
}

// ---------------------------------------------------------------- flags

TEST(ScriptStepFlags, EachControlOwnsItsBit)
{
    struct Case
    {
        const char* name;
        void (*set)(ScriptStepView&);
        uint8_t flags;
    };
    const Case cases[] = {
        {"VOutT1", [](ScriptStepView& v) { v.vOutT1State = StateItemOn; }, 0x80},
        {"VOutT2", [](ScriptStepView& v) { v.vOutT2State = StateItemOn; }, 0x40},
        {"VAuxT1", [](ScriptStepView& v) { v.vAuxT1State = StateItemOn; }, 0x20},
        {"VAuxT2", [](ScriptStepView& v) { v.vAuxT2State = StateItemOn; }, 0x10},
        {"VPwsT1", [](ScriptStepView& v) { v.vPwsT1State = StateItemOn; }, 0x08},
        {"VPwsT2", [](ScriptStepView& v) { v.vPwsT2State = StateItemOn; }, 0x04},
        {"repeat", [](ScriptStepView& v) { v.repeatFromFirst = true; }, 0x02},
        {"play next", [](ScriptStepView& v) { v.playNextStep = true; }, 0x01},
        {"nothing", [](ScriptStepView&) {}, 0x00},
        {"everything",
         [](ScriptStepView& v) {
             v.vOutT1State = v.vOutT2State = v.vAuxT1State = StateItemOn;
             v.vAuxT2State = v.vPwsT1State = v.vPwsT2State = StateItemOn;
             v.repeatFromFirst = v.playNextStep = true;
         },
         0xFF},
        // Only item 1 means ON: no selection or an unexpected item stores OFF.
        {"unselected and stray items",
         [](ScriptStepView& v) {
             v.vOutT1State = -1;
             v.vOutT2State = 2;
             v.vAuxT1State = INT_MAX;
         },
         0x00},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScriptStepView view = ValidView();
        c.set(view);
        const ScriptStep step = EncodeAccepted(view);
        EXPECT_EQ(step[StepField::StepFlags], c.flags);

        // And back: the decoded view sets the same controls.
        ScriptStepView expected = ValidView();
        if (c.flags != 0)
            c.set(expected);
        const ScriptStepView decoded = DecodeStep(step);
        EXPECT_EQ(decoded.vOutT1State, expected.vOutT1State);
        EXPECT_EQ(decoded.vOutT2State, expected.vOutT2State);
        EXPECT_EQ(decoded.vAuxT1State, expected.vAuxT1State);
        EXPECT_EQ(decoded.vAuxT2State, expected.vAuxT2State);
        EXPECT_EQ(decoded.vPwsT1State, expected.vPwsT1State);
        EXPECT_EQ(decoded.vPwsT2State, expected.vPwsT2State);
        EXPECT_EQ(decoded.repeatFromFirst, expected.repeatFromFirst);
        EXPECT_EQ(decoded.playNextStep, expected.playNextStep);
    }
}

TEST(ScriptStepFlags, EveryFlagsByteSurvivesDecodeAndEncode)
{
    for (int flags = 0; flags <= 0xFF; ++flags)
    {
        SCOPED_TRACE(flags);
        ScriptStep step = EncodeAccepted(ValidView());
        step[StepField::StepFlags] = static_cast<uint8_t>(flags);
        EXPECT_EQ(EncodeAccepted(DecodeStep(step)), step);
    }
}

// ---------------------------------------------------------------- whole steps

TEST(ScriptStepCodec, DecodesEveryFieldFromItsBytes)
{
    const ScriptStep step = {
        0x95,       // VOutT1, VAuxT2, VPwsT2 on; play next step
        51,         // 12.01 V
        0x0E, 0x10, // 01:00:00
        0xFF, 0xFF, // Never
        0x00, 0x01, // 00:00:01
        0xFD, 0x1F, // 17:59:59
        0x01, 0x2C, // 300 units of 10 ms
        0xFF, 0xFE, // 65534 units
        0x00, 0x3C, // 00:01:00
    };
    ScriptStepView expected;
    expected.vOutT1State = StateItemOn;
    expected.vAuxT2State = StateItemOn;
    expected.vPwsT2State = StateItemOn;
    expected.playNextStep = true;
    expected.voltage = "12.01";
    expected.vOutT1Time = "01:00:00";
    expected.vOutT2Time = "Never";
    expected.vAuxT1Time = "00:00:01";
    expected.vAuxT2Time = "17:59:59";
    expected.vPwsT1Time = "3000";
    expected.vPwsT2Time = "655340";
    expected.globalWaitTime = "00:01:00";

    EXPECT_EQ(DecodeStep(step), expected);
    ScriptStepView typed = expected;
    typed.voltage = "12.0"; // the step at or above 12 V is the 12.01 V one
    EXPECT_EQ(EncodeAccepted(typed), step);
}

TEST(ScriptStepCodec, EachStepOfABlockIsReadAndWrittenInItsOwnPlace)
{
    for (const int index : {0, 1, 2, 3, 4, 58, 59})
    {
        SCOPED_TRACE(index);
        const int position = index % ScriptStepsPerBlock;
        ScriptBlock block = PatternBlock();
        ScriptStep mine = StepAt(block, position);
        mine[StepField::VOutCode] = 100; // 8.10 V, a code the pattern holds nowhere
        mine[StepField::GlobalWaitTime] = 0x00;
        mine[StepField::GlobalWaitTime + 1] = 0x07;
        PutStep(block, position, mine);
        const ScriptBlock before = block;

        ScriptStepView view = DecodeScriptStep(block, index);
        EXPECT_EQ(view.voltage, "8.10");
        EXPECT_EQ(view.globalWaitTime, "00:00:07");

        view.globalWaitTime = "00:00:09";
        ASSERT_TRUE(EncodeScriptStep(view, block, index).Ok());
        for (int other = 0; other < ScriptStepsPerBlock; ++other)
        {
            if (other != position)
            {
                EXPECT_EQ(StepAt(block, other), StepAt(before, other)) << "neighbour " << other;
            }
        }
        ScriptStep expected = mine;
        expected[StepField::GlobalWaitTime + 1] = 0x09;
        EXPECT_EQ(StepAt(block, position), expected);
    }
}

TEST(ScriptStepCodec, ARefusedStepLeavesTheBlockAsItWas)
{
    ScriptBlock block = PatternBlock();
    ScriptStepView view = ValidView();
    view.globalWaitTime = "bad"; // refused last, after every other field was stored
    EXPECT_EQ(EncodeScriptStep(view, block, 2).message, "Wrong timer: Global Wait Time!");
    EXPECT_EQ(block, PatternBlock());
}

TEST(ScriptStepCodec, TheFirstRefusedFieldInPanelOrderWins)
{
    struct Bad
    {
        std::string ScriptStepView::*text;
        const char* typed;
        const char* message;
    };
    const Bad order[] = {
        {&ScriptStepView::voltage, "4.99", "Wrong voltage!"},
        {&ScriptStepView::vOutT1Time, "bad", "Wrong timer: VOutT1!"},
        {&ScriptStepView::vOutT2Time, "bad", "Wrong timer: VOutT2!"},
        {&ScriptStepView::vAuxT1Time, "bad", "Wrong timer: VAuxT1!"},
        {&ScriptStepView::vAuxT2Time, "bad", "Wrong timer: VAuxT2!"},
        {&ScriptStepView::vPwsT1Time, "1e999", "Wrong timer: VPwsT1!"}, // beyond a double
        {&ScriptStepView::vPwsT2Time, "1e999", "Wrong timer: VPwsT2!"},
        {&ScriptStepView::globalWaitTime, "bad", "Wrong timer: Global Wait Time!"},
        {&ScriptStepView::globalWaitTime, "00:00:00", "Global Wait Time cannot be 0!"},
    };
    for (size_t first = 0; first < std::size(order); ++first)
    {
        SCOPED_TRACE(order[first].message);
        ScriptStepView alone = ValidView();
        alone.*order[first].text = order[first].typed;
        EXPECT_EQ(EncodeRefused(alone), order[first].message);

        for (size_t later = first + 1; later < std::size(order); ++later)
        {
            if (order[later].text == order[first].text)
                continue;
            SCOPED_TRACE(order[later].message);
            ScriptStepView both = alone;
            both.*order[later].text = order[later].typed;
            EXPECT_EQ(EncodeRefused(both), order[first].message);
        }
    }
}

// ---------------------------------------------------------------- skip

TEST(ScriptStepSkip, TickedExactlyWhenTheWaitIsZero)
{
    struct Case
    {
        uint8_t high, low;
        const char* shown;
        bool skip;
    };
    const Case cases[] = {
        {0x00, 0x00, "00:00:00", true},
        {0x00, 0x01, "00:00:01", false},
        {0x01, 0x00, "00:04:16", false},
        {0xFF, 0xFF, "Never", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.shown);
        ScriptStep step = EncodeAccepted(ValidView());
        step[StepField::GlobalWaitTime] = c.high;
        step[StepField::GlobalWaitTime + 1] = c.low;
        const ScriptStepView view = DecodeStep(step);
        EXPECT_EQ(view.globalWaitTime, c.shown);
        EXPECT_EQ(view.skipThisStep, c.skip);
    }
}

TEST(ScriptStepSkip, ASkippedStepStoresNoWaitWhateverWasTyped)
{
    for (const char* typed : {"garbage", "", "Never", "18:00:00", "00:05:00"})
    {
        SCOPED_TRACE(typed);
        ScriptStepView view = ValidView();
        view.skipThisStep = true;
        view.globalWaitTime = typed;
        ScriptBlock block = PatternBlock();
        ASSERT_TRUE(EncodeScriptStep(view, block, 0).Ok());
        const ScriptStep step = StepAt(block, 0);
        EXPECT_EQ(WordAt(step, StepField::GlobalWaitTime), 0);
        EXPECT_EQ(view.globalWaitTime, "00:00:00"); // the panel shows what was stored
        EXPECT_TRUE(DecodeStep(step).skipThisStep);
    }
}

TEST(ScriptStepSkip, ASkippedStepStillChecksItsOtherFields)
{
    ScriptStepView view = ValidView();
    view.skipThisStep = true;
    view.globalWaitTime = "garbage";
    view.voltage = "30";
    ScriptBlock block = PatternBlock();
    EXPECT_EQ(EncodeScriptStep(view, block, 0).message, "Wrong voltage!");
    EXPECT_EQ(view.globalWaitTime, "garbage"); // the encoding stopped before it reached the wait

    view.voltage = "12";
    view.vPwsT2Time = "1e999";
    EXPECT_EQ(EncodeRefused(view), "Wrong timer: VPwsT2!");
}

// ---------------------------------------------------------------- times

TEST(ScriptStepTimes, TypedDurations)
{
    struct Case
    {
        const char* typed;
        bool accepted;
        uint16_t stored;
    };
    const Case cases[] = {
        {"Never", true, 0xFFFF},
        {"never", true, 0xFFFF},
        {"NEVER", true, 0xFFFF},
        {" Never", false, 0},
        {"Never ", false, 0},
        {"17:59:59", true, 64799},
        {"01:00:00", true, 3600},
        {"00:00:01", true, 1},
        {"18:00:00", false, 0},
        {"00:60:00", false, 0},
        {"00:00:60", false, 0},
        {"-1:00:00", false, 0},
        {"1:00:00", false, 0},  // seven characters
        {"00-00-00", false, 0},
        {"00:00:005", false, 0},
        {"0a:00:02", true, 2},  // a field ends at its first non-digit
        {"ab:cd:05", true, 5},  // no digits read as 0
    };
    for (const TextField& field : DurationFields)
        for (const Case& c : cases)
        {
            SCOPED_TRACE(std::string(field.name) + " " + c.typed);
            ScriptStepView view = ValidView();
            view.*field.text = c.typed;
            if (!c.accepted)
            {
                EXPECT_EQ(EncodeRefused(view), field.refusal);
                continue;
            }
            const ScriptStep step = EncodeAccepted(view);
            EXPECT_EQ(WordAt(step, field.offset), c.stored);
        }
}

TEST(ScriptStepTimes, ATimerOfZeroIsAcceptedButAWaitOfZeroIsNot)
{
    for (const char* zero : {"00:00:00", "0a:00:00"})
    {
        SCOPED_TRACE(zero);
        for (const TextField& field : DurationFields)
        {
            SCOPED_TRACE(field.name);
            ScriptStepView view = ValidView();
            view.*field.text = zero;
            if (field.offset == StepField::GlobalWaitTime)
            {
                EXPECT_EQ(EncodeRefused(view), "Global Wait Time cannot be 0!");
                continue;
            }
            EXPECT_EQ(WordAt(EncodeAccepted(view), field.offset), 0);
        }
    }
}

TEST(ScriptStepTimes, StoredDurationsBeyondTheTypableRangeShowButAreRefusedUnchanged)
{
    struct Case
    {
        uint16_t stored;
        const char* shown;
    };
    const Case cases[] = {{64800, "18:00:00"}, {65000, "18:03:20"}, {65534, "18:12:14"}};
    for (const TextField& field : DurationFields)
        for (const Case& c : cases)
        {
            SCOPED_TRACE(std::string(field.name) + " " + c.shown);
            ScriptStep step = EncodeAccepted(ValidView());
            step[static_cast<size_t>(field.offset)] = static_cast<uint8_t>(c.stored >> 8);
            step[static_cast<size_t>(field.offset) + 1] = static_cast<uint8_t>(c.stored & 0xFF);
            const ScriptStepView view = DecodeStep(step);
            EXPECT_EQ(view.*field.text, c.shown);
            EXPECT_EQ(EncodeRefused(view), field.refusal);
        }
}

TEST(ScriptStepTimes, EveryTypableDurationSurvivesDecodeAndEncode)
{
    ScriptStep step = EncodeAccepted(ValidView());
    for (uint32_t seconds = 1; seconds <= 64799; ++seconds)
    {
        step[StepField::GlobalWaitTime] = static_cast<uint8_t>(seconds >> 8);
        step[StepField::GlobalWaitTime + 1] = static_cast<uint8_t>(seconds & 0xFF);
        ScriptStepView view = DecodeStep(step);
        ScriptBlock block{};
        const ScriptEncodeResult result = EncodeScriptStep(view, block, 0);
        if (!result.Ok() || StepAt(block, 0) != step)
        {
            ADD_FAILURE() << seconds << " seconds shown as " << view.globalWaitTime << ": " << result.message;
            return;
        }
    }
}

TEST(ScriptStepTimes, PowerSwitchTimesCountTensOfMilliseconds)
{
    struct Case
    {
        const char* typed;
        uint16_t stored;
        const char* shownAfter;
    };
    const Case cases[] = {
        {"15", 2, "20"}, // halves round up
        {"14", 1, "10"},
        {"-5", 0, "0"},
        {"abc", 0, "0"},
        {"3000", 300, "3000"},
        {"12.5ms", 1, "10"},
        {"655340", 65534, "655340"},
        {"655344", 65534, "655340"},
        {"655345", 65535, "Never"}, // rounds onto the "Never" pattern
        {"655350", 65535, "Never"},
        {"99999999", 65535, "Never"},
        {"Never", 65535, "Never"},
        {"nEvEr", 65535, "Never"},
    };
    for (const TextField& field : PwsFields)
        for (const Case& c : cases)
        {
            SCOPED_TRACE(std::string(field.name) + " " + c.typed);
            ScriptStepView view = ValidView();
            view.*field.text = c.typed;
            const ScriptStep step = EncodeAccepted(view);
            EXPECT_EQ(WordAt(step, field.offset), c.stored);
            EXPECT_EQ(DecodeStep(step).*field.text, c.shownAfter);
        }
}

// ---------------------------------------------------------------- voltage

TEST(ScriptStepVoltage, TypedVoltages)
{
    struct Case
    {
        const char* typed;
        bool accepted;
        uint8_t code;
    };
    const Case cases[] = {
        {"25.53", true, 1},
        {"25.54", false, 0},
        {"5", true, 203},
        {"4.99", false, 0},
        {"12.5V", true, 47}, // 12.52 V, the lowest step at or above
        {"12.0abc", true, 51},
        {"", false, 0},
        {"volts", false, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.typed);
        ScriptStepView view = ValidView();
        view.voltage = c.typed;
        if (!c.accepted)
        {
            EXPECT_EQ(EncodeRefused(view), "Wrong voltage!");
            continue;
        }
        EXPECT_EQ(EncodeAccepted(view)[StepField::VOutCode], c.code);
    }
}

TEST(ScriptStepVoltage, CodesOutsideTheTypableRangeShowButAreRefused)
{
    struct Case
    {
        uint8_t code;
        const char* shown;
    };
    const Case cases[] = {{0, "26.14"}, {204, "4.99"}, {230, nullptr}, {255, "4.27"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.code));
        ScriptStep step = EncodeAccepted(ValidView());
        step[StepField::VOutCode] = c.code;
        const ScriptStepView view = DecodeStep(step);
        if (c.shown != nullptr)
        {
            EXPECT_EQ(view.voltage, c.shown);
        }
        EXPECT_EQ(EncodeRefused(view), "Wrong voltage!");
    }
}

TEST(ScriptStepVoltage, EveryTypableCodeSurvivesDecodeAndEncode)
{
    ScriptStep step = EncodeAccepted(ValidView());
    for (int code = 1; code <= 203; ++code)
    {
        SCOPED_TRACE(code);
        step[StepField::VOutCode] = static_cast<uint8_t>(code);
        EXPECT_EQ(EncodeAccepted(DecodeStep(step))[StepField::VOutCode], code);
    }
}
