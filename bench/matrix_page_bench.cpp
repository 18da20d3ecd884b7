// The matrix page against the simulated switcher: (1) from the state reply leaving the unit to the
// repainted status row, over many REFRESHes that change every key and then one key, and (2) from
// opening the unit to the filled page.
// Prints p50 / p99 / worst of each.
#include "app/console_pages.h"
#include "app/main_window.h"
#include "bench/paint_watch.h"
#include "matrix/ui/matrix_page.h"
#include "sim/matrix_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "tests/support/silent_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

void Print(const char* what, const std::vector<double>& values, int lost, const char* goal) {
    std::printf("%s, %zu runs (%d lost)\n", what, values.size(), lost);
    if (!values.empty()) {
        std::printf("  p50 %.3f ms   p99 %.3f ms   worst %.3f ms   (%s)\n", Percentile(values, 0.50),
                    Percentile(values, 0.99), Percentile(values, 1.0), goal);
    }
}

template <typename Predicate> bool RunUntil(Predicate done, Clock::duration bound) {
    const Clock::time_point deadline = Clock::now() + bound;
    while (!done() && Clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return done();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication application(argc, argv);
    constexpr int kRefreshes = 1000;
    constexpr int kOpenings = 200;

    const brenvik::Endpoints endpoints = brenvik::test::LoopbackEndpoints();
    brenvik::sim::UnitSimulator simulator(endpoints);
    simulator.AddUnit({{127, 0, 0, 51}, brenvik::kTypeMatrixSwitcher, 0x01, {'M', 'X'}, {8, 8, 8, 8}},
                      std::make_unique<brenvik::sim::MatrixModel>());
    if (!simulator.Start()) {
        std::fprintf(stderr, "simulator: %s\n", simulator.StartError().c_str());
        return 1;
    }
    auto& model = *static_cast<brenvik::sim::MatrixModel*>(simulator.Unit(0).Behaviour());

    brenvik::test::SilentDialogs dialogs;
    brenvik::CVARNOLUX_16_VIEWDlg window({endpoints, {96, 96}, &dialogs});
    brenvik::RegisterConsolePages(window);
    window.show();
    brenvik::DeviceEntry entry;
    entry.SetIp("127.0.0.51");
    entry.typeCode = brenvik::kTypeMatrixSwitcher;
    entry.unitAddress = 0x01;
    window.State().devices.At(0) = entry;
    window.State().devices.SetSelectedIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("1003"))->addItem(QStringLiteral("PQT-8"));

    const auto page = [&window] { return qobject_cast<brenvik::CClass_matrix_child*>(window.CurrentPage()); };

    // Opening: the page is created, both queries go out and come back, the page is filled in.
    std::vector<double> openings;
    int openingsLost = 0;
    for (int i = 0; i < kOpenings; ++i) {
        // The link spaces frames 10 ms apart; an operator opens a unit long after the last frame, so
        // each opening starts once the previous one's frames are that far behind.
        const Clock::time_point settled = Clock::now() + std::chrono::milliseconds(20);
        RunUntil([settled] { return Clock::now() >= settled; }, std::chrono::milliseconds(25));
        const Clock::time_point opened = Clock::now();
        window.OpenUnitPage();
        if (page() == nullptr || !RunUntil([&] { return page()->Initialised(); }, std::chrono::seconds(3))) {
            ++openingsLost;
            continue;
        }
        openings.push_back(Milliseconds(Clock::now() - opened));
    }

    brenvik::bench::PaintWatch watch;
    page()->findChild<QWidget*>(QStringLiteral("1128"))->installEventFilter(&watch);
    Clock::time_point rowUpdated{};
    QObject::connect(page(), &brenvik::CClass_matrix_child::statusRowPainted,
                     [&rowUpdated] { rowUpdated = Clock::now(); });
    struct Refreshes {
        std::vector<double> replies;
        std::vector<double> updates;
        std::vector<double> roundTrips;
        int lost = 0;
    };
    // kRefreshes REFRESHes, the unit's routing set by `route` before each; output 1's key, which is
    // watched, must change every time.
    const auto refresh = [&](const std::function<void(int, brenvik::sim::MatrixSettings&)>& route) {
        Refreshes run;
        for (int i = 0; i < kRefreshes; ++i) {
            simulator.Invoke([&] { route(i, model.Settings()); });
            const Clock::time_point pressed = Clock::now();
            page()->OnRefresh();
            if (!RunUntil([&] { return !page()->Reading() && watch.lastPaint > pressed; },
                          std::chrono::seconds(3))) {
                ++run.lost;
                continue;
            }
            Clock::time_point replied{};
            simulator.Invoke([&] { replied = model.LastReplyAt(); });
            run.replies.push_back(Milliseconds(watch.lastPaint - replied));
            run.updates.push_back(Milliseconds(rowUpdated - replied));
            run.roundTrips.push_back(Milliseconds(watch.lastPaint - pressed));
        }
        return run;
    };
    // Every REFRESH routes the unit differently, so every status key has a new picture to paint. The
    // unit starts with output 1 on input 1, so the first REFRESH brings input 2; the last one
    // leaves every output on input 1.
    const Refreshes all = refresh([](int i, brenvik::sim::MatrixSettings& unit) {
        unit.routing.fill(static_cast<std::uint8_t>(1 + (i + 1) % 8));
    });
    // Then output 1 alone moves between inputs 2 and 3: one key changes, seven stay.
    const Refreshes one = refresh([](int i, brenvik::sim::MatrixSettings& unit) {
        unit.routing[0] = static_cast<std::uint8_t>(2 + i % 2);
    });

    Print("opening the unit -> filled page (both queries answered at once)", openings, openingsLost,
          "goal: under 50 ms");
    Print("state reply leaving the unit -> status row repainted", all.replies, all.lost,
          "goal: p99 under 2 ms");
    Print("  of which: reply leaving the unit -> status keys given their pictures", all.updates, all.lost,
          "before the paint");
    Print("REFRESH pressed -> status row repainted", all.roundTrips, all.lost, "for comparison");
    Print("state reply leaving the unit -> status row repainted, one key changed", one.replies, one.lost,
          "goal: p99 under 2 ms");
    Print("  of which: reply leaving the unit -> status keys given their pictures", one.updates, one.lost,
          "before the paint");
    return openingsLost + all.lost + one.lost == 0 ? 0 : 1;
}
