#include "tools/window_render_jobs.h"

#include "app/console_pages.h"
#include "app/main_window.h"
#include "multiviewer/ui/console_page.h"
#include "sim/demo_rack.h"
#include "sim/loopback_endpoints.h"
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

std::unique_ptr<sim::UnitSimulator> StartUnits(const Endpoints& endpoints, std::uint8_t switcherMode) {
    auto simulator = std::make_unique<sim::UnitSimulator>(endpoints);
    sim::AddDemoRack(*simulator, switcherMode);
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
    const Endpoints endpoints = sim::LoopbackEndpoints(51000).value();
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
    registry.Add(QStringLiteral("console_page_multiviewer_mode_96dpi"), [] {
        return RenderMainWindow({96, 96}, true, 0);
    });
    registry.Add(QStringLiteral("console_page_switcher_mode_96dpi"), [] {
        return RenderMainWindow({96, 96}, true, 1);
    });
    registry.Add(QStringLiteral("console_page_multiviewer_mode_144dpi"), [] {
        return RenderMainWindow({144, 144}, true, 0);
    });
}

} // namespace brenvik
