#include "console_application.h"

#include "res/skin.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyleFactory>

#include <cmath>

namespace brenvik {

std::unique_ptr<QApplication> MakeConsoleApplication(int& argc, char** argv) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    auto application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenvik Rackmount Control"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
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
