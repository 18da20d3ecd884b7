#include "ctl/ctl_help.h"

#include <array>
#include <sstream>

namespace brenvik::ctl {

namespace {

constexpr std::string_view kProgramHelp = R"(Usage: brenvik-ctl [OPTIONS] COMMAND ...
Controls Brenvik rack units (the 16-window multiviewer and the 8x8 matrix switcher) from a shell,
over the LAN or a serial line.

Commands:
  discover                  list the units that answer a search
  mv ...                    multiviewer: read its state, send any of its commands (mv --help)
  mx ...                    matrix switcher: routing, status, backlight (mx --help)
  watch                     show each status report of a multiviewer as it arrives, until
                            interrupted

Options:
  --unit ADDRESS            the unit's IPv4 address
  --serial PORT             talk over this serial port instead of the LAN
  --baud N                  serial line rate: 9600, 19200, 38400, 57600, 115200 (default 115200)
  --unit-address N          the unit address in every frame, 0..255 (default 1)
  --id HEX                  the unit identifier its reports carry, 8 hex digits (watch)
  --json                    print JSON instead of text
  --port N                  UDP port of the units and of the local command socket (default 7000)
  --local-port N            the local command socket's port alone (default: --port)
  --status-port N           the local port that reports arrive on (default 7001)
  --broadcast ADDRESS       where a search is sent (default 255.255.255.255)
  --wait MS                 how long a search listens for answers (default 2000)
  -h, --help                this help; COMMAND --help for the help of a command

Exit status: 0 success, 1 the unit could not be reached or did not answer, 2 bad usage.
)";

constexpr std::string_view kDiscoverHelp = R"(Usage: brenvik-ctl [--serial PORT --baud N] discover [--json]
Sends one discovery request and lists every unit that answers: on the LAN within the wait
(--wait, 2000 ms), on the serial line the one unit on the line (up to 3000 ms). Each unit is shown
with its model, address, type code, unit address and identifier.
Exit status 1 when no unit answered.
)";

constexpr std::string_view kMultiviewerHelp =
    R"(Usage: brenvik-ctl (--unit ADDRESS | --serial PORT) mv COMMAND ...
Multiviewer commands. Windows, inputs and loop outputs are numbered 1..16.

  state                        the unit's decoded state (layout, sources, routing, names, colours,
                               meters, formats, flags); --json for JSON
  layout CODE                  screen layout: 1..16 (one input full screen), 40..42, 60, 61,
                               80..83, 90..93, 100..102, 111, 121, 160, 161
  source INPUT --window N      show INPUT in window N (Multiviewer Mode)
  route INPUT --output N       send INPUT to loop output N (Switcher Mode)
  route one-to-one             every loop output takes the input of its own number
  name INPUT TEXT              name an input: at most 16 characters, none above code 128, no
                               backslash
  names export FILE.csv        write the 16 input names as CSV (header row "input,name")
  names import FILE.csv        read the unit's names and send each name of the file that differs
  umd WINDOW|all on|off        the name label of one window, or all labels
  colour TARGET COLOUR [--input N|all] [--window N|all]
                               TARGET: umd-text, umd-back (per input), format-text, format-back,
                               timecode-text, timecode-back (per window); default all.
                               COLOUR: a name or 0..15: Black Blue Red Magenta Green Cyan Yellow
                               White Gray VioletRed LightBlue LightGreen LightCyan LightYellow
                               Trans HalfTrans
  border on|off                window borders
  format-status on|off         signal format labels
  timecode on|off              time code
  audio-alarm on|off           audio alarm
  audio-source off|WINDOW      the window whose audio is heard
  meter WINDOW|all on|off      audio meter of one window, or all meters
  meter-channel WINDOW PAIR    channel pair of a window's meter: 1&2, 3&4, .. 15&16 (or 0..7)
  format FORMAT                output format: 1080p60 1080p50 1080i60 1080i50 1080p30 1080p25
                               1080p24 720p60 720p50
  load default                 load the factory settings
  load custom 1|2              load a custom memory
  save custom 1|2              save the settings to a custom memory
  mode switcher|multiviewer    Switcher Mode or Multiviewer Mode
)";

constexpr std::string_view kMatrixHelp = R"(Usage: brenvik-ctl (--unit ADDRESS | --serial PORT) mx COMMAND ...
Matrix switcher commands. Inputs and outputs are numbered 1..8.

  route INPUT OUTPUTS          route INPUT to the outputs, e.g. "route 3 1,4,8"
  route INPUT all              route INPUT to every output
  route one-to-one             every output takes the input of its own number
  status                       routing, lock, address mode, name and backlight; --json for JSON
  backlight time SETTING       "15s Dim", "60s Dim", "15s Off", "60s Off", "Always On" (or 0..4)
  backlight brightness N       0..100
)";

constexpr std::string_view kWatchHelp = R"(Usage: brenvik-ctl --unit ADDRESS [--id HEX] watch [--json]
Shows each status report the multiviewer sends, decoded, one line each (a JSON object per line
with --json), until interrupted (Ctrl+C or SIGTERM end it with exit status 0). Reports arrive on
the status port (--status-port, default 7001); only those from the unit's address are shown, and
with --id only those that carry that identifier.
)";

struct HelpLevel {
    std::string_view level;
    std::string_view text;
};
constexpr std::array<HelpLevel, 5> kLevels{{
    {"", kProgramHelp},
    {"discover", kDiscoverHelp},
    {"mv", kMultiviewerHelp},
    {"mx", kMatrixHelp},
    {"watch", kWatchHelp},
}};

// roff treats a leading dot or quote as a request and a backslash as an escape.
std::string RoffLine(const std::string& line) {
    std::string out;
    for (char c : line) {
        out += c == '\\' ? std::string("\\e") : c == '-' ? std::string("\\-") : std::string(1, c);
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) {
        out = "\\&" + out;
    }
    return out;
}

void AppendSection(std::string& page, std::string_view title, std::string_view text) {
    page += ".SH " + std::string(title) + "\n.nf\n";
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        page += RoffLine(line) + "\n";
    }
    page += ".fi\n";
}

} // namespace

std::string HelpText(std::string_view level) {
    for (const HelpLevel& entry : kLevels) {
        if (entry.level == level) {
            return std::string(entry.text);
        }
    }
    return std::string(kProgramHelp);
}

std::string ManPage() {
    std::string page = ".TH BRENVIK\\-CTL 1 \"\" \"Brenvik Rackmount Control\" \"User Commands\"\n";
    page += ".SH NAME\nbrenvik\\-ctl \\- control Brenvik rack units from a shell\n";
    AppendSection(page, "SYNOPSIS AND OPTIONS", kProgramHelp);
    AppendSection(page, "DISCOVER", kDiscoverHelp);
    AppendSection(page, "MULTIVIEWER", kMultiviewerHelp);
    AppendSection(page, "MATRIX SWITCHER", kMatrixHelp);
    AppendSection(page, "WATCH", kWatchHelp);
    return page;
}

} // namespace brenvik::ctl
