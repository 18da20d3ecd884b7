#include "app/console_application.h"

#include "controls/accessible_list.h"
#include "res/skin.h"
#include "res/skin_palette.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QStyleFactory>

#include <cmath>

namespace brenvik {

namespace {

// The console's dark greys and blue for everything the skin does not paint itself: message boxes,
// the About box, the device list's pop-up.
QPalette ConsolePalette() {
    const QColor window(palette::kBase);
    const QColor field(palette::kField);
    const QColor button(palette::kPanel);
    const QColor text(palette::kFieldText);
    const QColor accent(palette::kBlue);
    QPalette colours;
    colours.setColor(QPalette::Window, window);
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::Base, field);
    colours.setColor(QPalette::AlternateBase, button);
    colours.setColor(QPalette::Text, text);
    colours.setColor(QPalette::Button, button);
    colours.setColor(QPalette::ButtonText, text);
    colours.setColor(QPalette::Highlight, accent);
    colours.setColor(QPalette::HighlightedText, text);
    colours.setColor(QPalette::ToolTipBase, field);
    colours.setColor(QPalette::ToolTipText, text);
    colours.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    colours.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    colours.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    return colours;
}

} // namespace

std::unique_ptr<QApplication> MakeConsoleApplication(int& argc, char** argv) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    auto application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenvik Rackmount Control"));
    // Ties the windows to the menu entry the package installs, for the desktop's task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brenvik.RackmountControl"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(ConsolePalette());
    QApplication::setWindowIcon(Skin::WindowIcon());
    AccessibleList::Install();
    return application;
}

ScreenScale PrimaryScreenScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    return {static_cast<int>(std::lround(screen->logicalDotsPerInchX())),
            static_cast<int>(std::lround(screen->logicalDotsPerInchY()))};
}

} // namespace brenvik
