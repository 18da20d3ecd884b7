#include "sim/multiviewer_model.h"

#include "link/frame.h"
#include "link/text_codec.h"
#include "sim/unit_frame.h"

#include <algorithm>
#include <cstdio>

namespace brenvik::sim {

namespace {

// Opcodes of the multiviewer protocol, as the unit knows them.
namespace op {
constexpr std::uint8_t kNetworkConfig = 0x05;
constexpr std::uint8_t kQueryState = 0x0A;
constexpr std::uint8_t kLoadDefault = 0x0B;
constexpr std::uint8_t kCustomName = 0x0F;
constexpr std::uint8_t kOutputFormat = 0x19;
constexpr std::uint8_t kInputName = 0x1E;
constexpr std::uint8_t kLayout = 0x33;
constexpr std::uint8_t kSource = 0x34;
constexpr std::uint8_t kUmd = 0x36;
constexpr std::uint8_t kMeter = 0x37;
constexpr std::uint8_t kAudioSource = 0x39;
constexpr std::uint8_t kUmdText = 0x3B;
constexpr std::uint8_t kUmdBack = 0x3C;
constexpr std::uint8_t kFormatText = 0x3D;
constexpr std::uint8_t kFormatBack = 0x3E;
constexpr std::uint8_t kBorder = 0x3F;
constexpr std::uint8_t kSignal = 0x51;
constexpr std::uint8_t kMeterChannel = 0x52;
constexpr std::uint8_t kTimecodeText = 0x54;
constexpr std::uint8_t kTimecodeBack = 0x55;
constexpr std::uint8_t kAudioAlarm = 0x56;
constexpr std::uint8_t kSaveCustom = 0x58;
constexpr std::uint8_t kLoadCustom = 0x59;
constexpr std::uint8_t kOneToOne = 0x5A;
constexpr std::uint8_t kAllMeters = 0x5B;
constexpr std::uint8_t kAllUmd = 0x5C;
constexpr std::uint8_t kFormatStatus = 0x5D;
constexpr std::uint8_t kTimecode = 0x5E;
constexpr std::uint8_t kSwitcherMode = 0x62;
constexpr std::uint8_t kSettingsReplaced = 0x38;
constexpr std::uint8_t kUnknown = 0x7E; // no report has it: the fault's opcode
} // namespace op

// The console's frames: header, opcode at 16, values from 17, checksum and terminator.
constexpr std::size_t kOpcodeAt = 16;
constexpr std::size_t kValuesAt = 17;
constexpr std::size_t kTrailer = 3;
constexpr std::size_t kInputNameTextAt = 25;
constexpr std::size_t kNetworkModeAt = 29;

// The unit's reports carry their values from offset 18.
constexpr std::size_t kReportValuesAt = 18;

// Block layout the unit serves.
constexpr std::size_t kBlockLayout = 0;
constexpr std::size_t kBlockOutputFormat = 1;
constexpr std::size_t kBlockAudio = 2;
constexpr std::size_t kBlockFlags = 3;
constexpr std::size_t kBlockSources = 4;
constexpr std::size_t kBlockLoop = 20;
constexpr std::size_t kBlockLabels = 36;
constexpr std::size_t kBlockWindows = 68;
constexpr std::size_t kBlockNames = 196;
constexpr std::size_t kBlockNameStride = 35;
constexpr std::size_t kBlockNameBytes = 34;
constexpr std::size_t kBlockCustomLength = 756; // the name itself follows the length byte
constexpr std::size_t kBlockCustomBytes = 32;

bool IsWindow(std::uint8_t number) {
    return number >= 1 && number <= 16;
}
// A window or input, or 0 for all of them.
bool IsTarget(std::uint8_t number) {
    return number <= 16;
}
std::size_t Index(std::uint8_t number) {
    return static_cast<std::size_t>(number - 1);
}

using Settings = MultiviewerSettings;

template <typename Each> void ForTargets(std::uint8_t target, Each each) {
    if (target == 0) {
        for (std::size_t i = 0; i < 16; ++i) {
            each(i);
        }
    } else {
        each(Index(target));
    }
}

// A command that changes one setting and is reported back with its own values: the unit echoes
// [17], [18] as [18], [19].
struct EchoedCommand {
    std::uint8_t opcode;
    std::size_t valueCount;
    bool (*apply)(Settings& s, std::uint8_t a, std::uint8_t b); // false: values the unit refuses
};

constexpr std::array<EchoedCommand, 19> kEchoedCommands{{
    {op::kOutputFormat, 2,
     [](Settings& s, std::uint8_t, std::uint8_t b) {
         s.outputFormat = b;
         return true;
     }},
    {op::kLayout, 1,
     [](Settings& s, std::uint8_t a, std::uint8_t) {
         s.layoutCode = a;
         return true;
     }},
    {op::kSource, 2,
     [](Settings& s, std::uint8_t input, std::uint8_t target) {
         if (!IsWindow(input) || !IsWindow(target)) {
             return false;
         }
         (s.switcherMode ? s.loopRoute : s.windowSource)[Index(target)] = input;
         return true;
     }},
    {op::kUmd, 2,
     [](Settings& s, std::uint8_t window, std::uint8_t on) {
         if (!IsWindow(window)) {
             return false;
         }
         s.labels[Index(window)].umdOn = on;
         return true;
     }},
    {op::kAllUmd, 1,
     [](Settings& s, std::uint8_t on, std::uint8_t) {
         s.allUmdOn = on;
         return true;
     }},
    {op::kUmdText, 2,
     [](Settings& s, std::uint8_t t, std::uint8_t c) {
         if (!IsTarget(t)) {
             return false;
         }
         ForTargets(t, [&](std::size_t i) { s.labels[i].textColour = c; });
         return true;
     }},
    {op::kUmdBack, 2,
     [](Settings& s, std::uint8_t t, std::uint8_t c) {
         if (!IsTarget(t)) {
             return false;
         }
         ForTargets(t, [&](std::size_t i) { s.labels[i].backColour = c; });
         return true;
     }},
    {op::kFormatText, 2,
     [](Settings& s, std::uint8_t t, std::uint8_t c) {
         if (!IsTarget(t)) {
             return false;
         }
         ForTargets(t, [&](std::size_t i) { s.windows[i].formatTextColour = c; });
         return true;
     }},
    {op::kFormatBack, 2,
     [](Settings& s, std::uint8_t t, std::uint8_t c) {
         if (!IsTarget(t)) {
             return false;
         }
         ForTargets(t, [&](std::size_t i) { s.windows[i].formatBackColour = c; });
         return true;
     }},
    {op::kTimecodeText, 2,
     [](Settings& s, std::uint8_t t, std::uint8_t c) {
         if (!IsTarget(t)) {
             return false;
         }
         ForTargets(t, [&](std::size_t i) { s.windows[i].timecodeTextColour = c; });
         return true;
     }},
    {op::kTimecodeBack, 2,
     [](Settings& s, std::uint8_t t, std::uint8_t c) {
         if (!IsTarget(t)) {
             return false;
         }
         ForTargets(t, [&](std::size_t i) { s.windows[i].timecodeBackColour = c; });
         return true;
     }},
    {op::kBorder, 1,
     [](Settings& s, std::uint8_t on, std::uint8_t) {
         s.borderOn = on;
         return true;
     }},
    {op::kFormatStatus, 1,
     [](Settings& s, std::uint8_t on, std::uint8_t) {
         s.formatStatusOn = on;
         return true;
     }},
    {op::kTimecode, 1,
     [](Settings& s, std::uint8_t on, std::uint8_t) {
         s.timecodeOn = on;
         return true;
     }},
    {op::kAudioAlarm, 1,
     [](Settings& s, std::uint8_t on, std::uint8_t) {
         s.audioAlarmOn = on;
         return true;
     }},
    {op::kAudioSource, 1,
     [](Settings& s, std::uint8_t a, std::uint8_t) {
         if (a > 16) {
             return false;
         }
         s.audioSource = a;
         return true;
     }},
    {op::kMeter, 2,
     [](Settings& s, std::uint8_t window, std::uint8_t on) {
         if (!IsWindow(window)) {
             return false;
         }
         s.windows[Index(window)].meterOn = on;
         return true;
     }},
    {op::kAllMeters, 1,
     [](Settings& s, std::uint8_t on, std::uint8_t) {
         s.allMetersOn = on;
         return true;
     }},
    {op::kMeterChannel, 2,
     [](Settings& s, std::uint8_t window, std::uint8_t pair) {
         if (!IsWindow(window) || pair > 7) {
             return false;
         }
         s.windows[Index(window)].meterChannel = pair;
         return true;
     }},
}};

// Which value of a report is a window or input number, and the first number past its range.
struct NumberedReport {
    std::uint8_t opcode;
    std::size_t value;
    std::uint8_t pastRange;
};
constexpr std::array<NumberedReport, 11> kNumberedReports{{
    {op::kSource, 1, 17},
    {op::kUmd, 0, 17},
    {op::kUmdText, 0, 17},
    {op::kUmdBack, 0, 17},
    {op::kFormatText, 0, 17},
    {op::kFormatBack, 0, 17},
    {op::kTimecodeText, 0, 17},
    {op::kTimecodeBack, 0, 17},
    {op::kMeter, 0, 17},
    {op::kMeterChannel, 0, 17},
    {op::kSignal, 0, 16},
}};

std::uint8_t Bit(std::uint8_t value, unsigned bit) {
    return static_cast<std::uint8_t>((value ? 1u : 0u) << bit);
}

void PutName(std::span<std::uint8_t> lengthAndText, const std::u16string& name, std::size_t room) {
    const std::vector<std::uint8_t> bytes = ToUtf16le(name);
    const std::size_t count = std::min(bytes.size(), room);
    lengthAndText[0] = static_cast<std::uint8_t>(count);
    std::copy_n(bytes.begin(), count, lengthAndText.begin() + 1);
}

} // namespace

MultiviewerSettings MultiviewerSettings::Factory() {
    MultiviewerSettings settings;
    for (std::size_t i = 0; i < 16; ++i) {
        settings.windowSource[i] = static_cast<std::uint8_t>(i + 1);
        settings.loopRoute[i] = static_cast<std::uint8_t>(i + 1);
        char name[12];
        std::snprintf(name, sizeof name, "CAM %zu", i + 1);
        settings.inputNames[i] = ToU16(name);
    }
    // The first four inputs carry 1080p60 on a fresh unit.
    for (std::size_t i = 0; i < 4; ++i) {
        settings.windows[i].signalPresent = 1;
        settings.windows[i].signalFormat = 31;
    }
    return settings;
}

std::array<std::uint8_t, 789> EncodeStateBlock(const MultiviewerSettings& s) {
    std::array<std::uint8_t, 789> block{};
    block[kBlockLayout] = s.layoutCode;
    block[kBlockOutputFormat] = static_cast<std::uint8_t>(s.outputFormat & 0x0F);
    block[kBlockAudio] = static_cast<std::uint8_t>((s.audioSource & 0x1F) | Bit(s.allMetersOn, 7));
    block[kBlockFlags] = static_cast<std::uint8_t>(
        Bit(s.allUmdOn, 0) | Bit(s.formatStatusOn, 1) | Bit(s.timecodeOn, 2) | Bit(s.audioAlarmOn, 3) |
        Bit(s.borderOn, 4) | Bit(s.dhcp, 6) | Bit(s.switcherMode, 7));
    for (std::size_t i = 0; i < 16; ++i) {
        block[kBlockSources + i] = s.windowSource[i];
        block[kBlockLoop + i] = s.loopRoute[i];

        const auto& label = s.labels[i];
        block[kBlockLabels + 2 * i] =
            static_cast<std::uint8_t>((label.umdOn ? 1 : 0) | ((label.textColour & 0x0F) << 1));
        block[kBlockLabels + 2 * i + 1] = static_cast<std::uint8_t>(label.backColour & 0x1F);

        const auto& window = s.windows[i];
        std::uint8_t* record = &block[kBlockWindows + 8 * i];
        record[0] = static_cast<std::uint8_t>((window.meterOn ? 1 : 0) | ((window.meterChannel & 0x0F) << 1));
        record[1] = static_cast<std::uint8_t>((window.signalFormat & 0x3F) | Bit(window.signalPresent, 6));
        record[2] = static_cast<std::uint8_t>((window.formatTextColour & 0x0F) << 1);
        record[3] = static_cast<std::uint8_t>(window.formatBackColour & 0x1F);
        record[4] = static_cast<std::uint8_t>((window.timecodeTextColour & 0x0F) << 1);
        record[5] = static_cast<std::uint8_t>(window.timecodeBackColour & 0x1F);

        PutName(std::span(block).subspan(kBlockNames + kBlockNameStride * i, kBlockNameStride),
                s.inputNames[i], kBlockNameBytes - 2);
    }
    PutName(std::span(block).subspan(kBlockCustomLength, 1 + kBlockCustomBytes), s.customName,
            kBlockCustomBytes);
    return block;
}

MultiviewerModel::MultiviewerModel(MultiviewerSettings settings)
    : m_settings(std::move(settings)), m_custom{MultiviewerSettings::Factory(),
                                                MultiviewerSettings::Factory()} {}

void MultiviewerModel::OnDatagram(SimulatedUnit& unit, std::span<const std::uint8_t> bytes,
                                  const Ipv4Address& from) {
    const UnitConfig& config = unit.Config();
    // A frame for this unit: sync bytes, its own length, the terminator, its type code and address.
    if (bytes.size() < kFrameOverhead || bytes[0] != kSync1 || bytes[1] != kSync2 ||
        static_cast<std::size_t>(bytes[2] | (bytes[3] << 8)) != bytes.size() || bytes.back() != kTerminator ||
        bytes[4] != config.typeCode || bytes[5] != config.unitAddress) {
        return;
    }
    m_linkByte = bytes[6];
    Apply(unit, bytes, from);
}

void MultiviewerModel::Apply(SimulatedUnit& unit, std::span<const std::uint8_t> frame,
                             const Ipv4Address& from) {
    const std::uint8_t opcode = frame[kOpcodeAt];
    const std::size_t valueCount = frame.size() - kFrameOverhead;
    const auto value = [&](std::size_t k) { return k < valueCount ? frame[kValuesAt + k] : std::uint8_t{0}; };
    m_applied.push_back(opcode);

    const auto* echoed = std::find_if(kEchoedCommands.begin(), kEchoedCommands.end(),
                                      [opcode](const EchoedCommand& c) { return c.opcode == opcode; });
    if (echoed != kEchoedCommands.end()) {
        if (valueCount < echoed->valueCount || !echoed->apply(m_settings, value(0), value(1))) {
            return;
        }
        const std::array<std::uint8_t, 2> values{value(0), value(1)};
        SendReport(unit, opcode, std::span(values).first(echoed->valueCount));
        return;
    }

    switch (opcode) {
    case op::kQueryState:
        if (m_answersStateQueries) {
            AnswerState(unit, from);
        }
        break;
    case op::kLoadDefault:
        m_settings = MultiviewerSettings::Factory();
        if (m_policy.reportSettingsReplaced) {
            SendReport(unit, op::kLoadDefault, {});
        }
        break;
    case op::kSaveCustom:
    case op::kLoadCustom: {
        const std::uint8_t slot = value(0);
        if (slot != 1 && slot != 2) {
            break;
        }
        if (opcode == op::kSaveCustom) {
            m_custom[slot - 1u] = m_settings;
            break;
        }
        m_settings = m_custom[slot - 1u];
        if (m_policy.reportSettingsReplaced) {
            const std::array<std::uint8_t, 1> values{slot};
            SendReport(unit, op::kLoadCustom, values);
        }
        break;
    }
    case op::kOneToOne:
        for (std::uint8_t n = 1; n <= 16; ++n) {
            m_settings.loopRoute[Index(n)] = n;
            const std::array<std::uint8_t, 2> values{n, n};
            SendReport(unit, op::kSource, values);
        }
        break;
    case op::kSwitcherMode:
        if (valueCount >= 1) {
            m_settings.switcherMode = value(0) ? 1 : 0;
        }
        break;
    case op::kInputName:
        if (frame.size() >= kInputNameTextAt + kTrailer && IsWindow(value(0))) {
            const auto text = frame.subspan(kInputNameTextAt, frame.size() - kTrailer - kInputNameTextAt);
            m_settings.inputNames[Index(value(0))] = FromUtf16le(text, text.size());
        }
        break;
    case op::kCustomName: {
        const auto text = frame.subspan(kValuesAt, valueCount);
        m_settings.customName = FromUtf16le(text, text.size());
        break;
    }
    case op::kNetworkConfig:
        if (frame.size() >= kNetworkModeAt + 1 + kTrailer) {
            m_settings.dhcp = frame[kNetworkModeAt] ? 1 : 0;
        }
        break;
    default:
        break;
    }
}

void MultiviewerModel::AnswerState(SimulatedUnit& unit, const Ipv4Address& from) {
    const auto block = EncodeStateBlock(m_settings);
    unit.SendTo(from, BuildUnitFrame(unit.Config(), m_linkByte, op::kQueryState, block));
}

void MultiviewerModel::ChangeSignal(SimulatedUnit& unit, int window, std::uint8_t present,
                                    std::uint8_t format) {
    auto& record = m_settings.windows.at(static_cast<std::size_t>(window - 1));
    record.signalPresent = present ? 1 : 0;
    record.signalFormat = format;
    // The signal report alone counts windows from 0.
    const std::array<std::uint8_t, 3> values{static_cast<std::uint8_t>(window - 1), record.signalPresent,
                                             format};
    SendReport(unit, op::kSignal, values);
}

void MultiviewerModel::ReplaceSettings(SimulatedUnit& unit, const MultiviewerSettings& settings) {
    m_settings = settings;
    SendReport(unit, op::kSettingsReplaced, {});
}

void MultiviewerModel::SendReport(SimulatedUnit& unit, std::uint8_t opcode,
                                  std::span<const std::uint8_t> values) {
    if (!m_policy.enabled || m_policy.silenced.contains(opcode)) {
        return;
    }
    Frame report = BuildUnitFrame(unit.Config(), m_linkByte, opcode, values);
    switch (m_faults.fault) {
    case ReportFault::None:
        break;
    case ReportFault::ForeignIdentifier:
        for (std::size_t i = 0; i < 4; ++i) {
            report[frame_offset::kUnitId + i] ^= 0xFF;
        }
        break;
    case ReportFault::Short:
        report.resize(kReportValuesAt);
        break;
    case ReportFault::UnknownOpcode:
        report[kOpcodeAt] = op::kUnknown;
        break;
    case ReportFault::OutOfRange: {
        const auto* numbered = std::find_if(kNumberedReports.begin(), kNumberedReports.end(),
                                            [opcode](const NumberedReport& r) { return r.opcode == opcode; });
        if (numbered != kNumberedReports.end() && numbered->value < values.size()) {
            report[kReportValuesAt + numbered->value] = numbered->pastRange;
        }
        break;
    }
    }
    if (m_faults.fault != ReportFault::Short) {
        StampChecksum(report);
    }
    for (std::size_t copy = 0; copy < std::max<std::size_t>(1, m_faults.copies); ++copy) {
        unit.SendReport(report);
    }
}

} // namespace brenvik::sim
