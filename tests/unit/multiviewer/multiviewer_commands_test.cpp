#include "link/console_link.h"
#include "link/text_codec.h"
#include "multiviewer/core/input_name_frame.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_commands.h"
#include "multiviewer/core/multiviewer_tables.h"
#include "multiviewer/core/page_type.h"
#include "support/loopback_ports.h"
#include "support/recording_console.h"
#include "support/recording_messages.h"
#include "unit/link/fake_serial_port.h"

#include <gtest/gtest.h>

#include <functional>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kUnitAddress = 0x01;
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

Frame Expected(std::uint8_t opcode, std::vector<std::uint8_t> payload, std::uint8_t linkByte = 1) {
    return BuildFrame(kTypeMultiviewer, kUnitAddress, linkByte, opcode, payload);
}

// The record as a page finds it after a state read: every window shows its own input.
MultiviewerState StartState() {
    MultiviewerState state = MultiviewerState::Defaults();
    for (int n = 1; n <= kWindowCount; ++n) {
        state.windowSource.At(n) = static_cast<std::uint8_t>(n);
        state.loopRoute.At(n) = static_cast<std::uint8_t>(17 - n);
        state.signalPresent.At(n) = 1;
        state.signalFormat.At(n) = 15; // "1080p30", what the format texts show already
    }
    state.layoutCode = 40;
    state.switcherCells = ComputeSwitcherCells(state.loopRoute);
    return state;
}

// The console's link on loopback ports of its own, with the selected unit at 127.0.0.2.
class CommandFixture : public ::testing::Test {
protected:
    CommandFixture() {
        DeviceEntry& unit = m_devices.At(0);
        unit.SetIp("127.0.0.2");
        unit.typeCode = kTypeMultiviewer;
        unit.unitAddress = kUnitAddress;
        m_devices.SetSelectedIndex(0);
        m_unitSocket.emplace(*UdpSocket::Create());
        EXPECT_TRUE(m_unitSocket->Bind(Ipv4Address{{127, 0, 0, 2}, m_endpoints.unitPort}));
    }

    std::optional<Frame> NextAtUnit() {
        if (!m_unitSocket->WaitReadable(2000ms)) {
            return std::nullopt;
        }
        Frame buffer(1500);
        const auto size = m_unitSocket->ReceiveFrom(buffer, nullptr);
        if (!size) {
            return std::nullopt;
        }
        buffer.resize(*size);
        return buffer;
    }

    // Nothing reached the unit before this marker command does.
    void ExpectNothingSentBeforeMarker() {
        const bool wasLocked = m_locked;
        m_locked = false;
        ASSERT_TRUE(m_commands.SetSwitcherMode(0x7F));
        m_locked = wasLocked;
        EXPECT_EQ(NextAtUnit(), Expected(0x62, {0x7F}));
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingMessages m_messages;
    ConsoleLink m_link{m_endpoints, m_messages};
    DeviceTable m_devices;
    MultiviewerState m_state = StartState();
    bool m_locked = false;
    test::RecordingView m_view;
    MultiviewerCommands m_commands{m_link, m_devices, m_state, m_locked, m_view};
    std::optional<UdpSocket> m_unitSocket;
};

struct CommandCase {
    const char* name;
    std::uint8_t pageType;
    std::function<bool(MultiviewerCommands&, MultiviewerState&)> send; // as the page calls it
    Frame frame;
    std::function<void(MultiviewerState&)> change; // what the record looks like afterwards
    int redraws;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

void NoChange(MultiviewerState&) {}

template <typename Each> void ForEachWindow(Each each) {
    for (int n = 1; n <= kWindowCount; ++n) {
        each(n);
    }
}

const CommandCase kCommandCases[] = {
    {"LoadDefault", kPageControls, [](auto& c, auto&) { return c.LoadDefault(); }, Expected(0x0B, {0}),
     NoChange, 0},
    {"SetOutputFormat", kPageControls, [](auto& c, auto&) { return c.SetOutputFormat(11); },
     Expected(0x19, {0, 11}), NoChange, 0},
    {"SetInputName", kPageUmdOverlay,
     [](auto& c, auto& s) {
         s.inputNames.At(3) = u"Cam \u00DF";
         return c.SetInputName(3);
     },
     BuildInputNameFrame(kTypeMultiviewer, kUnitAddress, 1, 3, ToUtf16le(u"Cam \u00DF")),
     [](MultiviewerState& s) { s.inputNames.At(3) = u"Cam \u00DF"; }, 1},
    {"SetLayoutCode", kPageLayout,
     [](auto& c, auto& s) {
         s.layoutCode = 90;
         return c.SetLayoutCode(90);
     },
     Expected(0x33, {90}),
     [](MultiviewerState& s) {
         s.layoutCode = 90;
         s.windowRects = ComputeLayoutGeometry(90);
     },
     1},
    {"SetSourceOnSwitcherPage", kPageSwitcher, [](auto& c, auto&) { return c.SetSource(4, 9); },
     Expected(0x34, {9, 4}),
     [](MultiviewerState& s) {
         s.loopRoute.At(4) = 9;
         s.switcherCells[3].number = 9;
     },
     1},
    {"SetSourceOnLayoutPage", kPageLayout, [](auto& c, auto&) { return c.SetSource(4, 9); },
     Expected(0x34, {9, 4}), NoChange, 1},
    {"SetSourceOnColourPage", kPageColors, [](auto& c, auto&) { return c.SetSource(4, 9); },
     Expected(0x34, {9, 4}), NoChange, 0},
    {"SetUmdWindow", kPageUmdOverlay, [](auto& c, auto&) { return c.SetUmd(5, 1); }, Expected(0x36, {5, 1}),
     [](MultiviewerState& s) { s.umdOn.At(5) = 1; }, 1},
    {"SetUmdAll", kPageUmdOverlay, [](auto& c, auto&) { return c.SetUmd(0, 1); }, Expected(0x5C, {1}),
     [](MultiviewerState& s) { s.umdAllOn = 1; }, 1},
    {"SetUmdTextColorAll", kPageColors, [](auto& c, auto&) { return c.SetUmdTextColor(0, 2); },
     Expected(0x3B, {0, 2}),
     [](MultiviewerState& s) {
         s.umdTextColor.values.fill(2);
         s.umdTextRgb.values.fill(kRed);
     },
     1},
    {"SetUmdTextColorOne", kPageColors, [](auto& c, auto&) { return c.SetUmdTextColor(3, 2); },
     Expected(0x3B, {3, 2}),
     [](MultiviewerState& s) {
         s.umdTextColor.At(3) = 2;
         s.umdTextRgb.At(3) = kRed;
     },
     1},
    {"SetUmdBackColorAll", kPageColors, [](auto& c, auto&) { return c.SetUmdBackColor(0, 1); },
     Expected(0x3C, {0, 1}),
     [](MultiviewerState& s) {
         s.umdBackColor.values.fill(1);
         s.umdBackRgb.values.fill(kBlue);
     },
     1},
    {"SetFormatTextColorOne", kPageColors, [](auto& c, auto&) { return c.SetFormatTextColor(16, 2); },
     Expected(0x3D, {16, 2}),
     [](MultiviewerState& s) {
         s.formatTextColor.At(16) = 2;
         s.formatTextRgb.At(16) = kRed;
     },
     1},
    {"SetFormatBackColorAll", kPageColors, [](auto& c, auto&) { return c.SetFormatBackColor(0, 1); },
     Expected(0x3E, {0, 1}),
     [](MultiviewerState& s) {
         s.formatBackColor.values.fill(1);
         s.formatBackRgb.values.fill(kBlue);
     },
     1},
    {"SetTimecodeTextColorAllChangesWindow1Only", kPageColors,
     [](auto& c, auto&) { return c.SetTimecodeTextColor(0, 5); }, Expected(0x54, {0, 5}),
     [](MultiviewerState& s) { s.timecodeTextColor.At(1) = 5; }, 0},
    {"SetTimecodeBackColorAllChangesWindow1Only", kPageColors,
     [](auto& c, auto&) { return c.SetTimecodeBackColor(0, 6); }, Expected(0x55, {0, 6}),
     [](MultiviewerState& s) { s.timecodeBackColor.At(1) = 6; }, 0},
    {"SetTimecodeBackColorOne", kPageColors, [](auto& c, auto&) { return c.SetTimecodeBackColor(7, 3); },
     Expected(0x55, {7, 3}), [](MultiviewerState& s) { s.timecodeBackColor.At(7) = 3; }, 0},
    {"SetBorder", kPageColors, [](auto& c, auto&) { return c.SetBorder(1); },
     Frame{0xA5, 0x6C, 0x15, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
           0x00, 0x00, 0x00, 0x00, 0x00, 0x3F, 0x01, 0x09, 0x02, 0xAE},
     [](MultiviewerState& s) { s.borderOn = 1; }, 1},
    {"SetFormatStatus", kPageControls, [](auto& c, auto&) { return c.SetFormatStatus(1); },
     Expected(0x5D, {1}), [](MultiviewerState& s) { s.formatStatusOn = 1; }, 1},
    {"SetTimecode", kPageControls, [](auto& c, auto&) { return c.SetTimecode(1); }, Expected(0x5E, {1}),
     [](MultiviewerState& s) { s.timecodeOn = 1; }, 0},
    {"SetAudioAlarm", kPageControls, [](auto& c, auto&) { return c.SetAudioAlarm(1); }, Expected(0x56, {1}),
     [](MultiviewerState& s) { s.audioAlarmOn = 1; }, 1},
    {"SetAudioSource", kPageAudio, [](auto& c, auto&) { return c.SetAudioSource(9); }, Expected(0x39, {9}),
     NoChange, 0},
    {"SetMeterWindowIndex3", kPageAudio, [](auto& c, auto&) { return c.SetMeter(3, 1); },
     Expected(0x37, {4, 1}), [](MultiviewerState& s) { s.meterOn.At(4) = 1; }, 1},
    {"SetMeterIndex64IsAllMeters", kPageAudio, [](auto& c, auto&) { return c.SetMeter(kAllMetersIndex, 1); },
     Expected(0x5B, {1}), [](MultiviewerState& s) { s.meterAllOn = 1; }, 1},
    {"SetMeterChannel", kPageAudio, [](auto& c, auto&) { return c.SetMeterChannel(15, 7); },
     Expected(0x52, {16, 7}), [](MultiviewerState& s) { s.meterChannel.At(16) = 7; }, 1},
    {"SaveCustom", kPageControls, [](auto& c, auto&) { return c.SendCustomMemory(mv_opcode::kSaveCustom, 1); },
     Expected(0x58, {1}), NoChange, 0},
    {"LoadCustom", kPageControls, [](auto& c, auto&) { return c.SendCustomMemory(mv_opcode::kLoadCustom, 2); },
     Expected(0x59, {2}), NoChange, 0},
    {"RouteOneToOne", kPageSwitcher, [](auto& c, auto&) { return c.RouteOneToOne(); }, Expected(0x5A, {}),
     [](MultiviewerState& s) {
         ForEachWindow([&](int n) { s.loopRoute.At(n) = static_cast<std::uint8_t>(n); });
         s.switcherCells = ComputeSwitcherCells(s.loopRoute);
     },
     1},
    {"SetSwitcherMode", kPageSwitcher, [](auto& c, auto&) { return c.SetSwitcherMode(1); },
     Expected(0x62, {1}), NoChange, 0},
};

class CommandTable : public CommandFixture, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTable, SendsItsFrameAndChangesTheRecord) {
    const CommandCase& c = GetParam();
    m_state.pageType = c.pageType;
    MultiviewerState expected = m_state;
    c.change(expected);
    EXPECT_TRUE(c.send(m_commands, m_state));
    EXPECT_EQ(NextAtUnit(), c.frame);
    EXPECT_EQ(m_state, expected);
    EXPECT_EQ(m_view.redraws, c.redraws);
    EXPECT_TRUE(m_messages.Errors().empty());
}

TEST_P(CommandTable, LockedConsoleSendsNothingAndChangesNothing) {
    const CommandCase& c = GetParam();
    m_state.pageType = c.pageType;
    m_locked = true;
    // A locked page stores nothing itself either.
    MultiviewerState pageStore = m_state;
    const MultiviewerState before = m_state;
    EXPECT_FALSE(c.send(m_commands, pageStore));
    EXPECT_EQ(m_state, before);
    EXPECT_EQ(m_view.redraws, 0);
    ExpectNothingSentBeforeMarker();
}

INSTANTIATE_TEST_SUITE_P(MultiviewerCommands, CommandTable, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandFixture, NumbersOutsideWhatACommandTakesSendNothing) {
    const std::function<bool()> refused[] = {
        [&] { return m_commands.SetUmd(17, 1); },
        [&] { return m_commands.SetUmd(-1, 1); },
        [&] { return m_commands.SetUmdTextColor(17, 1); },
        [&] { return m_commands.SetFormatBackColor(-1, 1); },
        [&] { return m_commands.SetTimecodeTextColor(17, 1); },
        [&] { return m_commands.SetMeter(16, 1); },
        [&] { return m_commands.SetMeter(-1, 1); },
        [&] { return m_commands.SetMeterChannel(16, 1); },
        [&] { return m_commands.SetSource(0, 1); },
        [&] { return m_commands.SetSource(1, 17); },
        [&] { return m_commands.SetInputName(0); },
        [&] { return m_commands.SetInputName(17); },
        [&] { return m_commands.SendCustomMemory(0x57, 1); },
    };
    m_state.pageType = kPageSwitcher;
    const MultiviewerState before = m_state;
    for (const auto& send : refused) {
        EXPECT_FALSE(send());
    }
    EXPECT_EQ(m_state, before);
    EXPECT_EQ(m_view.redraws, 0);
    ExpectNothingSentBeforeMarker();
}

// The change is made before sending and stays, and so does the step after sending: the preview
// always shows the record, whether the link took the frame or not.
TEST_F(CommandFixture, NothingSentKeepsTheChangeAndStillDoesTheStepAfterSending) {
    m_devices.SetSelectedIndex(-1);
    EXPECT_FALSE(m_commands.SetBorder(1));
    EXPECT_FALSE(m_commands.SetUmdBackColor(0, 2));
    EXPECT_EQ(m_state.borderOn, 1);
    EXPECT_EQ(m_state.umdBackColor.At(9), 2);
    EXPECT_EQ(m_state.umdBackRgb.At(9), kColourTable[2].rgb);
    EXPECT_EQ(m_view.redraws, 2);
    EXPECT_EQ(m_messages.Errors(),
              (std::vector<std::string>{"Please choose a device", "Please choose a device"}));
}

TEST_F(CommandFixture, SerialLinkCarriesLinkByteZero) {
    test::FakeSerialPort port;
    m_link.AttachSerialPort(&port);
    m_link.SetMode(LinkMode::Serial);
    EXPECT_TRUE(m_commands.SetBorder(1));
    ASSERT_TRUE(m_link.WaitUntilIdle(2000ms));
    EXPECT_EQ(port.Written(), Expected(0x3F, {1}, 0));
    m_link.AttachSerialPort(nullptr);
    ASSERT_TRUE(m_link.WaitUntilIdle(2000ms));
}

} // namespace
} // namespace brenvik
