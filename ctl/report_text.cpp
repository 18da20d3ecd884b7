#include "ctl/report_text.h"

#include "ctl/json_object.h"
#include "ctl/state_text.h"
#include "link/frame.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/status_report.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace brenvik::ctl {

namespace {

// How a value reads to a person; JSON always carries the number.
enum class Shown : std::uint8_t { Number, OnOff, Colour, OutputFormat, SignalFormat, Skipped };

struct ValueName {
    std::string_view name;
    Shown shown = Shown::Number;
};

struct ReportName {
    std::uint8_t opcode;
    std::string_view name;
    std::array<ValueName, 3> values;
};

namespace op = mv_opcode;
constexpr std::array<ReportName, 25> kReportNames{{
    {op::kLoadDefault, "load-default", {}},
    {op::kReportSettingsReplaced, "settings-replaced", {}},
    {op::kLoadCustom, "load-custom", {}},
    {op::kSetLayoutCode, "layout", {{{"code"}}}},
    {op::kSetSource, "source", {{{"input"}, {"window"}}}},
    {op::kSetUmd, "umd", {{{"window"}, {"on", Shown::OnOff}}}},
    {op::kSetUmdAll, "umd-all", {{{"on", Shown::OnOff}}}},
    {op::kSetUmdTextColor, "umd-text-colour", {{{"input"}, {"colour", Shown::Colour}}}},
    {op::kSetUmdBackColor, "umd-back-colour", {{{"input"}, {"colour", Shown::Colour}}}},
    {op::kSetFormatTextColor, "format-text-colour", {{{"window"}, {"colour", Shown::Colour}}}},
    {op::kSetFormatBackColor, "format-back-colour", {{{"window"}, {"colour", Shown::Colour}}}},
    {op::kSetTimecodeTextColor, "timecode-text-colour", {{{"window"}, {"colour", Shown::Colour}}}},
    {op::kSetTimecodeBackColor, "timecode-back-colour", {{{"window"}, {"colour", Shown::Colour}}}},
    {op::kSetBorder, "border", {{{"on", Shown::OnOff}}}},
    {op::kReportFormatStatus, "format-status", {{{"on", Shown::OnOff}}}},
    {op::kSetFormatStatus, "format-status", {{{"on", Shown::OnOff}}}},
    {op::kReportTimecode, "timecode", {{{"on", Shown::OnOff}}}},
    {op::kSetTimecode, "timecode", {{{"on", Shown::OnOff}}}},
    {op::kSetAudioAlarm, "audio-alarm", {{{"on", Shown::OnOff}}}},
    {op::kSetOutputFormat, "output-format", {{{"", Shown::Skipped}, {"code", Shown::OutputFormat}}}},
    {op::kSetAudioSource, "audio-source", {{{"source"}}}},
    {op::kSetMeter, "meter", {{{"window"}, {"on", Shown::OnOff}}}},
    {op::kSetMeterAll, "meter-all", {{{"on", Shown::OnOff}}}},
    {op::kSetMeterChannel, "meter-channel", {{{"window"}, {"pair"}}}},
    {op::kReportSignal,
     "signal",
     {{{"window-index"}, {"present", Shown::OnOff}, {"format", Shown::SignalFormat}}}},
}};

std::string Readable(Shown shown, std::uint8_t value, std::span<const std::uint8_t> values) {
    switch (shown) {
    case Shown::OnOff:
        return value != 0 ? "on" : "off";
    case Shown::Colour:
        return ColourName(value);
    case Shown::OutputFormat:
        return OutputFormatName(value);
    case Shown::SignalFormat:
        // The signal report's value before the format says whether a signal is there.
        return SignalName(values[1], value);
    case Shown::Number:
    case Shown::Skipped:
        break;
    }
    return std::to_string(value);
}

} // namespace

std::optional<std::string> ReportLine(std::span<const std::uint8_t> report, bool json) {
    if (report.size() <= frame_offset::kOpcode) {
        return std::nullopt;
    }
    const std::uint8_t opcode = report[frame_offset::kOpcode];
    const auto layout = FindReportLayout(opcode);
    const auto minimum = ReportMinimumLength(opcode);
    const auto* name = std::find_if(kReportNames.begin(), kReportNames.end(),
                                    [opcode](const ReportName& r) { return r.opcode == opcode; });
    if (!layout || !minimum || report.size() < *minimum || name == kReportNames.end() ||
        !ReportNumbersInRange(*layout, report)) {
        return std::nullopt;
    }
    const auto values = report.subspan(frame_offset::kUnitData, layout->valueCount);
    JsonObject object;
    object.Text("report", std::string(name->name)).Number("opcode", opcode);
    std::string text(name->name);
    for (std::size_t k = 0; k < values.size(); ++k) {
        const ValueName& value = name->values[k];
        if (value.shown == Shown::Skipped) {
            continue;
        }
        object.Number(std::string(value.name), values[k]);
        text += " " + std::string(value.name) + "=" + Readable(value.shown, values[k], values);
    }
    return json ? object.Json() : text;
}

} // namespace brenvik::ctl
