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

// What the main window shows when it is grabbed.
enum class Shown {
    Empty,           // as it starts
    ReadingUnit,     // the search has opened the first unit, whose state is still being read
    OpenedUnit,      // the first unit's page, filled in
    UnitWithoutPage, // the unit of a type this console has no page for, chosen in the list
};

// Builds the main window, searches and opens what `shown` asks for, and grabs it.
QImage RenderMainWindow(ScreenScale scale, Shown shown, std::uint8_t switcherMode) {
    const Endpoints endpoints = sim::LoopbackEndpoints(51000).value();
    auto simulator = StartUnits(endpoints, switcherMode);
    SilentDialogs dialogs;
    CVARNOLUX_16_VIEWDlg window({endpoints, scale, &dialogs});
    RegisterConsolePages(window);
    window.show();
    if (shown != Shown::Empty) {
        bool finished = false;
        QObject::connect(&window, &CVARNOLUX_16_VIEWDlg::searchFinished, [&finished] { finished = true; });
        window.SearchUnits();
        RunUntil([&finished] { return finished; }, std::chrono::seconds(5));
    }
    if (shown == Shown::OpenedUnit) {
        auto* page = qobject_cast<CClass_child_main_dlg*>(window.CurrentPage());
        RunUntil([page] { return page == nullptr || page->Initialised(); }, std::chrono::seconds(5));
    }
    if (shown == Shown::UnitWithoutPage) {
        auto* list = window.findChild<QComboBox*>(QStringLiteral("1003"));
        const int last = list->count() - 1;
        list->setCurrentIndex(last);
        emit list->activated(last);
        QCoreApplication::processEvents();
    }
    QImage image = window.grab().toImage();
    window.hide();
    return image;
}

} // namespace

void AddWindowRenderJobs(RenderJobRegistry& registry) {
    for (const auto& [name, scale] :
         {std::pair{"96dpi", ScreenScale{96, 96}}, std::pair{"144dpi", ScreenScale{144, 144}}}) {
        const QString suffix = QString::fromLatin1(name);
        const ScreenScale at = scale;
        registry.Add(QStringLiteral("main_window_") + suffix,
                     [at] { return RenderMainWindow(at, Shown::Empty, 0); });
        registry.Add(QStringLiteral("main_window_unit_without_page_") + suffix,
                     [at] { return RenderMainWindow(at, Shown::UnitWithoutPage, 0); });
        registry.Add(QStringLiteral("console_page_reading_unit_") + suffix,
                     [at] { return RenderMainWindow(at, Shown::ReadingUnit, 0); });
        registry.Add(QStringLiteral("console_page_multiviewer_mode_") + suffix,
                     [at] { return RenderMainWindow(at, Shown::OpenedUnit, 0); });
        registry.Add(QStringLiteral("console_page_switcher_mode_") + suffix,
                     [at] { return RenderMainWindow(at, Shown::OpenedUnit, 1); });
    }
}

} // namespace brenvik
