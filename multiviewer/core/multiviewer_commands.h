#pragma once

#include "multiviewer/core/console_view.h"
#include "link/unit_link.h"
#include "link/device_table.h"
#include "multiviewer/core/multiviewer_state.h"

#include <cstdint>
#include <optional>
#include <span>

namespace brenvik {

namespace command_detail {
struct CommandRow;
}

// SetMeter's index that stands for all windows.
inline constexpr int kAllMetersIndex = 64;

// The multiviewer command set: one sender per command, all on the UI thread. Each sender returns
// at once while the console is locked (nothing sent, nothing changed); otherwise it builds its frame
// for the selected unit and the current link byte, makes its change to the record, queues the frame
// on the link and does its after-sending step (redraw, geometry, colour refresh) at once — also
// when the link refused the frame, so that the preview always shows the record. Returns true when
// the frame was queued. A window or input number outside the range the command takes is refused
// like a locked console: nothing is built, changed or sent.
class MultiviewerCommands {
public:
    MultiviewerCommands(UnitLink& link, const DeviceTable& devices, MultiviewerState& state,
                        const bool& consoleLocked, ConsoleView& view)
        : m_link(link), m_devices(devices), m_state(state), m_locked(consoleLocked), m_view(view) {}

    bool LoadDefault();
    bool SetOutputFormat(std::uint8_t code);
    // The name sent is inputNames[input], where the page has stored it.
    bool SetInputName(int input);
    bool SetLayoutCode(std::uint8_t code);
    // Window (Multiviewer Mode) or loop output (Switcher Mode) 1..16, input 1..16. Changes
    // loopRoute and the switcher cell on the SWITCHER page; redraws on the LAYOUT and SWITCHER pages.
    bool SetSource(int windowOrOutput, int input);
    // Window 1..16 sends 0x36 for that window; window 0 sends 0x5C for all of them.
    bool SetUmd(int window, std::uint8_t on);
    // Input or window 0 = all; the colour is a colour index.
    bool SetUmdTextColor(int input, std::uint8_t colour);
    bool SetUmdBackColor(int input, std::uint8_t colour);
    bool SetFormatTextColor(int window, std::uint8_t colour);
    bool SetFormatBackColor(int window, std::uint8_t colour);
    // With window 0 only window 1's entry changes; the frame still carries 0.
    bool SetTimecodeTextColor(int window, std::uint8_t colour);
    bool SetTimecodeBackColor(int window, std::uint8_t colour);
    bool SetBorder(std::uint8_t on);
    bool SetFormatStatus(std::uint8_t on);
    bool SetTimecode(std::uint8_t on);
    bool SetAudioAlarm(std::uint8_t on);
    bool SetAudioSource(std::uint8_t source);
    // Window index 0..15 sends 0x37 for window index + 1; kAllMetersIndex sends 0x5B.
    bool SetMeter(int windowIndex, std::uint8_t on);
    // Window index 0..15, sent as index + 1; channel pair 0..7.
    bool SetMeterChannel(int windowIndex, std::uint8_t channelPair);
    // SaveCustom (0x58) and LoadCustom (0x59) to slot 1 or 2. The caller of a load waits and
    // re-reads the state.
    bool SendCustomMemory(std::uint8_t opcode, std::uint8_t slot);
    bool RouteOneToOne();
    bool SetSwitcherMode(std::uint8_t switcherMode);

private:
    bool SendValue(const command_detail::CommandRow& row, std::uint8_t value);
    bool SendIndexed(const command_detail::CommandRow& row, int index, std::uint8_t value);
    std::optional<DeviceEntry> Unit() const { return m_devices.Selected(); }
    Frame BuildFor(const std::optional<DeviceEntry>& unit, std::uint8_t opcode,
                   std::span<const std::uint8_t> payload) const;
    bool SendAndFinish(const std::optional<DeviceEntry>& unit, const Frame& frame,
                       const command_detail::CommandRow& row);

    UnitLink& m_link;
    const DeviceTable& m_devices;
    MultiviewerState& m_state;
    const bool& m_locked;
    ConsoleView& m_view;
};

} // namespace brenvik
