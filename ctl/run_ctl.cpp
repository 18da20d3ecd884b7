#include "ctl/run_ctl.h"

#include "ctl/command_words.h"
#include "ctl/ctl_context.h"
#include "ctl/ctl_help.h"
#include "ctl/ctl_options.h"
#include "ctl/discover_command.h"
#include "ctl/matrix_command.h"
#include "ctl/multiviewer_command.h"
#include "ctl/usage_error.h"
#include "ctl/watch_command.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace brenvik::ctl {

namespace {

struct Room {
    std::string_view name;
    int (*run)(CommandWords&, const CtlContext&);
};
constexpr std::array<Room, 4> kRooms{{
    {"discover", &RunDiscover},
    {"mv", &RunMultiviewer},
    {"mx", &RunMatrix},
    {"watch", &RunWatch},
}};

} // namespace

int RunCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CtlHooks& hooks) {
    try {
        const CtlOptions options = ParseCtlOptions(args);
        if (options.man) {
            out << ManPage();
            return kExitSuccess;
        }
        CommandWords words(options.words);
        const std::string roomName = words.Peek();
        const auto* room =
            std::find_if(kRooms.begin(), kRooms.end(), [&](const Room& r) { return r.name == roomName; });
        if (options.help) {
            // The help of the deepest level named; an unknown word still gets the program's help.
            out << HelpText(room == kRooms.end() ? std::string_view() : room->name);
            return kExitSuccess;
        }
        if (roomName.empty()) {
            throw UsageError(words.Empty() ? "missing command (try --help)"
                                           : "unknown option '" + options.words.front() + "'");
        }
        if (room == kRooms.end()) {
            throw UsageError("unknown command '" + roomName + "' (try --help)");
        }
        words.Next("command");
        const CtlContext context{options, out, err, hooks};
        return room->run(words, context);
    } catch (const UsageError& error) {
        err << "brenvik-ctl: " << error.what() << '\n';
        return kExitUsage;
    }
}

} // namespace brenvik::ctl
