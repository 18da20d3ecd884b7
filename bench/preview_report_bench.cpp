// From a layout report sent by the simulated multiviewer to the repainted preview of the console
// page: the whole road through the status socket, the receiver thread, the session on the UI
// thread, the geometry, the canvas and the widget's paint. Prints p50 / p99 / worst over many reports.
#include "app/console_pages.h"
#include "app/main_window.h"
#include "bench/paint_watch.h"
#include "link/platform/udp_socket.h"
#include "multiviewer/ui/console_page.h"
#include "multiviewer/ui/layout_preview.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "tests/support/silent_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication application(argc, argv);
    constexpr int kReports = 2000;

    const brenvik::Endpoints endpoints = brenvik::test::LoopbackEndpoints();
    brenvik::sim::UnitSimulator simulator(endpoints);
    simulator.AddUnit({{127, 0, 0, 50}, brenvik::kTypeMultiviewer, 0x01, {'M', 'V'}, {7, 7, 7, 7}},
                      std::make_unique<brenvik::sim::MultiviewerModel>());
    if (!simulator.Start()) {
        std::fprintf(stderr, "simulator: %s\n", simulator.StartError().c_str());
        return 1;
    }

    brenvik::test::SilentDialogs dialogs;
    brenvik::CVARNOLUX_16_VIEWDlg window({endpoints, {96, 96}, &dialogs});
    brenvik::RegisterConsolePages(window);
    window.show();
    brenvik::DeviceEntry entry;
    entry.SetIp("127.0.0.50");
    entry.typeCode = brenvik::kTypeMultiviewer;
    entry.unitAddress = 0x01;
    entry.unitId = {7, 7, 7, 7};
    window.State().devices.At(0) = entry;
    window.State().devices.SetSelectedIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("1003"))->addItem(QStringLiteral("MV"));
    window.OpenUnitPage();
    auto* page = qobject_cast<brenvik::CClass_child_main_dlg*>(window.CurrentPage());
    while (page != nullptr && !page->Initialised()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    if (page == nullptr || !page->ReceiverRunning()) {
        std::fprintf(stderr, "the console page did not start its receiver\n");
        return 1;
    }

    brenvik::bench::PaintWatch watch;
    page->Preview().installEventFilter(&watch);
    auto& model = *static_cast<brenvik::sim::MultiviewerModel*>(simulator.Unit(0).Behaviour());
    const std::uint8_t codes[] = {80, 90, 160, 42, 111, 60};

    std::vector<double> latencies;
    latencies.reserve(kReports);
    int lost = 0;
    for (int i = 0; i < kReports; ++i) {
        const std::uint8_t code = codes[i % std::size(codes)];
        const Clock::time_point sent = Clock::now();
        simulator.Invoke([&] {
            const std::uint8_t values[] = {code};
            model.SendReport(simulator.Unit(0), 0x33, values);
        });
        const Clock::time_point deadline = sent + std::chrono::seconds(1);
        while ((window.State().multiviewer.State().layoutCode != code || watch.lastPaint < sent) &&
               Clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        if (window.State().multiviewer.State().layoutCode != code || watch.lastPaint < sent) {
            ++lost;
            continue;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(watch.lastPaint - sent).count());
    }

    if (latencies.empty()) {
        std::printf("no report reached the preview\n");
        return 1;
    }
    std::printf("layout report -> repainted preview, %zu reports (%d lost)\n", latencies.size(), lost);
    std::printf("  p50 %.3f ms   p99 %.3f ms   worst %.3f ms   (goal: p99 under 5 ms)\n",
                Percentile(latencies, 0.50), Percentile(latencies, 0.99), Percentile(latencies, 1.0));
    return 0;
}
