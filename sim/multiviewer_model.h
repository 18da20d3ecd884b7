#pragma once

#include "sim/simulated_unit.h"
#include "sim/unit_behaviour.h"
#include "sim/unit_config.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace brenvik::sim {

// Everything a multiviewer keeps about itself: what it serves to a state query (the 789-byte
// block) and what the commands change. Window and input numbers index these arrays from 0.
struct MultiviewerSettings {
    struct Label { // per input; `umdOn` is the label flag of the window of the same number
        std::uint8_t umdOn = 1;
        std::uint8_t textColour = 7;
        std::uint8_t backColour = 0;
        bool operator==(const Label&) const = default;
    };
    struct Window {
        std::uint8_t meterOn = 1;
        std::uint8_t meterChannel = 0;
        std::uint8_t signalPresent = 0;
        std::uint8_t signalFormat = 0;
        std::uint8_t formatTextColour = 7;
        std::uint8_t formatBackColour = 1;
        std::uint8_t timecodeTextColour = 7;
        std::uint8_t timecodeBackColour = 0;
        bool operator==(const Window&) const = default;
    };

    std::uint8_t layoutCode = 40;
    std::uint8_t outputFormat = 7;
    std::uint8_t audioSource = 1;
    std::uint8_t allMetersOn = 1;
    std::uint8_t allUmdOn = 1;
    std::uint8_t formatStatusOn = 1;
    std::uint8_t timecodeOn = 0;
    std::uint8_t audioAlarmOn = 0;
    std::uint8_t borderOn = 1;
    std::uint8_t dhcp = 0;
    std::uint8_t switcherMode = 0;
    std::array<std::uint8_t, 16> windowSource{};
    std::array<std::uint8_t, 16> loopRoute{};
    std::array<Label, 16> labels{};
    std::array<Window, 16> windows{};
    std::array<std::u16string, 16> inputNames;
    std::u16string customName;

    // What the unit comes back to after "Load Default".
    static MultiviewerSettings Factory();
    bool operator==(const MultiviewerSettings&) const = default;
};

// The state block a multiviewer serves, encoded from its settings.
std::array<std::uint8_t, 789> EncodeStateBlock(const MultiviewerSettings& settings);

// Which reports the unit sends to the console's status port after a change.
struct ReportPolicy {
    bool enabled = true;                // false: the unit reports nothing at all
    std::set<std::uint8_t> silenced;    // report opcodes the unit keeps to itself
    bool reportSettingsReplaced = true; // 0x0B / 0x59 after loading default / custom settings
};

// How the unit spoils its reports, so that tests see the console's checks at work.
enum class ReportFault : std::uint8_t {
    None,
    ForeignIdentifier, // another unit's identifier at 10..13
    Short,             // cut after the opcode, before the values
    UnknownOpcode,     // opcode 0x7E, which no report has
    OutOfRange,        // the window or input number one past what the report allows
};

struct ReportFaults {
    ReportFault fault = ReportFault::None;
    std::size_t copies = 1; // every report sent this many times in a row (a flood)
};

// A simulated 16-window multiviewer: serves its state block to query 0x0A, applies every command
// of the multiviewer command set to its own settings, keeps two custom memories, and reports each
// change to the console's status port. Runs on the simulator thread; tests reach it through
// UnitSimulator::Invoke.
class MultiviewerModel : public UnitBehaviour {
public:
    explicit MultiviewerModel(MultiviewerSettings settings = MultiviewerSettings::Factory());

    void OnDatagram(SimulatedUnit& unit, std::span<const std::uint8_t> bytes,
                    const Ipv4Address& from) override;

    const MultiviewerSettings& Settings() const { return m_settings; }
    MultiviewerSettings& Settings() { return m_settings; }
    const MultiviewerSettings& CustomMemory(int slot) const {
        return m_custom.at(static_cast<std::size_t>(slot - 1));
    }

    ReportPolicy& Policy() { return m_policy; }
    // False: the unit stays silent to state queries (0x0A), so every state read waits its full
    // time, and still applies every other command.
    void SetAnswersStateQueries(bool answers) { m_answersStateQueries = answers; }
    ReportFaults& Faults() { return m_faults; }
    // Commands applied so far, by opcode, in arrival order (queries included).
    const std::vector<std::uint8_t>& AppliedOpcodes() const { return m_applied; }

    // Changes the unit makes by itself, reported like a command's change.
    void ChangeSignal(SimulatedUnit& unit, int window, std::uint8_t present, std::uint8_t format);
    void ReplaceSettings(SimulatedUnit& unit, const MultiviewerSettings& settings);
    // Sends any report as the unit would: its policy and faults apply.
    void SendReport(SimulatedUnit& unit, std::uint8_t opcode, std::span<const std::uint8_t> values);

private:
    void Apply(SimulatedUnit& unit, std::span<const std::uint8_t> frame, const Ipv4Address& from);
    void AnswerState(SimulatedUnit& unit, const Ipv4Address& from);

    MultiviewerSettings m_settings;
    std::array<MultiviewerSettings, 2> m_custom;
    ReportPolicy m_policy;
    ReportFaults m_faults;
    std::vector<std::uint8_t> m_applied;
    std::uint8_t m_linkByte = 1; // the link byte of the last command, echoed in the unit's frames
    bool m_answersStateQueries = true;
};

} // namespace brenvik::sim
