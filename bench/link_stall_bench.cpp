// link_stall_bench: how the console's window and its commands fare while a multiviewer floods its
// status port and keeps replacing its settings.
//
// The console page of a simulated multiviewer is opened as the console opens it. Then, for the
// run's duration, the unit sends 20 000 signal reports a second to the console's status port with a
// "default loaded" report (0x0B) every second, after which the console reads the unit's whole
// state again; meanwhile the UI thread sends an operator command every 20 ms (SetSource, whose
// window and input numbers carry a sequence number modulo 256), and the operator presses Load
// Default a third of the way in and Load Custom 1 two thirds in on the CONTROLS page.
//
//   answering  the unit answers every state query
//   silent     the unit stays silent to state queries (0x0A), so every re-read waits its full time
//
// The flood's signal reports are either applied (windows 0..15 in turn: each one changes the record
// and repaints the preview canvas on the UI thread) or dropped (window index 16: each one still
// crosses to the UI thread and stops at the session's range check), so that the UI thread's cost
// of applying reports can be told apart from what the link costs it.
//
// Figures per run:
//   UI stall         the worst lateness of a 1 ms precise timer on the UI thread (goal < 16 ms)
//   commands         operator actions, frames the sender reported sent, frames that reached the unit,
//                    and how many of them came in sequence (goal: all, in order)
//   action->arrival  from just before the sender is called to the moment the simulated unit took the
//                    datagram from its socket: p50, p99, max (goal: p99 < 15 ms)
//
// Usage: link_stall_bench [--seconds N] [--run answering|silent|both] [--flood applied|dropped]
//        (defaults: 30, both, applied)
#include "app/console_pages.h"
#include "app/main_window.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/ui/console_page.h"
#include "multiviewer/ui/pages/page_type.h"
#include "sim/multiviewer_model.h"
#include "sim/report_flood.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "tests/support/silent_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace brenvik;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::array<std::uint8_t, 4> kUnitId{0x4C, 0x53, 0x42, 0x01};
constexpr std::array<std::uint8_t, 4> kUnitAddress{127, 0, 0, 60};
constexpr int kFloodRate = 20000;
constexpr auto kSettingsReplacedEvery = 1000ms;
constexpr auto kCommandEvery = 20ms;
constexpr auto kTick = 1ms;
constexpr auto kOpenTimeout = 10s;
constexpr auto kArrivalTimeout = 3s;
constexpr double kStallGoalMs = 16.0;
constexpr double kLatencyGoalMs = 15.0;

// The CONTROLS page's Load Default and Load Custom 1 buttons.
constexpr int kLoadDefaultButton = 1052;
constexpr int kLoadCustom1Button = 1121;

// A SetSource frame carries the input at 17 and the window at 18, both 1..16.
constexpr std::size_t kInputAt = 17;
constexpr std::size_t kWindowAt = 18;
constexpr std::size_t kSequenceSpan = 256;

// The k-th operator command: window and input together count k modulo 256.
int WindowOf(std::size_t k) {
    return static_cast<int>(1 + (k / 16) % 16);
}
int InputOf(std::size_t k) {
    return static_cast<int>(1 + k % 16);
}
// Nothing for numbers no operator command of this bench carries.
std::optional<std::size_t> SequenceOf(const Frame& frame) {
    const auto inRange = [](std::uint8_t n) { return n >= 1 && n <= 16; };
    if (!inRange(frame[kWindowAt]) || !inRange(frame[kInputAt])) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(frame[kWindowAt] - 1) * 16 +
           static_cast<std::size_t>(frame[kInputAt] - 1);
}

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

struct RunFigures {
    double worstStallMs = 0.0;
    double p99LatenessMs = 0.0;
    std::size_t ticks = 0;
    std::size_t stallsOverGoal = 0;
    std::size_t scheduled = 0;
    std::size_t actions = 0;
    std::size_t reportedSent = 0;
    std::size_t arrived = 0;
    std::size_t inSequence = 0;
    std::size_t outOfOrder = 0;
    std::size_t stray = 0;
    std::vector<double> latencies;
    std::size_t floodReports = 0;
    std::size_t floodReplaced = 0;
    std::size_t stateQueries = 0;
};

// Matches the SetSource frames the unit received, in arrival order, to the operator's actions.
// Each frame goes to the action with its sequence number nearest the next one expected: the first
// such action at or after it, or an earlier one still unmatched (the frame came out of order); a
// frame with neither is counted as stray.
void MatchArrivals(const std::vector<Frame>& frames, const std::vector<Clock::time_point>& arrivedAt,
                   const std::vector<Clock::time_point>& actedAt, RunFigures& figures) {
    std::vector<bool> matched(actedAt.size(), false);
    std::size_t expected = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Frame& frame = frames[i];
        if (frame.size() <= kWindowAt || frame[frame_offset::kOpcode] != mv_opcode::kSetSource) {
            continue;
        }
        const auto numbered = SequenceOf(frame);
        if (!numbered) {
            ++figures.stray;
            continue;
        }
        const std::size_t sequence = *numbered;
        // The candidate nearer the next action expected wins: usually the very next one.
        std::optional<std::size_t> action;
        const std::size_t ahead = (sequence + kSequenceSpan - expected % kSequenceSpan) % kSequenceSpan;
        if (expected + ahead < actedAt.size()) {
            action = expected + ahead;
        }
        for (std::size_t k = std::min(expected, actedAt.size()); k-- > 0 && expected - k < ahead;) {
            if (!matched[k] && k % kSequenceSpan == sequence) {
                action = k;
                break;
            }
        }
        if (!action) {
            ++figures.stray;
            continue;
        }
        matched[*action] = true;
        ++figures.arrived;
        figures.latencies.push_back(Millis(arrivedAt[i] - actedAt[*action]));
        if (*action == expected) {
            ++figures.inSequence;
        } else if (*action < expected) {
            ++figures.outOfOrder;
        }
        expected = std::max(expected, *action + 1);
    }
}

std::size_t CountOpcode(const std::vector<Frame>& frames, std::uint8_t opcode) {
    return static_cast<std::size_t>(std::count_if(frames.begin(), frames.end(), [opcode](const Frame& f) {
        return f.size() > frame_offset::kOpcode && f[frame_offset::kOpcode] == opcode;
    }));
}

std::optional<RunFigures> RunOnce(bool answering, std::chrono::seconds duration, sim::FloodContent content) {
    const Endpoints endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator simulator(endpoints);
    auto ownedModel = std::make_unique<sim::MultiviewerModel>();
    sim::MultiviewerModel& model = *ownedModel;
    sim::SimulatedUnit& unit =
        simulator.AddUnit({kUnitAddress, kTypeMultiviewer, 0x01, {'M', 'V'}, kUnitId}, std::move(ownedModel));
    if (!simulator.Start()) {
        std::fprintf(stderr, "simulator: %s\n", simulator.StartError().c_str());
        return std::nullopt;
    }

    brenvik::test::SilentDialogs dialogs;
    auto window = std::make_unique<CVARNOLUX_16_VIEWDlg>(ConsoleWindowSetup{endpoints, {96, 96}, &dialogs});
    RegisterConsolePages(*window);
    window->show();
    DeviceEntry entry;
    entry.SetIp("127.0.0.60");
    entry.typeCode = kTypeMultiviewer;
    entry.unitAddress = 0x01;
    entry.unitId = kUnitId;
    window->State().devices.At(0) = entry;
    window->State().devices.SetSelectedIndex(0);
    // The page opens only while the device list holds an item, as after a search.
    window->findChild<QComboBox*>(QStringLiteral("1003"))->addItem(QStringLiteral("MV_127.0.0.60"));
    window->OpenUnitPage();
    auto* page = qobject_cast<CClass_child_main_dlg*>(window->CurrentPage());
    const auto openDeadline = Clock::now() + kOpenTimeout;
    while (page != nullptr && !page->Initialised() && Clock::now() < openDeadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    if (page == nullptr || !page->Initialised() || !page->ReceiverRunning()) {
        std::fprintf(stderr, "the console page did not open with its receiver running\n");
        return std::nullopt;
    }

    simulator.Invoke([&] { model.SetAnswersStateQueries(answering); });
    // Only what the unit receives from here on counts.
    unit.ClearReceived();

    RunFigures figures;
    figures.scheduled = static_cast<std::size_t>(duration / kCommandEvery);
    std::vector<Clock::time_point> actedAt;
    actedAt.reserve(figures.scheduled + 1);
    std::vector<double> lateness;
    lateness.reserve(static_cast<std::size_t>(duration / kTick) + 1);

    sim::ReportFlood flood(unit, {kFloodRate, duration, kSettingsReplacedEvery, content});
    if (!flood.Start()) {
        std::fprintf(stderr, "the flood did not start\n");
        return std::nullopt;
    }

    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kTick);
    std::optional<Clock::time_point> lastTick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const auto now = Clock::now();
        if (lastTick) {
            lateness.push_back(std::max(0.0, Millis(now - *lastTick - kTick)));
        }
        lastTick = now;
    });

    QTimer operatorAction;
    operatorAction.setTimerType(Qt::PreciseTimer);
    operatorAction.setInterval(kCommandEvery);
    QObject::connect(&operatorAction, &QTimer::timeout, &loop, [&] {
        const std::size_t k = actedAt.size();
        actedAt.push_back(Clock::now());
        if (page->Session().SetWindowSource(WindowOf(k), InputOf(k))) {
            ++figures.reportedSent;
        }
    });

    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    end.setInterval(duration);
    QObject::connect(&end, &QTimer::timeout, &loop, [&] {
        tick.stop();
        operatorAction.stop();
        loop.quit();
    });

    // The operator also loads the unit's defaults a third of the way in and custom memory 1 two thirds
    // in, on the CONTROLS page: each load waits 3000 ms and reads the unit again, off the UI thread.
    page->SwitchPage(kPageControls);
    const auto press = [page](int button) {
        if (QWidget* shown = page->ShownSettingPage()) {
            if (auto* control = shown->findChild<QAbstractButton*>(QString::number(button))) {
                control->click();
            }
        }
    };
    QTimer::singleShot(duration / 3, &loop, [&press] { press(kLoadDefaultButton); });
    QTimer::singleShot(duration * 2 / 3, &loop, [&press] { press(kLoadCustom1Button); });

    tick.start();
    operatorAction.start();
    end.start();
    loop.exec();
    flood.Stop();

    // Every frame the sender reported sent is on its way already; wait, bounded, for the last ones.
    const auto arrivalDeadline = Clock::now() + kArrivalTimeout;
    while (CountOpcode(unit.Received(), mv_opcode::kSetSource) < figures.reportedSent &&
           Clock::now() < arrivalDeadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }

    const std::vector<Frame> frames = unit.Received();
    const std::vector<Clock::time_point> arrivedAt = unit.ReceivedAt();
    figures.actions = actedAt.size();
    MatchArrivals(frames, arrivedAt, actedAt, figures);
    figures.stateQueries = CountOpcode(frames, mv_opcode::kQueryState);
    figures.floodReports = flood.ReportsSent();
    figures.floodReplaced = flood.SettingsReplacedSent();
    figures.worstStallMs = lateness.empty() ? 0.0 : *std::max_element(lateness.begin(), lateness.end());
    figures.p99LatenessMs = Percentile(lateness, 0.99);
    figures.ticks = lateness.size();
    figures.stallsOverGoal = static_cast<std::size_t>(
        std::count_if(lateness.begin(), lateness.end(), [](double ms) { return ms >= kStallGoalMs; }));

    // The page stops its receiver as it goes, before the simulator does.
    window.reset();
    return figures;
}

void Print(const char* name, const char* flood, std::chrono::seconds duration, const RunFigures& f) {
    std::printf("run \"%s\" (%lld s): flood %zu signal reports (%s) + %zu \"default loaded\" reports; "
                "%zu state queries reached the unit\n",
                name, static_cast<long long>(duration.count()), f.floodReports, flood, f.floodReplaced,
                f.stateQueries);
    std::printf("  UI stall (worst lateness of a 1 ms timer): %.1f ms   p99 lateness %.2f ms   "
                "%zu of %zu ticks late by %.0f ms or more   (goal: under %.0f ms)\n",
                f.worstStallMs, f.p99LatenessMs, f.stallsOverGoal, f.ticks, kStallGoalMs, kStallGoalMs);
    std::printf(
        "  commands: %zu operator actions (%zu scheduled), %zu reported sent, %zu reached the unit, "
        "%zu of them in order (%zu out of order, %zu stray), %zu never arrived   (goal: all, in order)\n",
        f.actions, f.scheduled, f.reportedSent, f.arrived, f.inSequence, f.outOfOrder, f.stray,
        f.actions - f.arrived);
    std::printf("  action -> arrival at the unit: p50 %.2f ms   p99 %.2f ms   max %.2f ms   (goal: p99 under "
                "%.0f ms)\n",
                Percentile(f.latencies, 0.50), Percentile(f.latencies, 0.99), Percentile(f.latencies, 1.0),
                kLatencyGoalMs);
    std::fflush(stdout);
}

int Usage() {
    std::fprintf(stderr, "usage: link_stall_bench [--seconds N] [--run answering|silent|both] "
                         "[--flood applied|dropped]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication application(argc, argv);

    long seconds = 30;
    std::string only = "both";
    std::string flood = "applied";
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--seconds") && i + 1 < args.size()) {
            seconds = args[++i].toLong();
        } else if (args[i] == QStringLiteral("--run") && i + 1 < args.size()) {
            only = args[++i].toStdString();
        } else if (args[i] == QStringLiteral("--flood") && i + 1 < args.size()) {
            flood = args[++i].toStdString();
        } else {
            return Usage();
        }
    }
    if (seconds <= 0 || (only != "both" && only != "answering" && only != "silent") ||
        (flood != "applied" && flood != "dropped")) {
        return Usage();
    }
    const auto content = flood == "applied" ? sim::FloodContent::Applied : sim::FloodContent::Dropped;
    const std::chrono::seconds duration(seconds);

    int status = 0;
    for (const auto& [name, answering] : {std::pair{"answering", true}, std::pair{"silent", false}}) {
        if (only != "both" && only != name) {
            continue;
        }
        const auto figures = RunOnce(answering, duration, content);
        if (!figures) {
            status = 1;
            continue;
        }
        Print(name, flood.c_str(), duration, *figures);
    }
    return status;
}
