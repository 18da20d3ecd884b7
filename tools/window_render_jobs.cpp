#include "tools/window_render_jobs.h"

#include "app/configure_dialog.h"
#include "app/console_pages.h"
#include "app/main_window.h"
#include "matrix/ui/matrix_page.h"
#include "multiviewer/ui/console_page.h"
#include "multiviewer/ui/pages/page_type.h"
#include "sim/demo_rack.h"
#include "sim/loopback_endpoints.h"
#include "sim/matrix_model.h"
#include "sim/multiviewer_model.h"
#include "sim/unit_simulator.h"
#include "tests/support/silent_dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include <chrono>
#include <memory>

namespace brenvik {

namespace {

// Boxes are answered OK and recorded nowhere: the renderer only looks.
using test::SilentDialogs;

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
    if (shown == Shown::ReadingUnit) {
        // The demo's multiviewer (its first unit) keeps silent to state queries, so the page is
        // grabbed in its read whatever the machine's speed.
        auto* multiviewer = static_cast<sim::MultiviewerModel*>(simulator->Unit(0).Behaviour());
        simulator->Invoke([multiviewer] { multiviewer->SetAnswersStateQueries(false); });
    }
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

// The matrix page of the demo's "PQT0642" in the state `scene` names: "idle" (nothing selected),
// "marked" (input 3 with outputs 1, 4 and 8 marked), "one_to_all" (input 5 everywhere), "locked"
// (the console locked, an input pressed in vain) or "reading" (the unit still being read).
QImage RenderMatrixPage(ScreenScale scale, const QString& scene) {
    const Endpoints endpoints = sim::LoopbackEndpoints(51000).value();
    auto simulator = StartUnits(endpoints, 0);
    const bool reading = scene == QStringLiteral("reading");
    if (reading) {
        // The demo's switcher (its second unit) keeps silent, so the page stays in its read.
        auto* switcher = static_cast<sim::MatrixModel*>(simulator->Unit(1).Behaviour());
        simulator->Invoke([switcher] { switcher->Fault() = sim::MatrixReplyFault::Silent; });
    }
    SilentDialogs dialogs;
    CVARNOLUX_16_VIEWDlg window({endpoints, scale, &dialogs});
    RegisterConsolePages(window);
    window.show();
    DeviceEntry matrix;
    matrix.SetIp("127.0.0.11");
    matrix.typeCode = kTypeMatrixSwitcher;
    matrix.unitAddress = 0x01;
    window.State().devices.At(0) = matrix;
    window.State().devices.SetSelectedIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("1003"))->addItem(QStringLiteral("PQT-8_127.0.0.11"));
    window.OpenUnitPage();
    auto* page = qobject_cast<CClass_matrix_child*>(window.CurrentPage());
    if (page != nullptr && !reading) {
        RunUntil([page] { return page->Initialised(); }, std::chrono::seconds(5));
        if (scene == QStringLiteral("marked")) {
            page->SelectInput(3);
            for (const std::uint8_t output : {1, 4, 8}) {
                page->ToggleOutput(output);
            }
        } else if (scene == QStringLiteral("one_to_all")) {
            page->SelectInput(5);
            page->OnOneToAll();
        } else if (scene == QStringLiteral("locked")) {
            window.ToggleLock();
            page->SelectInput(2);
        }
    }
    RunUntil([] { return false; }, std::chrono::milliseconds(50));
    QImage image = window.grab().toImage();
    window.hide();
    return image;
}

// The connection page over nothing: on the LAN with a unit selected and a static address, or on the
// serial line with the DHCP address mode.
QImage RenderConfigurePage(ScreenScale scale, bool serial) {
    SilentDialogs dialogs;
    ConsoleState state(sim::LoopbackEndpoints(51200).value(), dialogs);
    DeviceEntry unit;
    unit.SetIp("192.168.1.100");
    unit.typeCode = kTypeMultiviewer;
    state.devices.At(0) = unit;
    state.devices.SetSelectedIndex(0);
    state.networkDhcp = serial ? 1 : 0;
    state.link.SetMode(serial ? LinkMode::Serial : LinkMode::Lan);
    state.baudRateChoice = 4;
    CClass_configure_argc_dlg page(state, dialogs, scale, {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyS1"});
    page.show();
    RunUntil([] { return false; }, std::chrono::milliseconds(50));
    QImage image = page.grab().toImage();
    page.hide();
    return image;
}

// The console window with the demo's multiviewer open on setting page `pageType`. With
// `layoutGroups`, instead, the LAYOUT page alone once per entry of its window-count list, in a
// 3 x 3 sheet, so that every layout button is seen.
QImage RenderSettingPage(ScreenScale scale, std::uint8_t pageType, bool layoutGroups = false) {
    const Endpoints endpoints = sim::LoopbackEndpoints(51000).value();
    auto simulator = StartUnits(endpoints, pageType == kPageSwitcher ? 1 : 0);
    SilentDialogs dialogs;
    CVARNOLUX_16_VIEWDlg window({endpoints, scale, &dialogs});
    RegisterConsolePages(window);
    window.show();
    bool finished = false;
    QObject::connect(&window, &CVARNOLUX_16_VIEWDlg::searchFinished, [&finished] { finished = true; });
    window.SearchUnits();
    RunUntil([&finished] { return finished; }, std::chrono::seconds(5));
    auto* console = qobject_cast<CClass_child_main_dlg*>(window.CurrentPage());
    if (console == nullptr) {
        return {};
    }
    RunUntil([console] { return console->Initialised(); }, std::chrono::seconds(5));
    console->SwitchPage(pageType);
    RunUntil([] { return false; }, std::chrono::milliseconds(50));
    QImage image;
    QWidget* page = console->ShownSettingPage();
    if (!layoutGroups || page == nullptr) {
        image = window.grab().toImage();
    } else {
        auto* counts = page->findChild<QComboBox*>(QStringLiteral("1074"));
        const QSize cell = page->size();
        image = QImage(cell.width() * 3, cell.height() * 3, QImage::Format_RGB32);
        QPainter sheet(&image);
        for (int entry = 0; entry < counts->count(); ++entry) {
            counts->setCurrentIndex(entry);
            emit counts->activated(entry);
            sheet.drawImage(QPoint(cell.width() * (entry % 3), cell.height() * (entry / 3)),
                            page->grab().toImage());
        }
    }
    window.hide();
    return image;
}

} // namespace

void AddWindowRenderJobs(RenderJobRegistry& registry) {
    for (const int dpi : {96, 144}) {
        const ScreenScale at{dpi, dpi};
        const QString suffix = QStringLiteral("_%1dpi").arg(dpi);
        registry.Add(QStringLiteral("layout_page") + suffix,
                     [at] { return RenderSettingPage(at, kPageLayout); });
        registry.Add(QStringLiteral("layout_page_groups") + suffix,
                     [at] { return RenderSettingPage(at, kPageLayout, true); });
        registry.Add(QStringLiteral("umd_page") + suffix,
                     [at] { return RenderSettingPage(at, kPageUmdOverlay); });
        registry.Add(QStringLiteral("routing_page") + suffix,
                     [at] { return RenderSettingPage(at, kPageSwitcher); });
        registry.Add(QStringLiteral("colour_page") + suffix,
                     [at] { return RenderSettingPage(at, kPageColors); });
        registry.Add(QStringLiteral("audio_page") + suffix,
                     [at] { return RenderSettingPage(at, kPageAudio); });
        registry.Add(QStringLiteral("settings_page") + suffix,
                     [at] { return RenderSettingPage(at, kPageControls); });
    }
    for (const int dpi : {96, 144}) {
        for (const bool serial : {false, true}) {
            const QString name = QStringLiteral("configure_page_%1_%2dpi")
                                     .arg(QLatin1String(serial ? "serial" : "lan"))
                                     .arg(dpi);
            registry.Add(name, [dpi, serial] { return RenderConfigurePage({dpi, dpi}, serial); });
        }
    }
    for (const char* scene : {"idle", "marked", "one_to_all", "locked", "reading"}) {
        for (const int dpi : {96, 144}) {
            const QString name = QStringLiteral("matrix_page_%1_%2dpi").arg(QLatin1String(scene)).arg(dpi);
            const QString shown = QLatin1String(scene);
            registry.Add(name, [dpi, shown] { return RenderMatrixPage({dpi, dpi}, shown); });
        }
    }
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
