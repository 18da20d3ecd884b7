// brenvik-render-review OUTDIR: writes every picture of the skin (and every registered window
// or page) as a PNG into OUTDIR, so the artwork can be looked at without running the console.

#include "res/skin.h"
#include "tools/render_job_registry.h"
#include "tools/window_render_jobs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>

#include <cstdio>

namespace {

void AddSkinPictures(brenvik::RenderJobRegistry& registry) {
    for (const int number : brenvik::Skin::Numbers()) {
        registry.Add(QStringLiteral("picture_%1").arg(number),
                     [number] { return brenvik::Skin::Picture(number).toImage(); });
    }
}

void AddWindowIcon(brenvik::RenderJobRegistry& registry) {
    const QIcon icon = brenvik::Skin::WindowIcon();
    for (const QSize& size : icon.availableSizes()) {
        registry.Add(QStringLiteral("window_icon_%1").arg(size.width()),
                     [icon, size] { return icon.pixmap(size).toImage(); });
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brenvik-render-review OUTDIR\n");
        return 2;
    }
    // Rendering needs no screen; the offscreen platform gives the same pixels as a real one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Windows are scaled by the console itself, as in the product.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("brenvik-render-review"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    QApplication application(argc, argv);

    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    brenvik::RenderJobRegistry registry;
    AddSkinPictures(registry);
    brenvik::AddWindowRenderJobs(registry);
    AddWindowIcon(registry);

    int failures = 0;
    for (const brenvik::RenderJobRegistry::Job& job : registry.Jobs()) {
        const QString path = QDir(outDir).filePath(job.fileName + QStringLiteral(".png"));
        const QImage image = job.render();
        if (image.isNull() || !image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
            continue;
        }
        std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    }
    return failures == 0 ? 0 : 1;
}
