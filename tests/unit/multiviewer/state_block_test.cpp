#include "link/frame.h"
#include "multiviewer/core/multiviewer_tables.h"
#include "multiviewer/core/preview_refresh.h"
#include "multiviewer/core/state_block.h"

#include <gtest/gtest.h>

#include <functional>

namespace brenvik {
namespace {

constexpr std::size_t kLabel1 = 36;
constexpr std::size_t kWindow1 = 68;
constexpr std::size_t kName1 = 196;
constexpr std::size_t kCustomLength = 756;

// UTF-16LE "A", "B", ... as a name record's text bytes.
void PutLetters(StateBlock& block, std::size_t at, std::size_t bytes) {
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        block[at + i] = static_cast<std::uint8_t>('A' + i / 2);
    }
}

struct DecodeCase {
    const char* name;
    std::function<void(StateBlock&)> fill;
    std::function<void(const MultiviewerState& decoded, const std::optional<std::u16string>& name)> expect;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class DecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, DecodesTheBlock) {
    StateBlock block{};
    GetParam().fill(block);
    MultiviewerState state = MultiviewerState::Defaults();
    state.customName = u"Before";
    const auto name = DecodeStateBlock(block, state);
    GetParam().expect(state, name);
}

const DecodeCase kDecodeCases[] = {
    {"FlagsC1", [](StateBlock& b) { b[3] = 0xC1; },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.umdAllOn, 1);
         EXPECT_EQ(s.networkDhcp, 1);
         EXPECT_EQ(s.switcherMode, 1);
         EXPECT_EQ(s.formatStatusOn + s.timecodeOn + s.audioAlarmOn + s.borderOn, 0);
     }},
    {"Flags1E", [](StateBlock& b) { b[3] = 0x1E; },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.formatStatusOn + s.timecodeOn + s.audioAlarmOn + s.borderOn, 4);
         EXPECT_EQ(s.umdAllOn + s.networkDhcp + s.switcherMode, 0);
     }},
    {"LayoutFormatAudio",
     [](StateBlock& b) {
         b[0] = 92;
         b[1] = 0xF7;
         b[2] = 0x85;
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.layoutCode, 92);
         EXPECT_EQ(s.outputFormat, 7);
         EXPECT_EQ(s.audioSource, 5);
         EXPECT_EQ(s.meterAllOn, 1);
     }},
    {"SourcesAndLoopRoutes",
     [](StateBlock& b) {
         b[4] = 16;
         b[19] = 3;
         b[20] = 9;
         b[35] = 1;
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.windowSource.At(1), 16);
         EXPECT_EQ(s.windowSource.At(16), 3);
         EXPECT_EQ(s.loopRoute.At(1), 9);
         EXPECT_EQ(s.loopRoute.At(16), 1);
     }},
    {"LabelRecord1F0E",
     [](StateBlock& b) {
         b[kLabel1 + 2 * 15] = 0x1F;
         b[kLabel1 + 2 * 15 + 1] = 0x0E;
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.umdOn.At(16), 1);
         EXPECT_EQ(s.umdTextColor.At(16), 15);
         EXPECT_EQ(s.umdBackColor.At(16), 14);
         EXPECT_EQ(s.umdOn.At(15), 0);
     }},
    {"WindowRecord",
     [](StateBlock& b) {
         const std::size_t w3 = kWindow1 + 8 * 2;
         b[w3 + 0] = 0x0B; // meter on, channel pair 5
         b[w3 + 2] = 0x1E; // format text 15, bit 0 ignored
         b[w3 + 3] = 0xEE; // format back 14, bits 5-7 ignored
         b[w3 + 4] = 0x05; // time code text 2
         b[w3 + 5] = 0x09; // time code back 9
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.meterOn.At(3), 1);
         EXPECT_EQ(s.meterChannel.At(3), 5);
         EXPECT_EQ(s.formatTextColor.At(3), 15);
         EXPECT_EQ(s.formatBackColor.At(3), 14);
         EXPECT_EQ(s.timecodeTextColor.At(3), 2);
         EXPECT_EQ(s.timecodeBackColor.At(3), 9);
     }},
    {"SignalByte5F", [](StateBlock& b) { b[kWindow1 + 1] = 0x5F; },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.signalPresent.At(1), 1);
         EXPECT_EQ(s.signalFormat.At(1), 31);
     }},
    {"SignalByte1F", [](StateBlock& b) { b[kWindow1 + 1] = 0x1F; },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.signalPresent.At(1), 0);
         EXPECT_EQ(s.signalFormat.At(1), 31);
     }},
    {"NameLength0",
     [](StateBlock& b) {
         b[kName1] = 0;
         PutLetters(b, kName1 + 1, 34);
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.inputNames.At(1), u"");
     }},
    {"NameLength32",
     [](StateBlock& b) {
         b[kName1 + 35] = 32;
         PutLetters(b, kName1 + 35 + 1, 34);
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.inputNames.At(2), u"ABCDEFGHIJKLMNOP");
     }},
    {"NameLength34IsClampedTo32",
     [](StateBlock& b) {
         b[kName1 + 35 * 15] = 34;
         PutLetters(b, kName1 + 35 * 15 + 1, 34);
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.inputNames.At(16), u"ABCDEFGHIJKLMNOP");
     }},
    {"NameLength255StaysInsideItsRecord",
     [](StateBlock& b) {
         b[kName1] = 255;
         PutLetters(b, kName1 + 1, 34);
         b[kName1 + 35] = 2;
         b[kName1 + 36] = 'Z';
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>&) {
         EXPECT_EQ(s.inputNames.At(1), u"ABCDEFGHIJKLMNOP");
         EXPECT_EQ(s.inputNames.At(2), u"Z");
     }},
    {"CustomNameLength0", [](StateBlock& b) { b[kCustomLength] = 0; },
     [](const MultiviewerState& s, const std::optional<std::u16string>& name) {
         EXPECT_EQ(s.customName, u"");
         EXPECT_EQ(name, std::nullopt);
     }},
    {"CustomNameLength10",
     [](StateBlock& b) {
         b[kCustomLength] = 10;
         PutLetters(b, kCustomLength + 1, 32);
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>& name) {
         EXPECT_EQ(s.customName, u"ABCDE");
         EXPECT_EQ(name, u"ABCDE");
     }},
    {"CustomNameLength33KeepsTheName",
     [](StateBlock& b) {
         b[kCustomLength] = 33;
         PutLetters(b, kCustomLength + 1, 32);
     },
     [](const MultiviewerState& s, const std::optional<std::u16string>& name) {
         EXPECT_EQ(s.customName, u"Before");
         EXPECT_EQ(name, std::nullopt);
     }},
};

INSTANTIATE_TEST_SUITE_P(StateBlock, DecodeTable, ::testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StateBlock, SignalBytesGiveTheirFormatTexts) {
    struct Case {
        std::uint8_t signalByte;
        std::u16string text;
    };
    // 0x41: present with code 1, which is no signal format: the text stays.
    const Case cases[] = {{0x5F, u"1080p60"}, {0x1F, u"No Signal"}, {0x41, u"1080p30"}, {0x53, u"1080i50"}};
    for (const Case& c : cases) {
        StateBlock block{};
        block[kWindow1 + 1] = c.signalByte;
        MultiviewerState state = MultiviewerState::Defaults();
        DecodeStateBlock(block, state);
        RefreshFormatTexts(state);
        EXPECT_EQ(state.formatTexts.At(1), c.text) << int(c.signalByte);
    }
}

TEST(StateBlock, DefaultsBeforeTheFirstRead) {
    const MultiviewerState state = MultiviewerState::Defaults();
    EXPECT_EQ(state.switcherMode, 1);
    EXPECT_EQ(state.networkDhcp, 1);
    EXPECT_EQ(state.inputNames.At(5), u"Umd_05");
    EXPECT_EQ(state.inputNames.At(16), u"Umd_16");
    for (const auto& text : state.formatTexts.values) {
        EXPECT_EQ(text, u"1080p30");
    }
    EXPECT_TRUE(state.customName.empty());
    MultiviewerState zero;
    zero.inputNames = state.inputNames;
    zero.formatTexts = state.formatTexts;
    EXPECT_EQ(state, zero) << "every other field starts at zero";
}

TEST(MultiviewerTables, LookUps) {
    EXPECT_EQ(ColourRgb(8), (Rgb{186, 183, 186}));
    EXPECT_EQ(ColourRgb(16), std::nullopt);
    EXPECT_EQ(kColourTable[15].name, "HalfTrans");
    EXPECT_EQ(OutputFormatListPosition(7), 0);
    EXPECT_EQ(OutputFormatListPosition(6), 8);
    EXPECT_EQ(OutputFormatListPosition(2), std::nullopt);
    EXPECT_EQ(SignalFormatText(31), "1080p60");
    EXPECT_EQ(SignalFormatText(7), "1080p24");
    EXPECT_EQ(SignalFormatText(1), std::nullopt);
}

// A whole-state frame from a serial search fills the raw block only; one too short changes nothing.
TEST(StoreStateFrame, CopiesOffsets18To806AndRefusesAShortFrame) {
    Frame frame(809, 0x00);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<std::uint8_t>(i * 3);
    }
    MultiviewerState state = MultiviewerState::Defaults();
    ASSERT_TRUE(StoreStateFrame(frame, state));
    EXPECT_TRUE(std::equal(state.stateBlock.begin(), state.stateBlock.end(), frame.begin() + 18));
    EXPECT_EQ(state.layoutCode, MultiviewerState::Defaults().layoutCode);

    const MultiviewerState before = state;
    EXPECT_FALSE(StoreStateFrame(std::span(frame).first(806), state));
    EXPECT_EQ(state, before);
}

} // namespace
} // namespace brenvik
