#include "window_render_jobs.h"

#include "app/console_pages.h"
#include "app/main_window.h"
#include "link/platform/udp_socket.h"
#include "multiviewer/console_page.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <chrono>
#include <memory>

namespace brenvik {

namespace {

// Boxes are answered OK and recorded nowhere: the renderer only looks.
class SilentDialogs : public OperatorDialogs {
public:
    void ShowError(const std::string&) override {}
    void DebugText(const std::string&) override {}
    bool AskWarning(const std::string&) override { return true; }
};

std::uint16_t FreePort(std::uint16_t from) {
    for (std::uint16_t port = from; port < from + 1000; ++port) {
        auto socket = UdpSocket::Create();
        if (socket && socket->Bind(Ipv4Address{{0, 0, 0, 0}, port})) {
            return port;
        }
    }
    return from;
}

Endpoints RenderEndpoints() {
    Endpoints endpoints;
    endpoints.broadcastAddress = "127.255.255.255";
    endpoints.localPort = FreePort(51000);
    endpoints.unitPort = FreePort(static_cast<std::uint16_t>(endpoints.localPort + 1));
    endpoints.statusPort = FreePort(static_cast<std::uint16_t>(endpoints.unitPort + 1));
    return endpoints;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// A multiviewer with names, labels and signals that show off the preview, a matrix switcher and
// a unit without a page, as in the demo.
std::unique_ptr<sim::UnitSimulator> StartUnits(const Endpoints& endpoints, std::uint8_t switcherMode) {
    sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
    settings.switcherMode = switcherMode;
    settings.layoutCode = 100;
    const char16_t* names[] = {u"CAM 1 WIDE", u"CAM 2", u"CAM 3 JIB", u"CAM 4", u"REPLAY A", u"REPLAY B",
                               u"GFX", u"VT 1", u"VT 2", u"REMOTE NORTH", u"SAT 1", u"SAT 2",
                               u"STUDIO B", u"PREVIEW", u"PROGRAM", u"CLEAN FEED"};
    for (int n = 0; n < 16; ++n) {
        settings.inputNames[static_cast<std::size_t>(n)] = names[n];
        settings.windows[static_cast<std::size_t>(n)].signalPresent = n % 5 == 4 ? 0 : 1;
        settings.windows[static_cast<std::size_t>(n)].signalFormat = n % 3 == 0 ? 31 : 23;
    }
    settings.customName = u"OB Truck 2";
    auto simulator = std::make_unique<sim::UnitSimulator>(endpoints);
    simulator->AddUnit({{127, 0, 0, 40}, kTypeMultiviewer, 0x01, Bytes("16CH Monitorgrid"), {1, 0, 0, 40}},
                       std::make_unique<sim::MultiviewerModel>(settings));
    simulator->AddUnit({{127, 0, 0, 41}, kTypeMatrixSwitcher, 0x01, Bytes("PQT0642"), {1, 0, 0, 41}});
    simulator->AddUnit({{127, 0, 0, 42}, 0x90, 0x01, Bytes("PQA-90"), {1, 0, 0, 42}});
    simulator->Start();
    return simulator;
}

template <typename Predicate> void RunUntil(Predicate done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
}

// Builds the main window, optionally searches (which opens the first unit's page), and grabs it.
QImage RenderMainWindow(ScreenScale scale, bool search, std::uint8_t switcherMode) {
    const Endpoints endpoints = RenderEndpoints();
    auto simulator = StartUnits(endpoints, switcherMode);
    SilentDialogs dialogs;
    CVARNOLUX_16_VIEWDlg window({endpoints, scale, &dialogs});
    RegisterConsolePages(window);
    window.show();
    if (search) {
        bool finished = false;
        QObject::connect(&window, &CVARNOLUX_16_VIEWDlg::searchFinished, [&finished] { finished = true; });
        window.SearchUnits();
        RunUntil([&finished] { return finished; }, std::chrono::seconds(5));
        auto* page = qobject_cast<CClass_child_main_dlg*>(window.CurrentPage());
        RunUntil([page] { return page == nullptr || page->Initialised(); }, std::chrono::seconds(5));
    }
    QImage image = window.grab().toImage();
    window.hide();
    return image;
}

} // namespace

void AddWindowRenderJobs(RenderJobRegistry& registry) {
    registry.Add(QStringLiteral("main_window_96dpi"), [] { return RenderMainWindow({96, 96}, false, 0); });
    registry.Add(QStringLiteral("main_window_144dpi"), [] { return RenderMainWindow({144, 144}, false, 0); });
    registry.Add(QStringLiteral("console_page_multiviewer_mode_96dpi"),
                 [] { return RenderMainWindow({96, 96}, true, 0); });
    registry.Add(QStringLiteral("console_page_switcher_mode_96dpi"),
                 [] { return RenderMainWindow({96, 96}, true, 1); });
    registry.Add(QStringLiteral("console_page_multiviewer_mode_144dpi"),
                 [] { return RenderMainWindow({144, 144}, true, 0); });
}

} // namespace brenvik
