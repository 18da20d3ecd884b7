#include "ctl/state_text.h"

#include "ctl/json_object.h"
#include "ctl/utf8_text.h"
#include "multiviewer/core/multiviewer_tables.h"

#include <cstdio>
#include <vector>

namespace brenvik::ctl {

namespace {

constexpr int kChannelPairs = 8;

std::string OnOff(std::uint8_t value) {
    return value != 0 ? "on" : "off";
}

// A colour as JSON: its name, or its number when the table has none.
std::string ColourJson(std::uint8_t index) {
    return ColourRgb(index) ? JsonQuote(ColourName(index)) : std::to_string(index);
}

template <typename... Args> std::string Line(const char* format, Args... args) {
    char line[256];
    std::snprintf(line, sizeof line, format, args...);
    return line;
}

} // namespace

std::string ColourName(std::uint8_t index) {
    return index < kColourTable.size() ? std::string(kColourTable[index].name) : std::to_string(index);
}

std::string OutputFormatName(std::uint8_t code) {
    for (const OutputFormatEntry& format : kOutputFormats) {
        if (format.code == code) {
            return std::string(format.text);
        }
    }
    return "code " + std::to_string(code);
}

std::string SignalName(std::uint8_t present, std::uint8_t code) {
    if (present == 0) {
        return std::string(kNoSignalText);
    }
    const auto text = SignalFormatText(code);
    return text ? std::string(*text) : "code " + std::to_string(code);
}

std::string ChannelPairName(std::uint8_t pair) {
    if (pair >= kChannelPairs) {
        return std::to_string(pair);
    }
    return std::to_string(2 * pair + 1) + "&" + std::to_string(2 * pair + 2);
}

std::string MultiviewerStateText(const MultiviewerState& s) {
    std::string text;
    text += Line("layout:         %d\n", s.layoutCode);
    text += Line("mode:           %s\n", s.switcherMode != 0 ? "switcher" : "multiviewer");
    text += "output format:  " + OutputFormatName(s.outputFormat) + "\n";
    text += "audio source:   " +
            (s.audioSource == 0 ? std::string("off") : "window " + std::to_string(s.audioSource)) + "\n";
    text += "umd labels:     " + OnOff(s.umdAllOn) + "\n";
    text += "format status:  " + OnOff(s.formatStatusOn) + "\n";
    text += "time code:      " + OnOff(s.timecodeOn) + "\n";
    text += "audio alarm:    " + OnOff(s.audioAlarmOn) + "\n";
    text += "borders:        " + OnOff(s.borderOn) + "\n";
    text += "audio meters:   " + OnOff(s.meterAllOn) + "\n";
    text += Line("address mode:   %s\n", s.networkDhcp != 0 ? "dhcp" : "static");
    text += "custom name:    " + Utf8(s.customName) + "\n";
    text += "\nwindow source umd meter pair  signal     fmt-text    fmt-back    tc-text     tc-back\n";
    for (int n = 1; n <= kWindowCount; ++n) {
        text += Line("%6d %6d %-3s %-5s %-5s %-10s %-11s %-11s %-11s %s\n", n, s.windowSource.At(n),
                     OnOff(s.umdOn.At(n)).c_str(), OnOff(s.meterOn.At(n)).c_str(),
                     ChannelPairName(s.meterChannel.At(n)).c_str(),
                     SignalName(s.signalPresent.At(n), s.signalFormat.At(n)).c_str(),
                     ColourName(s.formatTextColor.At(n)).c_str(), ColourName(s.formatBackColor.At(n)).c_str(),
                     ColourName(s.timecodeTextColor.At(n)).c_str(),
                     ColourName(s.timecodeBackColor.At(n)).c_str());
    }
    text += "\ninput  umd-text    umd-back    name\n";
    for (int n = 1; n <= kWindowCount; ++n) {
        text += Line("%5d  %-11s %-11s ", n, ColourName(s.umdTextColor.At(n)).c_str(),
                     ColourName(s.umdBackColor.At(n)).c_str()) +
                Utf8(s.inputNames.At(n)) + "\n";
    }
    text += "\nloop outputs:  ";
    for (int n = 1; n <= kWindowCount; ++n) {
        text += Line(" %d", s.loopRoute.At(n));
    }
    return text + "\n";
}

std::string MultiviewerStateJson(const MultiviewerState& s) {
    const auto known = OutputFormatListPosition(s.outputFormat);
    JsonObject format;
    format.Number("code", s.outputFormat);
    format.Raw("text", known ? JsonQuote(OutputFormatName(s.outputFormat)) : "null");

    std::vector<std::string> windows;
    std::vector<std::string> inputs;
    std::vector<std::string> loopRoute;
    for (int n = 1; n <= kWindowCount; ++n) {
        windows.push_back(JsonObject()
                              .Number("window", n)
                              .Number("source", s.windowSource.At(n))
                              .Bool("umdOn", s.umdOn.At(n) != 0)
                              .Bool("meterOn", s.meterOn.At(n) != 0)
                              .Number("meterChannel", s.meterChannel.At(n))
                              .Bool("signalPresent", s.signalPresent.At(n) != 0)
                              .Number("signalFormat", s.signalFormat.At(n))
                              .Text("signal", SignalName(s.signalPresent.At(n), s.signalFormat.At(n)))
                              .Raw("formatTextColour", ColourJson(s.formatTextColor.At(n)))
                              .Raw("formatBackColour", ColourJson(s.formatBackColor.At(n)))
                              .Raw("timecodeTextColour", ColourJson(s.timecodeTextColor.At(n)))
                              .Raw("timecodeBackColour", ColourJson(s.timecodeBackColor.At(n)))
                              .Json());
        inputs.push_back(JsonObject()
                             .Number("input", n)
                             .Text("name", Utf8(s.inputNames.At(n)))
                             .Raw("umdTextColour", ColourJson(s.umdTextColor.At(n)))
                             .Raw("umdBackColour", ColourJson(s.umdBackColor.At(n)))
                             .Json());
        loopRoute.push_back(std::to_string(s.loopRoute.At(n)));
    }
    return JsonObject()
               .Number("layout", s.layoutCode)
               .Bool("switcherMode", s.switcherMode != 0)
               .Raw("outputFormat", format.Json())
               .Number("audioSource", s.audioSource)
               .Bool("umdAllOn", s.umdAllOn != 0)
               .Bool("formatStatusOn", s.formatStatusOn != 0)
               .Bool("timecodeOn", s.timecodeOn != 0)
               .Bool("audioAlarmOn", s.audioAlarmOn != 0)
               .Bool("borderOn", s.borderOn != 0)
               .Bool("meterAllOn", s.meterAllOn != 0)
               .Bool("networkDhcp", s.networkDhcp != 0)
               .Text("customName", Utf8(s.customName))
               .Raw("windows", JsonArray(windows))
               .Raw("inputs", JsonArray(inputs))
               .Raw("loopRoute", JsonArray(loopRoute))
               .Json() +
           "\n";
}

} // namespace brenvik::ctl
