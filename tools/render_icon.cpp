// brenvik-render-icon OUTDIR NAME: writes the console's icon into an icon theme tree,
// OUTDIR/SIZExSIZE/apps/NAME.png for every size the window icon is drawn at. The build runs it,
// so the desktop's icon and the window's icon are one drawing.

#include "res/skin.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: brenvik-render-icon OUTDIR NAME\n");
        return 2;
    }
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (const int size : brenvik::Skin::IconSizes()) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(folder, name);
        if (!QDir().mkpath(folder) || !brenvik::Skin::IconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "brenvik-render-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
