#include "console_application.h"

#include "res/skin.h"

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
    const QColor window(46, 49, 54);
    const QColor field(58, 58, 58);
    const QColor button(57, 60, 65);
    const QColor text(255, 255, 255);
    const QColor accent(0, 136, 208);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, field);
    palette.setColor(QPalette::AlternateBase, button);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, button);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, text);
    palette.setColor(QPalette::ToolTipBase, field);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    return palette;
}

} // namespace

std::unique_ptr<QApplication> MakeConsoleApplication(int& argc, char** argv) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    auto application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenvik Rackmount Control"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(ConsolePalette());
    QApplication::setWindowIcon(Skin::WindowIcon());
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
