// The multiviewer's command set, as the session sends it.
#include "multiviewer/core/multiviewer_session.h"

#include "link/text_codec.h"
#include "multiviewer/core/input_name_frame.h"
#include "multiviewer/core/multiviewer_opcodes.h"

#include <array>

namespace brenvik {

namespace {

using F = MultiviewerField;
using S = MultiviewerState;

bool IsNumber1To16(int value) {
    return value >= 1 && value <= kWindowCount;
}

bool IsAllOr1To16(int value) {
    return value >= 0 && value <= kWindowCount;
}

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

} // namespace

bool MultiviewerSession::SendFrame(const Frame& frame) {
    return m_link.Send(m_devices.Selected(), frame);
}

bool MultiviewerSession::Send(std::uint8_t opcode, std::span<const std::uint8_t> payload) {
    // Without a selected unit the LAN refuses to send; the serial link decides for itself.
    const DeviceEntry unit = m_devices.Selected().value_or(DeviceEntry{});
    return SendFrame(BuildFrame(unit.typeCode, unit.unitAddress, m_link.LinkByte(), opcode, payload));
}

bool MultiviewerSession::SendFlag(std::uint8_t opcode, std::uint8_t MultiviewerState::*flag,
                                  MultiviewerField field, std::uint8_t on) {
    if (m_locked) {
        return false;
    }
    m_state.*flag = on;
    Changed({field});
    const std::array<std::uint8_t, 1> payload{on};
    return Send(opcode, payload);
}

bool MultiviewerSession::SendColour(std::uint8_t opcode, PerWindow<std::uint8_t> MultiviewerState::*colours,
                                    MultiviewerField field, int target, std::uint8_t colour) {
    if (m_locked || !IsAllOr1To16(target)) {
        return false;
    }
    // Target 0 is "all": the unit gives every input or window the colour, and so does the record.
    if (target == 0) {
        (m_state.*colours).values.fill(colour);
    } else {
        (m_state.*colours).At(target) = colour;
    }
    Changed({field, target});
    const std::array<std::uint8_t, 2> payload{Byte(target), colour};
    return Send(opcode, payload);
}

bool MultiviewerSession::SendSource(PerWindow<std::uint8_t> MultiviewerState::*targets, MultiviewerField field,
                                    int target, int input) {
    if (m_locked || !IsNumber1To16(target) || !IsNumber1To16(input)) {
        return false;
    }
    (m_state.*targets).At(target) = Byte(input);
    Changed({field, target});
    const std::array<std::uint8_t, 2> payload{Byte(input), Byte(target)};
    return Send(mv_opcode::kSetSource, payload);
}

bool MultiviewerSession::SetLayoutCode(std::uint8_t code) {
    return SendFlag(mv_opcode::kSetLayoutCode, &S::layoutCode, F::LayoutCode, code);
}

bool MultiviewerSession::SetWindowSource(int window, int input) {
    return SendSource(&S::windowSource, F::WindowSource, window, input);
}

bool MultiviewerSession::SetLoopRoute(int output, int input) {
    return SendSource(&S::loopRoute, F::LoopRoute, output, input);
}

bool MultiviewerSession::RouteOneToOne() {
    if (m_locked) {
        return false;
    }
    for (int n = 1; n <= kWindowCount; ++n) {
        m_state.loopRoute.At(n) = Byte(n);
    }
    Changed({F::LoopRoute});
    return Send(mv_opcode::kRouteOneToOne, {});
}

bool MultiviewerSession::SetSwitcherMode(std::uint8_t switcherMode) {
    return SendFlag(mv_opcode::kSetSwitcherMode, &S::switcherMode, F::SwitcherMode, switcherMode);
}

bool MultiviewerSession::SetUmd(int window, std::uint8_t on) {
    if (window == 0) {
        return SendFlag(mv_opcode::kSetUmdAll, &S::umdAllOn, F::UmdAllOn, on);
    }
    if (m_locked || !IsNumber1To16(window)) {
        return false;
    }
    m_state.umdOn.At(window) = on;
    Changed({F::UmdOn, window});
    const std::array<std::uint8_t, 2> payload{Byte(window), on};
    return Send(mv_opcode::kSetUmd, payload);
}

bool MultiviewerSession::SetInputName(int input, const std::u16string& name) {
    if (m_locked || !IsNumber1To16(input)) {
        return false;
    }
    m_state.inputNames.At(input) = name;
    Changed({F::InputName, input});
    const DeviceEntry unit = m_devices.Selected().value_or(DeviceEntry{});
    return SendFrame(
        BuildInputNameFrame(unit.typeCode, unit.unitAddress, m_link.LinkByte(), Byte(input), ToUtf16le(name)));
}

bool MultiviewerSession::SetUmdTextColor(int input, std::uint8_t colour) {
    return SendColour(mv_opcode::kSetUmdTextColor, &S::umdTextColor, F::UmdTextColor, input, colour);
}

bool MultiviewerSession::SetUmdBackColor(int input, std::uint8_t colour) {
    return SendColour(mv_opcode::kSetUmdBackColor, &S::umdBackColor, F::UmdBackColor, input, colour);
}

bool MultiviewerSession::SetFormatTextColor(int window, std::uint8_t colour) {
    return SendColour(mv_opcode::kSetFormatTextColor, &S::formatTextColor, F::FormatTextColor, window, colour);
}

bool MultiviewerSession::SetFormatBackColor(int window, std::uint8_t colour) {
    return SendColour(mv_opcode::kSetFormatBackColor, &S::formatBackColor, F::FormatBackColor, window, colour);
}

bool MultiviewerSession::SetTimecodeTextColor(int window, std::uint8_t colour) {
    return SendColour(mv_opcode::kSetTimecodeTextColor, &S::timecodeTextColor, F::TimecodeTextColor, window,
                      colour);
}

bool MultiviewerSession::SetTimecodeBackColor(int window, std::uint8_t colour) {
    return SendColour(mv_opcode::kSetTimecodeBackColor, &S::timecodeBackColor, F::TimecodeBackColor, window,
                      colour);
}

bool MultiviewerSession::SetBorder(std::uint8_t on) {
    return SendFlag(mv_opcode::kSetBorder, &S::borderOn, F::Border, on);
}

bool MultiviewerSession::SetFormatStatus(std::uint8_t on) {
    return SendFlag(mv_opcode::kSetFormatStatus, &S::formatStatusOn, F::FormatStatus, on);
}

bool MultiviewerSession::SetTimecode(std::uint8_t on) {
    return SendFlag(mv_opcode::kSetTimecode, &S::timecodeOn, F::Timecode, on);
}

bool MultiviewerSession::SetAudioAlarm(std::uint8_t on) {
    return SendFlag(mv_opcode::kSetAudioAlarm, &S::audioAlarmOn, F::AudioAlarm, on);
}

bool MultiviewerSession::SetAudioSource(std::uint8_t source) {
    return SendFlag(mv_opcode::kSetAudioSource, &S::audioSource, F::AudioSource, source);
}

bool MultiviewerSession::SetOutputFormat(std::uint8_t code) {
    if (m_locked) {
        return false;
    }
    m_state.outputFormat = code;
    Changed({F::OutputFormat});
    const std::array<std::uint8_t, 2> payload{0, code};
    return Send(mv_opcode::kSetOutputFormat, payload);
}

bool MultiviewerSession::SetMeter(int window, std::uint8_t on) {
    if (window == 0) {
        return SendFlag(mv_opcode::kSetMeterAll, &S::meterAllOn, F::MeterAllOn, on);
    }
    if (m_locked || !IsNumber1To16(window)) {
        return false;
    }
    m_state.meterOn.At(window) = on;
    Changed({F::MeterOn, window});
    const std::array<std::uint8_t, 2> payload{Byte(window), on};
    return Send(mv_opcode::kSetMeter, payload);
}

bool MultiviewerSession::SetMeterChannel(int window, std::uint8_t channelPair) {
    if (m_locked || !IsNumber1To16(window)) {
        return false;
    }
    m_state.meterChannel.At(window) = channelPair;
    Changed({F::MeterChannel, window});
    const std::array<std::uint8_t, 2> payload{Byte(window), channelPair};
    return Send(mv_opcode::kSetMeterChannel, payload);
}

bool MultiviewerSession::SetCustomName(const std::u16string& name) {
    if (m_locked) {
        return false;
    }
    m_state.customName = name;
    Changed({F::CustomName});
    const DeviceEntry unit = m_devices.Selected().value_or(DeviceEntry{});
    return SendFrame(BuildCustomNameFrame(unit.typeCode, unit.unitAddress, m_link.LinkByte(), ToUtf16le(name)));
}

bool MultiviewerSession::SaveCustom(std::uint8_t slot) {
    if (m_locked) {
        return false;
    }
    const std::array<std::uint8_t, 1> payload{slot};
    return Send(mv_opcode::kSaveCustom, payload);
}

bool MultiviewerSession::LoadDefault(std::stop_token cancel, std::function<void(RereadResult)> done) {
    if (m_locked) {
        if (done) {
            done(RereadResult::NotRead);
        }
        return false;
    }
    const std::array<std::uint8_t, 1> payload{0};
    const bool queued = Send(mv_opcode::kLoadDefault, payload);
    Reread(RereadCause::LoadDefault, std::move(cancel), std::move(done));
    return queued;
}

bool MultiviewerSession::LoadCustom(std::uint8_t slot, std::stop_token cancel,
                                    std::function<void(RereadResult)> done) {
    bool queued = false;
    if (!m_locked) {
        const std::array<std::uint8_t, 1> payload{slot};
        queued = Send(mv_opcode::kLoadCustom, payload);
    }
    Reread(RereadCause::LoadCustom, std::move(cancel), std::move(done));
    return queued;
}

} // namespace brenvik
