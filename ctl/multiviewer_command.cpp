#include "ctl/multiviewer_command.h"

#include "ctl/ctl_session.h"
#include "ctl/input_names.h"
#include "ctl/state_text.h"
#include "ctl/usage_error.h"
#include "ctl/utf8_text.h"
#include "link/task_queue.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/multiviewer_tables.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <functional>
#include <string_view>

namespace brenvik::ctl {

namespace {

constexpr int kColourCount = static_cast<int>(kColourTable.size());
constexpr int kChannelPairCount = 8;
constexpr int kCustomSlots = 2;

// One run against the unit: the console's own session on the program's own link, with the main
// thread as the thread that owns it.
struct MultiviewerRun {
    MultiviewerRun(CtlSession& session, const CtlContext& context) : link(session), context(context) {
        devices.At(0) = session.Unit(kTypeMultiviewer);
        devices.SetSelectedIndex(0);
    }

    // A command has been handed to the link: wait until it has left.
    int Sent(bool queued) {
        if (!queued || !link.Flush() || link.LinkComplained()) {
            context.err << "brenvik-ctl: the command could not be sent\n";
            return kExitNoAnswer;
        }
        return kExitSuccess;
    }

    // Reads the unit's whole state into the record; false, with a line on standard error, when
    // the unit did not answer.
    bool ReadState() {
        std::optional<RereadResult> result;
        unit.Reread(RereadCause::Opening, {}, [&result](RereadResult r) { result = r; });
        tasks.RunUntil([&result] { return result.has_value(); }, kLinkReportBound);
        if (result != RereadResult::Answered) {
            context.err << "brenvik-ctl: the unit did not answer the state query\n";
            return false;
        }
        return true;
    }

    const MultiviewerState& State() const { return unit.State(); }

    CtlSession& link;
    const CtlContext& context;
    DeviceTable devices;
    bool locked = false; // the window console's lock is the operator's; it does not apply here
    TaskQueue tasks;
    MultiviewerSession unit{link.Link(), devices, locked, tasks};
};

// What a command does once its words have been read.
using Action = std::function<int(MultiviewerRun&)>;
using Parser = Action (*)(CommandWords&);

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

int WindowNumber(const std::string& text, const std::string& what) {
    return CommandWords::Number(text, 1, kWindowCount, what);
}

// "all" or 0 for every window or input, else 1..16.
int IndexOrAll(const std::string& text, const std::string& what) {
    return text == "all" ? 0 : CommandWords::Number(text, 0, kWindowCount, what);
}

std::uint8_t Colour(const std::string& text) {
    const auto found = std::find_if(kColourTable.begin(), kColourTable.end(), [&](const ColourEntry& c) {
        return Lower(std::string(c.name)) == Lower(text);
    });
    if (found != kColourTable.end()) {
        return static_cast<std::uint8_t>(found - kColourTable.begin());
    }
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text.front()))) {
        return static_cast<std::uint8_t>(CommandWords::Number(text, 0, kColourCount - 1, "colour"));
    }
    throw UsageError("unknown colour '" + text + "'");
}

// A parser for commands that take on/off and nothing else.
template <bool (MultiviewerSession::*Send)(std::uint8_t)> Action OnOffCommand(CommandWords& words) {
    const std::uint8_t on = CommandWords::OnOff(words.Next("on or off"), "value");
    return [on](MultiviewerRun& run) { return run.Sent((run.unit.*Send)(on)); };
}

Action State(CommandWords&) {
    return [](MultiviewerRun& run) {
        if (!run.ReadState()) {
            return kExitNoAnswer;
        }
        run.context.out << (run.context.options.json ? MultiviewerStateJson(run.State())
                                                     : MultiviewerStateText(run.State()));
        return kExitSuccess;
    };
}

Action Layout(CommandWords& words) {
    const std::string text = words.Next("layout code");
    const int code = CommandWords::Number(text, 0, 255, "layout code");
    // A code the unit has no geometry for leaves every window empty.
    if (ComputeLayoutGeometry(static_cast<std::uint8_t>(code))[0].width == 0) {
        throw UsageError("layout code " + text + " is not a layout of the unit");
    }
    return [code](MultiviewerRun& run) {
        return run.Sent(run.unit.SetLayoutCode(static_cast<std::uint8_t>(code)));
    };
}

Action Source(CommandWords& words) {
    const auto window = words.TakeOption("--window");
    if (!window) {
        throw UsageError("source needs --window N");
    }
    const int windowNumber = WindowNumber(*window, "window");
    const int input = WindowNumber(words.Next("input"), "input");
    return [windowNumber, input](MultiviewerRun& run) { return run.Sent(run.unit.SetWindowSource(windowNumber, input)); };
}

Action Route(CommandWords& words) {
    const auto output = words.TakeOption("--output");
    const std::string first = words.Next("input or one-to-one");
    if (first == "one-to-one") {
        if (output) {
            throw UsageError("route one-to-one takes no --output");
        }
        return [](MultiviewerRun& run) { return run.Sent(run.unit.RouteOneToOne()); };
    }
    if (!output) {
        throw UsageError("route needs --output N");
    }
    const int outputNumber = WindowNumber(*output, "output");
    const int input = WindowNumber(first, "input");
    return [outputNumber, input](MultiviewerRun& run) { return run.Sent(run.unit.SetLoopRoute(outputNumber, input)); };
}

Action Name(CommandWords& words) {
    const int input = WindowNumber(words.Next("input"), "input");
    const std::u16string name = CheckedInputName(words.Next("name"), "name");
    return [input, name](MultiviewerRun& run) { return run.Sent(run.unit.SetInputName(input, name)); };
}

Action Names(CommandWords& words) {
    const std::string verb = words.Next("export or import");
    const std::string file = words.Next("CSV file");
    if (verb == "export") {
        return [file](MultiviewerRun& run) {
            if (!run.ReadState()) {
                return kExitNoAnswer;
            }
            std::ofstream out(file);
            WriteNamesCsv(run.State().inputNames, out);
            out.flush();
            if (!out) {
                run.context.err << "brenvik-ctl: cannot write " << file << '\n';
                return kExitNoAnswer;
            }
            return kExitSuccess;
        };
    }
    if (verb != "import") {
        throw UsageError("unknown names command '" + verb + "' (export or import)");
    }
    std::ifstream in(file);
    if (!in) {
        throw UsageError("cannot read '" + file + "'");
    }
    const auto names = ReadNamesCsv(in, file);
    return [names](MultiviewerRun& run) {
        if (!run.ReadState()) {
            return kExitNoAnswer;
        }
        const MultiviewerState before = run.State();
        bool queued = true;
        int changed = 0;
        for (const auto& [input, name] : names) {
            if (before.inputNames.At(input) == name) {
                continue;
            }
            queued = run.unit.SetInputName(input, name) && queued;
            ++changed;
            run.context.out << "input " << input << ": " << Utf8(name) << " (was "
                            << Utf8(before.inputNames.At(input)) << ")\n";
        }
        if (changed == 0) {
            run.context.out << "every name is as the file has it\n";
        }
        return run.Sent(queued);
    };
}

Action Umd(CommandWords& words) {
    const int window = IndexOrAll(words.Next("window or all"), "window");
    const std::uint8_t on = CommandWords::OnOff(words.Next("on or off"), "value");
    return [window, on](MultiviewerRun& run) { return run.Sent(run.unit.SetUmd(window, on)); };
}

// The six colour fields: which sender, and whether they are set per input or per window.
struct ColourTarget {
    std::string_view name;
    bool (MultiviewerSession::*send)(int, std::uint8_t);
    std::string_view indexOption;
};
constexpr std::array<ColourTarget, 6> kColourTargets{{
    {"umd-text", &MultiviewerSession::SetUmdTextColor, "--input"},
    {"umd-back", &MultiviewerSession::SetUmdBackColor, "--input"},
    {"format-text", &MultiviewerSession::SetFormatTextColor, "--window"},
    {"format-back", &MultiviewerSession::SetFormatBackColor, "--window"},
    {"timecode-text", &MultiviewerSession::SetTimecodeTextColor, "--window"},
    {"timecode-back", &MultiviewerSession::SetTimecodeBackColor, "--window"},
}};

Action ColourCommand(CommandWords& words) {
    const auto inputOption = words.TakeOption("--input");
    const auto windowOption = words.TakeOption("--window");
    const std::string targetName = words.Next("colour target");
    const auto* target = std::find_if(kColourTargets.begin(), kColourTargets.end(),
                                      [&](const ColourTarget& t) { return t.name == targetName; });
    if (target == kColourTargets.end()) {
        throw UsageError("unknown colour target '" + targetName + "'");
    }
    const bool perInput = target->indexOption == "--input";
    if ((perInput && windowOption) || (!perInput && inputOption)) {
        throw UsageError(targetName + " takes " + std::string(target->indexOption) + ", not " +
                         (perInput ? "--window" : "--input"));
    }
    const auto& indexText = perInput ? inputOption : windowOption;
    const int index = indexText ? IndexOrAll(*indexText, perInput ? "input" : "window") : 0;
    const std::uint8_t colour = Colour(words.Next("colour"));
    const auto send = target->send;
    return
        [send, index, colour](MultiviewerRun& run) { return run.Sent((run.unit.*send)(index, colour)); };
}

Action AudioSource(CommandWords& words) {
    const std::string text = words.Next("audio source");
    const int source = text == "off" ? 0 : CommandWords::Number(text, 0, kWindowCount, "audio source");
    return [source](MultiviewerRun& run) {
        return run.Sent(run.unit.SetAudioSource(static_cast<std::uint8_t>(source)));
    };
}

Action Meter(CommandWords& words) {
    const std::string window = words.Next("window or all");
    const int number = window == "all" ? 0 : WindowNumber(window, "window");
    const std::uint8_t on = CommandWords::OnOff(words.Next("on or off"), "value");
    return [number, on](MultiviewerRun& run) { return run.Sent(run.unit.SetMeter(number, on)); };
}

Action MeterChannel(CommandWords& words) {
    const int window = WindowNumber(words.Next("window"), "window");
    const std::string text = words.Next("channel pair");
    int pair = -1;
    for (int p = 0; p < kChannelPairCount; ++p) {
        if (ChannelPairName(static_cast<std::uint8_t>(p)) == text) {
            pair = p;
        }
    }
    if (pair < 0) {
        pair = CommandWords::Number(text, 0, kChannelPairCount - 1, "channel pair");
    }
    return [window, pair](MultiviewerRun& run) {
        return run.Sent(run.unit.SetMeterChannel(window, static_cast<std::uint8_t>(pair)));
    };
}

Action Format(CommandWords& words) {
    const std::string text = words.Next("output format");
    const auto* format = std::find_if(kOutputFormats.begin(), kOutputFormats.end(),
                                      [&](const OutputFormatEntry& f) { return f.text == Lower(text); });
    if (format == kOutputFormats.end()) {
        throw UsageError("unknown output format '" + text + "'");
    }
    const std::uint8_t code = format->code;
    return [code](MultiviewerRun& run) { return run.Sent(run.unit.SetOutputFormat(code)); };
}

// `load default`, `load custom N`, `save custom N`.
template <std::uint8_t CustomOpcode, bool DefaultAllowed> Action Memory(CommandWords& words) {
    const std::string what = words.Next(DefaultAllowed ? "default or custom" : "custom");
    if (DefaultAllowed && what == "default") {
        return [](MultiviewerRun& run) { return run.Sent(run.unit.LoadDefault({}, {})); };
    }
    if (what != "custom") {
        throw UsageError("unknown memory '" + what + "'");
    }
    const int slot =
        CommandWords::Number(words.Next("custom memory 1 or 2"), 1, kCustomSlots, "custom memory");
    return [slot](MultiviewerRun& run) {
        const auto number = static_cast<std::uint8_t>(slot);
        return run.Sent(CustomOpcode == mv_opcode::kLoadCustom ? run.unit.LoadCustom(number, {}, {})
                                                               : run.unit.SaveCustom(number));
    };
}

Action Mode(CommandWords& words) {
    const std::string mode = words.Next("switcher or multiviewer");
    if (mode != "switcher" && mode != "multiviewer") {
        throw UsageError("unknown mode '" + mode + "' (switcher or multiviewer)");
    }
    const std::uint8_t switcher = mode == "switcher" ? 1 : 0;
    return [switcher](MultiviewerRun& run) { return run.Sent(run.unit.SetSwitcherMode(switcher)); };
}

struct CommandEntry {
    std::string_view name;
    Parser parse;
};
constexpr std::array<CommandEntry, 19> kCommands{{
    {"state", &State},
    {"layout", &Layout},
    {"source", &Source},
    {"route", &Route},
    {"name", &Name},
    {"names", &Names},
    {"umd", &Umd},
    {"colour", &ColourCommand},
    {"border", &OnOffCommand<&MultiviewerSession::SetBorder>},
    {"format-status", &OnOffCommand<&MultiviewerSession::SetFormatStatus>},
    {"timecode", &OnOffCommand<&MultiviewerSession::SetTimecode>},
    {"audio-alarm", &OnOffCommand<&MultiviewerSession::SetAudioAlarm>},
    {"audio-source", &AudioSource},
    {"meter", &Meter},
    {"meter-channel", &MeterChannel},
    {"format", &Format},
    {"load", &Memory<mv_opcode::kLoadCustom, true>},
    {"save", &Memory<mv_opcode::kSaveCustom, false>},
    {"mode", &Mode},
}};

} // namespace

int RunMultiviewer(CommandWords& words, const CtlContext& context) {
    const std::string name = words.Next("multiviewer command (mv --help)");
    const auto* command = std::find_if(kCommands.begin(), kCommands.end(),
                                       [&](const CommandEntry& c) { return c.name == name; });
    if (command == kCommands.end()) {
        throw UsageError("unknown multiviewer command '" + name + "'");
    }
    const Action action = command->parse(words);
    words.Finish();
    if (!context.options.unit && !context.options.serialPort) {
        throw UsageError("mv needs --unit ADDRESS or --serial PORT");
    }
    CtlSession session(context.options, context.err);
    if (!session.Open()) {
        return kExitNoAnswer;
    }
    MultiviewerRun run(session, context);
    return action(run);
}

} // namespace brenvik::ctl
