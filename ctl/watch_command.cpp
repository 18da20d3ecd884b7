#include "ctl/watch_command.h"

#include "ctl/ctl_session.h"
#include "ctl/report_text.h"
#include "ctl/usage_error.h"
#include "link/frame.h"
#include "link/platform/wakeup_event.h"
#include "multiviewer/core/status_report.h"

#include <array>

namespace brenvik::ctl {

namespace {

// How long one wait for a report lasts; a stop ends it at once.
constexpr std::chrono::seconds kReceiveWait{1};

} // namespace

int RunWatch(CommandWords& words, const CtlContext& context) {
    words.Finish();
    if (!context.options.unit) {
        throw UsageError("watch needs --unit ADDRESS (reports arrive over the LAN)");
    }
    CtlSession session(context.options, context.err);
    // Reports arrive on the status port; the command port stays free for other programs.
    if (!session.Open(false)) {
        return kExitNoAnswer;
    }
    const DeviceEntry unit = session.Unit(kTypeMultiviewer);
    auto socket = session.Link().OpenStatusSocket(unit);
    if (!socket) {
        context.err << "brenvik-ctl: cannot listen on status port " << context.options.endpoints.statusPort
                    << '\n';
        return kExitNoAnswer;
    }
    const auto unitAddress = Ipv4Address::Parse(unit.Ip(), 0);
    WakeupEvent stopped;
    const std::stop_callback wakeOnStop(context.hooks.stop, [&stopped] { stopped.Notify(); });
    if (context.hooks.watching) {
        context.hooks.watching();
    }
    std::array<std::uint8_t, kReportBufferSize> buffer{};
    while (!context.hooks.stop.stop_requested()) {
        if (!socket->WaitReadable(kReceiveWait, stopped)) {
            continue;
        }
        Ipv4Address from;
        while (const auto received = socket->Receive(buffer, &from)) {
            const auto report = std::span<const std::uint8_t>(buffer).first(*received);
            // Without an identifier to compare, the unit is known by the address it sends from.
            const bool fromUnit = context.options.unitId ? IsAcceptableReport(report, unit)
                                                         : unitAddress && from.octets == unitAddress->octets;
            const auto line = fromUnit ? ReportLine(report, context.options.json) : std::nullopt;
            if (!line) {
                continue;
            }
            context.out << *line << std::endl;
            if (context.hooks.reportShown) {
                context.hooks.reportShown();
            }
        }
    }
    return kExitSuccess;
}

} // namespace brenvik::ctl
