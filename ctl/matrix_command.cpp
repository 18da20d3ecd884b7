#include "ctl/matrix_command.h"

#include "ctl/ctl_session.h"
#include "ctl/json_object.h"
#include "ctl/usage_error.h"
#include "ctl/utf8_text.h"
#include "link/task_queue.h"
#include "matrix/core/matrix_backlight.h"
#include "matrix/core/matrix_session.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <sstream>

namespace brenvik::ctl {

namespace {

constexpr int kPorts = static_cast<int>(kMatrixPorts);

// One run against the unit: the console's matrix session on the program's own link, its results
// run by this thread from `queue`.
struct MatrixRun {
    MatrixRun(TaskQueue& queue, CtlSession& session, const CtlContext& context)
        : queue(queue), session(session), context(context) {
        devices.At(0) = session.Unit(kTypeMatrixSwitcher);
        devices.SetSelectedIndex(0);
    }

    int Routed(RoutingOutcome outcome) {
        if (outcome != RoutingOutcome::Sent || !session.Flush() || session.LinkComplained()) {
            context.err << "brenvik-ctl: the routing could not be sent\n";
            return kExitNoAnswer;
        }
        return kExitSuccess;
    }
    int Sent(bool queued) {
        if (!queued || !session.Flush() || session.LinkComplained()) {
            context.err << "brenvik-ctl: the command could not be sent\n";
            return kExitNoAnswer;
        }
        return kExitSuccess;
    }

    TaskQueue& queue;
    CtlSession& session;
    const CtlContext& context;
    DeviceTable devices;
    // Starts unlocked: the window console's lock is the operator's and does not hold here; a state
    // reply sets it to what the unit says, for the status to show.
    bool locked = false;
    MatrixSession matrix{session.Link(), devices, locked, queue};
};

// Notes which of the unit's replies reached the session.
struct RepliesHeard : MatrixObserver {
    void MatrixChanged(const MatrixChange& change) override {
        state = state || change.field == MatrixField::Routing;
        backlight = backlight || change.field == MatrixField::Backlight;
    }
    bool state = false;
    bool backlight = false;
};

using Action = std::function<int(MatrixRun&)>;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

MatrixOutputs Outputs(const std::string& list) {
    MatrixOutputs outputs;
    std::istringstream items(list);
    for (std::string item; std::getline(items, item, ',');) {
        outputs.set(static_cast<std::size_t>(CommandWords::Number(item, 1, kPorts, "output") - 1));
    }
    if (outputs.none() || list.back() == ',') {
        throw UsageError("outputs '" + list + "' must be numbers 1..8 separated by commas");
    }
    return outputs;
}

Action Route(CommandWords& words) {
    const std::string first = words.Next("input or one-to-one");
    if (first == "one-to-one") {
        return [](MatrixRun& run) { return run.Routed(run.matrix.OneToOne()); };
    }
    const auto input = static_cast<std::uint8_t>(CommandWords::Number(first, 1, kPorts, "input"));
    const std::string outputs = words.Next("outputs (e.g. 1,4,8 or all)");
    if (outputs == "all") {
        return [input](MatrixRun& run) { return run.Routed(run.matrix.OneToAll(input)); };
    }
    const MatrixOutputs set = Outputs(outputs);
    return [input, set](MatrixRun& run) { return run.Routed(run.matrix.Apply(input, set)); };
}

std::string BacklightTimeName(std::uint8_t value) {
    const auto position = BacklightTimePosition(value);
    return position ? std::string(kBacklightTimeTexts[static_cast<std::size_t>(*position)])
                    : std::to_string(value);
}

std::string StatusText(const MatrixSession& matrix, bool locked) {
    const MatrixModel& model = matrix.Model();
    std::string text = "routing:      ";
    for (int output = 1; output <= kPorts; ++output) {
        text += " " + std::to_string(output) + "<" +
                std::to_string(model.statusRouting[static_cast<std::size_t>(output - 1)]);
    }
    text += "\nlock:          " + std::string(locked ? "locked" : "unlocked");
    text += "\naddress mode:  " + std::string(matrix.AddressMode() == 1 ? "dhcp" : "static");
    text += "\nname:          " + (matrix.Name() ? Utf8(*matrix.Name()) : std::string());
    text += "\nbacklight:     " + BacklightTimeName(model.backlightTime) + ", brightness " +
            std::to_string(model.backlightBrightness) + "\n";
    return text;
}

std::string StatusJson(const MatrixSession& matrix, bool locked) {
    const MatrixModel& model = matrix.Model();
    std::vector<std::string> routing;
    for (std::uint8_t input : model.statusRouting) {
        routing.push_back(std::to_string(input));
    }
    const auto timeKnown = BacklightTimePosition(model.backlightTime);
    return JsonObject()
               .Raw("routing", JsonArray(routing))
               .Bool("locked", locked)
               .Bool("dhcp", matrix.AddressMode() == 1)
               .Raw("name", matrix.Name() ? JsonQuote(Utf8(*matrix.Name())) : "null")
               .Raw("backlight",
                    JsonObject()
                        .Number("time", model.backlightTime)
                        .Raw("timeText",
                             timeKnown ? JsonQuote(BacklightTimeName(model.backlightTime)) : "null")
                        .Number("brightness", model.backlightBrightness)
                        .Json())
               .Json() +
           "\n";
}

Action Status(CommandWords&) {
    return [](MatrixRun& run) {
        bool finished = false;
        run.matrix.ReadUnit({}, [&finished](bool) { finished = true; });
        // Watched from here on: the backlight that the read started from zero is not a reply.
        RepliesHeard heard;
        run.matrix.AddObserver(heard);
        run.queue.RunUntil([&finished] { return finished; }, kLinkReportBound);
        run.matrix.RemoveObserver(heard);
        if (!heard.state) {
            run.context.err << "brenvik-ctl: the unit did not answer the state query\n";
            return kExitNoAnswer;
        }
        if (!heard.backlight) {
            run.context.err << "brenvik-ctl: the unit did not answer the backlight query\n";
            return kExitNoAnswer;
        }
        run.context.out << (run.context.options.json ? StatusJson(run.matrix, run.locked)
                                                     : StatusText(run.matrix, run.locked));
        return kExitSuccess;
    };
}

Action Backlight(CommandWords& words) {
    const std::string setting = words.Next("time or brightness");
    const std::string value = words.Next("backlight value");
    if (setting == "brightness") {
        const auto brightness =
            static_cast<std::uint8_t>(CommandWords::Number(value, 0, kBrightnessMax, "brightness"));
        return
            [brightness](MatrixRun& run) { return run.Sent(run.matrix.SetBacklightBrightness(brightness)); };
    }
    if (setting != "time") {
        throw UsageError("unknown backlight setting '" + setting + "' (time or brightness)");
    }
    const auto* text =
        std::find_if(kBacklightTimeTexts.begin(), kBacklightTimeTexts.end(),
                     [&](std::string_view t) { return Lower(std::string(t)) == Lower(value); });
    const auto time =
        text != kBacklightTimeTexts.end()
            ? static_cast<std::uint8_t>(text - kBacklightTimeTexts.begin())
            : static_cast<std::uint8_t>(CommandWords::Number(
                  value, 0, static_cast<int>(kBacklightTimeTexts.size()) - 1, "backlight time"));
    return [time](MatrixRun& run) { return run.Sent(run.matrix.SetBacklightTime(time)); };
}

struct CommandEntry {
    std::string_view name;
    Action (*parse)(CommandWords&);
};
constexpr std::array<CommandEntry, 3> kCommands{{
    {"route", &Route},
    {"status", &Status},
    {"backlight", &Backlight},
}};

} // namespace

int RunMatrix(CommandWords& words, const CtlContext& context) {
    const std::string name = words.Next("matrix command (mx --help)");
    const auto* command = std::find_if(kCommands.begin(), kCommands.end(),
                                       [&](const CommandEntry& c) { return c.name == name; });
    if (command == kCommands.end()) {
        throw UsageError("unknown matrix command '" + name + "'");
    }
    const Action action = command->parse(words);
    words.Finish();
    if (!context.options.unit && !context.options.serialPort) {
        throw UsageError("mx needs --unit ADDRESS or --serial PORT");
    }
    // Before the link: the link thread may post to it until the link has stopped.
    TaskQueue queue;
    CtlSession session(context.options, context.err);
    if (!session.Open()) {
        return kExitNoAnswer;
    }
    MatrixRun run(queue, session, context);
    return action(run);
}

} // namespace brenvik::ctl
