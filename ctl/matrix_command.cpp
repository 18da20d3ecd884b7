#include "ctl/matrix_command.h"

#include "ctl/ctl_session.h"
#include "ctl/json_object.h"
#include "ctl/usage_error.h"
#include "ctl/utf8_text.h"
#include "link/await_completion.h"
#include "matrix/core/matrix_backlight.h"
#include "matrix/core/matrix_queries.h"
#include "matrix/core/matrix_routing.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <sstream>

namespace brenvik::ctl {

namespace {

constexpr int kPorts = static_cast<int>(kMatrixPorts);

struct MatrixRun {
    CtlSession& session;
    const CtlContext& context;
    DeviceEntry unit;
    MatrixModel model;

    int Routed(RoutingOutcome outcome) {
        if (outcome != RoutingOutcome::Sent || !session.Flush() || session.LinkComplained()) {
            context.err << "brenvik-ctl: the routing could not be sent\n";
            return kExitNoAnswer;
        }
        return kExitSuccess;
    }
    int Sent() {
        if (!session.Flush() || session.LinkComplained()) {
            context.err << "brenvik-ctl: the command could not be sent\n";
            return kExitNoAnswer;
        }
        return kExitSuccess;
    }
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
        return [](MatrixRun& run) {
            return run.Routed(MatrixOneToOne(run.session.Link(), run.unit, run.model));
        };
    }
    const auto input = static_cast<std::uint8_t>(CommandWords::Number(first, 1, kPorts, "input"));
    const std::string outputs = words.Next("outputs (e.g. 1,4,8 or all)");
    if (outputs == "all") {
        return [input](MatrixRun& run) {
            return run.Routed(MatrixOneToAll(run.session.Link(), run.unit, run.model, input));
        };
    }
    const MatrixOutputs set = Outputs(outputs);
    return [input, set](MatrixRun& run) {
        return run.Routed(MatrixApply(run.session.Link(), run.unit, run.model, input, set));
    };
}

std::string BacklightTimeName(std::uint8_t value) {
    const auto position = BacklightTimePosition(value);
    return position ? std::string(kBacklightTimeTexts[static_cast<std::size_t>(*position)])
                    : std::to_string(value);
}

std::string StatusText(const MatrixStateReply& state, const BacklightReply& backlight) {
    std::string text = "routing:      ";
    for (int output = 1; output <= kPorts; ++output) {
        text += " " + std::to_string(output) + "<" +
                std::to_string(state.routing[static_cast<std::size_t>(output - 1)]);
    }
    text += "\nlock:          " + std::string(state.locked ? "locked" : "unlocked");
    text += "\naddress mode:  " + std::string(state.addressMode == 1 ? "dhcp" : "static");
    text += "\nname:          " + (state.name ? Utf8(*state.name) : std::string());
    text += "\nbacklight:     " + BacklightTimeName(backlight.time) + ", brightness " +
            std::to_string(backlight.brightness) + "\n";
    return text;
}

std::string StatusJson(const MatrixStateReply& state, const BacklightReply& backlight) {
    std::vector<std::string> routing;
    for (std::uint8_t input : state.routing) {
        routing.push_back(std::to_string(input));
    }
    const auto timeKnown = BacklightTimePosition(backlight.time);
    return JsonObject()
               .Raw("routing", JsonArray(routing))
               .Bool("locked", state.locked)
               .Bool("dhcp", state.addressMode == 1)
               .Raw("name", state.name ? JsonQuote(Utf8(*state.name)) : "null")
               .Raw("backlight",
                    JsonObject()
                        .Number("time", backlight.time)
                        .Raw("timeText", timeKnown ? JsonQuote(BacklightTimeName(backlight.time)) : "null")
                        .Number("brightness", backlight.brightness)
                        .Json())
               .Json() +
           "\n";
}

Action Status(CommandWords&) {
    return [](MatrixRun& run) {
        const auto state = AwaitCompletion<MatrixStateRead>(
            [&](auto done) { QueryMatrixState(run.session.Link(), run.unit, {}, std::move(done)); },
            kLinkReportBound);
        if (!state || !state->reply) {
            run.context.err << "brenvik-ctl: the unit did not answer the state query\n";
            return kExitNoAnswer;
        }
        const auto backlight = AwaitCompletion<BacklightRead>(
            [&](auto done) { QueryBacklight(run.session.Link(), run.unit, {}, std::move(done)); },
            kLinkReportBound);
        if (!backlight || !backlight->reply) {
            run.context.err << "brenvik-ctl: the unit did not answer the backlight query\n";
            return kExitNoAnswer;
        }
        run.context.out << (run.context.options.json ? StatusJson(*state->reply, *backlight->reply)
                                                     : StatusText(*state->reply, *backlight->reply));
        return kExitSuccess;
    };
}

Action Backlight(CommandWords& words) {
    const std::string setting = words.Next("time or brightness");
    const std::string value = words.Next("backlight value");
    if (setting == "brightness") {
        const auto brightness =
            static_cast<std::uint8_t>(CommandWords::Number(value, 0, kBrightnessMax, "brightness"));
        return [brightness](MatrixRun& run) {
            SetBacklightBrightness(run.session.Link(), run.unit, false, brightness);
            return run.Sent();
        };
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
    return [time](MatrixRun& run) {
        SetBacklightTime(run.session.Link(), run.unit, false, time);
        return run.Sent();
    };
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
    CtlSession session(context.options, context.err);
    if (!session.Open()) {
        return kExitNoAnswer;
    }
    MatrixRun run{session, context, session.Unit(kTypeMatrixSwitcher), {}};
    return action(run);
}

} // namespace brenvik::ctl
