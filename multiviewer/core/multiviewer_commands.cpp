#include "multiviewer/core/multiviewer_commands.h"

#include "multiviewer/core/input_name_frame.h"
#include "multiviewer/core/multiviewer_opcodes.h"

#include "link/text_codec.h"
#include "multiviewer/core/page_type.h"
#include "multiviewer/core/preview_refresh.h"

#include <array>

namespace brenvik {

namespace {

// What a sender does once its frame has gone out.
enum class After : std::uint8_t {
    Nothing,
    Redraw,
    LayoutGeometry,
    UmdTextColours,
    UmdBackColours,
    FormatTextColours,
    FormatBackColours,
};

// What index 0 ("All Windows") changes in the record of an indexed command.
enum class AllRule : std::uint8_t {
    NotAllowed,  // the index is 1..16
    EveryEntry,  // all 16 entries
    FirstWindow, // the entry of window 1 alone (the time code colours)
};

using Flag = std::uint8_t MultiviewerState::*;
using Entries = PerWindow<std::uint8_t> MultiviewerState::*;

bool IsNumber1To16(int value) {
    return value >= 1 && value <= kWindowCount;
}

} // namespace

// One row of the command table: a set frame whose first value is either the value itself (one-value
// frames) or an index with the value after it (two-value frames).
namespace command_detail {
struct CommandRow {
    std::uint8_t opcode;
    Flag flag = nullptr;       // one-value frames: the field the sender stores the value in
    Entries entries = nullptr; // two-value frames: the per-window or per-input field
    AllRule all = AllRule::NotAllowed;
    After after = After::Nothing;
};
} // namespace command_detail

namespace {

using Row = command_detail::CommandRow;

constexpr Row kSetUmdAll{mv_opcode::kSetUmdAll, &MultiviewerState::umdAllOn, nullptr, AllRule::NotAllowed,
                         After::Redraw};
constexpr Row kSetBorder{mv_opcode::kSetBorder, &MultiviewerState::borderOn, nullptr, AllRule::NotAllowed,
                         After::Redraw};
constexpr Row kSetFormatStatus{mv_opcode::kSetFormatStatus, &MultiviewerState::formatStatusOn, nullptr,
                               AllRule::NotAllowed, After::Redraw};
constexpr Row kSetTimecode{mv_opcode::kSetTimecode, &MultiviewerState::timecodeOn, nullptr,
                           AllRule::NotAllowed, After::Nothing};
constexpr Row kSetAudioAlarm{mv_opcode::kSetAudioAlarm, &MultiviewerState::audioAlarmOn, nullptr,
                             AllRule::NotAllowed, After::Redraw};
constexpr Row kSetMeterAll{mv_opcode::kSetMeterAll, &MultiviewerState::meterAllOn, nullptr,
                           AllRule::NotAllowed, After::Redraw};
constexpr Row kSetAudioSource{mv_opcode::kSetAudioSource};
constexpr Row kSetSwitcherMode{mv_opcode::kSetSwitcherMode};
constexpr Row kSetLayoutCode{mv_opcode::kSetLayoutCode, nullptr, nullptr, AllRule::NotAllowed,
                             After::LayoutGeometry};
constexpr Row kLoadDefault{mv_opcode::kLoadDefault};
constexpr Row kSaveCustom{mv_opcode::kSaveCustom};
constexpr Row kLoadCustom{mv_opcode::kLoadCustom};

constexpr Row kSetOutputFormat{mv_opcode::kSetOutputFormat};
constexpr Row kSetUmd{mv_opcode::kSetUmd, nullptr, &MultiviewerState::umdOn, AllRule::NotAllowed,
                      After::Redraw};
constexpr Row kSetUmdTextColor{mv_opcode::kSetUmdTextColor, nullptr, &MultiviewerState::umdTextColor,
                               AllRule::EveryEntry, After::UmdTextColours};
constexpr Row kSetUmdBackColor{mv_opcode::kSetUmdBackColor, nullptr, &MultiviewerState::umdBackColor,
                               AllRule::EveryEntry, After::UmdBackColours};
constexpr Row kSetFormatTextColor{mv_opcode::kSetFormatTextColor, nullptr, &MultiviewerState::formatTextColor,
                                  AllRule::EveryEntry, After::FormatTextColours};
constexpr Row kSetFormatBackColor{mv_opcode::kSetFormatBackColor, nullptr, &MultiviewerState::formatBackColor,
                                  AllRule::EveryEntry, After::FormatBackColours};
constexpr Row kSetTimecodeTextColor{mv_opcode::kSetTimecodeTextColor, nullptr,
                                    &MultiviewerState::timecodeTextColor, AllRule::FirstWindow,
                                    After::Nothing};
constexpr Row kSetTimecodeBackColor{mv_opcode::kSetTimecodeBackColor, nullptr,
                                    &MultiviewerState::timecodeBackColor, AllRule::FirstWindow,
                                    After::Nothing};
constexpr Row kSetMeter{mv_opcode::kSetMeter, nullptr, &MultiviewerState::meterOn, AllRule::NotAllowed,
                        After::Redraw};
constexpr Row kSetMeterChannel{mv_opcode::kSetMeterChannel, nullptr, &MultiviewerState::meterChannel,
                               AllRule::NotAllowed, After::Redraw};
constexpr Row kSetSource{mv_opcode::kSetSource};
constexpr Row kRedrawOnly{mv_opcode::kRouteOneToOne, nullptr, nullptr, AllRule::NotAllowed, After::Redraw};
constexpr Row kSetInputName{mv_opcode::kSetInputName, nullptr, nullptr, AllRule::NotAllowed, After::Redraw};

} // namespace

Frame MultiviewerCommands::BuildFor(const std::optional<DeviceEntry>& unit, std::uint8_t opcode,
                                    std::span<const std::uint8_t> payload) const {
    // Without a selected unit the LAN refuses to open a socket; the serial link decides for itself.
    const std::uint8_t typeCode = unit ? unit->typeCode : 0;
    const std::uint8_t unitAddress = unit ? unit->unitAddress : 0;
    return BuildFrame(typeCode, unitAddress, m_link.LinkByte(), opcode, payload);
}

bool MultiviewerCommands::SendAndFinish(const std::optional<DeviceEntry>& unit, const Frame& frame,
                                        const Row& row) {
    const bool queued = m_link.Send(unit, frame);
    switch (row.after) {
    case After::Nothing:
        break;
    case After::Redraw:
        m_view.RedrawPreview();
        break;
    case After::LayoutGeometry:
        RecomputeLayoutGeometry(m_state, m_view);
        break;
    case After::UmdTextColours:
        RefreshUmdTextColors(m_state, m_view);
        break;
    case After::UmdBackColours:
        RefreshUmdBackColors(m_state, m_view);
        break;
    case After::FormatTextColours:
        RefreshFormatTextColors(m_state, m_view);
        break;
    case After::FormatBackColours:
        RefreshFormatBackColors(m_state, m_view);
        break;
    }
    return queued;
}

bool MultiviewerCommands::SendValue(const Row& row, std::uint8_t value) {
    if (m_locked) {
        return false;
    }
    const auto unit = Unit();
    const std::array<std::uint8_t, 1> payload{value};
    const Frame frame = BuildFor(unit, row.opcode, payload);
    if (row.flag != nullptr) {
        m_state.*row.flag = value;
    }
    return SendAndFinish(unit, frame, row);
}

bool MultiviewerCommands::SendIndexed(const Row& row, int index, std::uint8_t value) {
    if (m_locked) {
        return false;
    }
    const bool all = index == 0 && row.all != AllRule::NotAllowed;
    if (!all && !IsNumber1To16(index)) {
        return false;
    }
    const auto unit = Unit();
    const std::array<std::uint8_t, 2> payload{static_cast<std::uint8_t>(index), value};
    const Frame frame = BuildFor(unit, row.opcode, payload);
    if (row.entries != nullptr) {
        auto& entries = m_state.*row.entries;
        if (!all) {
            entries.At(index) = value;
        } else if (row.all == AllRule::EveryEntry) {
            entries.values.fill(value);
        } else {
            entries.At(1) = value;
        }
    }
    return SendAndFinish(unit, frame, row);
}

bool MultiviewerCommands::LoadDefault() {
    return SendValue(kLoadDefault, 0);
}

bool MultiviewerCommands::SetOutputFormat(std::uint8_t code) {
    if (m_locked) {
        return false;
    }
    const auto unit = Unit();
    const std::array<std::uint8_t, 2> payload{0, code};
    return SendAndFinish(unit, BuildFor(unit, kSetOutputFormat.opcode, payload), kSetOutputFormat);
}

bool MultiviewerCommands::SetInputName(int input) {
    if (m_locked || !IsNumber1To16(input)) {
        return false;
    }
    const auto unit = Unit();
    const std::vector<std::uint8_t> name = ToUtf16le(m_state.inputNames.At(input));
    const Frame frame = BuildInputNameFrame(unit ? unit->typeCode : 0, unit ? unit->unitAddress : 0,
                                            m_link.LinkByte(), static_cast<std::uint8_t>(input), name);
    return SendAndFinish(unit, frame, kSetInputName);
}

bool MultiviewerCommands::SetLayoutCode(std::uint8_t code) {
    return SendValue(kSetLayoutCode, code);
}

bool MultiviewerCommands::SetSource(int windowOrOutput, int input) {
    if (m_locked || !IsNumber1To16(windowOrOutput) || !IsNumber1To16(input)) {
        return false;
    }
    const auto unit = Unit();
    const std::array<std::uint8_t, 2> payload{static_cast<std::uint8_t>(input),
                                              static_cast<std::uint8_t>(windowOrOutput)};
    const Frame frame = BuildFor(unit, kSetSource.opcode, payload);
    // On the LAYOUT page the page stores windowSource itself; on the other pages nothing changes.
    if (m_state.pageType == kPageSwitcher) {
        m_state.loopRoute.At(windowOrOutput) = static_cast<std::uint8_t>(input);
        m_state.switcherCells.at(static_cast<std::size_t>(windowOrOutput - 1)).number = input;
    }
    const bool redraw = m_state.pageType == kPageLayout || m_state.pageType == kPageSwitcher;
    return SendAndFinish(unit, frame, redraw ? kRedrawOnly : kSetSource);
}

bool MultiviewerCommands::SetUmd(int window, std::uint8_t on) {
    return window == 0 ? SendValue(kSetUmdAll, on) : SendIndexed(kSetUmd, window, on);
}

bool MultiviewerCommands::SetUmdTextColor(int input, std::uint8_t colour) {
    return SendIndexed(kSetUmdTextColor, input, colour);
}

bool MultiviewerCommands::SetUmdBackColor(int input, std::uint8_t colour) {
    return SendIndexed(kSetUmdBackColor, input, colour);
}

bool MultiviewerCommands::SetFormatTextColor(int window, std::uint8_t colour) {
    return SendIndexed(kSetFormatTextColor, window, colour);
}

bool MultiviewerCommands::SetFormatBackColor(int window, std::uint8_t colour) {
    return SendIndexed(kSetFormatBackColor, window, colour);
}

bool MultiviewerCommands::SetTimecodeTextColor(int window, std::uint8_t colour) {
    return SendIndexed(kSetTimecodeTextColor, window, colour);
}

bool MultiviewerCommands::SetTimecodeBackColor(int window, std::uint8_t colour) {
    return SendIndexed(kSetTimecodeBackColor, window, colour);
}

bool MultiviewerCommands::SetBorder(std::uint8_t on) {
    return SendValue(kSetBorder, on);
}
bool MultiviewerCommands::SetFormatStatus(std::uint8_t on) {
    return SendValue(kSetFormatStatus, on);
}
bool MultiviewerCommands::SetTimecode(std::uint8_t on) {
    return SendValue(kSetTimecode, on);
}
bool MultiviewerCommands::SetAudioAlarm(std::uint8_t on) {
    return SendValue(kSetAudioAlarm, on);
}
bool MultiviewerCommands::SetAudioSource(std::uint8_t source) {
    return SendValue(kSetAudioSource, source);
}

bool MultiviewerCommands::SetMeter(int windowIndex, std::uint8_t on) {
    return windowIndex == kAllMetersIndex ? SendValue(kSetMeterAll, on)
                                          : SendIndexed(kSetMeter, windowIndex + 1, on);
}

bool MultiviewerCommands::SetMeterChannel(int windowIndex, std::uint8_t channelPair) {
    return SendIndexed(kSetMeterChannel, windowIndex + 1, channelPair);
}

bool MultiviewerCommands::SendCustomMemory(std::uint8_t opcode, std::uint8_t slot) {
    if (opcode == mv_opcode::kSaveCustom) {
        return SendValue(kSaveCustom, slot);
    }
    if (opcode == mv_opcode::kLoadCustom) {
        return SendValue(kLoadCustom, slot);
    }
    return false;
}

bool MultiviewerCommands::RouteOneToOne() {
    if (m_locked) {
        return false;
    }
    const auto unit = Unit();
    const Frame frame = BuildFor(unit, mv_opcode::kRouteOneToOne, {});
    for (int n = 1; n <= kWindowCount; ++n) {
        m_state.loopRoute.At(n) = static_cast<std::uint8_t>(n);
    }
    RecomputeSwitcherCells(m_state);
    return SendAndFinish(unit, frame, kRedrawOnly);
}

bool MultiviewerCommands::SetSwitcherMode(std::uint8_t switcherMode) {
    return SendValue(kSetSwitcherMode, switcherMode);
}

} // namespace brenvik
