// brenvik-render-preview OUTDIR: writes the layout preview of every layout code to PNG files for
// review, with every label, meter and format label on, once with long input names and once with
// short ones, at 96 dpi (a few also at 144 dpi), and the switcher grid.

#include "controls/screen_scale.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_state.h"
#include "multiviewer/core/preview_placement.h"
#include "multiviewer/ui/layout_preview_painter.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <array>
#include <cstdio>
#include <string_view>

namespace {

using brenvik::kWindowCount;
using brenvik::MultiviewerState;
using brenvik::Rgb;

// Every code of the layout table, and 0 and 50, which show no windows.
constexpr std::array<int, 38> kLayoutCodes = {0,  1,  2,  3,  4,  5,   6,   7,   8,   9,   10,  11, 12,
                                              13, 14, 15, 16, 40, 41,  42,  50,  60,  61,  80,  81, 82,
                                              83, 90, 91, 92, 93, 100, 101, 102, 111, 121, 160, 161};
constexpr std::array<int, 6> kHighDpiCodes = {7, 42, 61, 92, 111, 160};

// 12 to 16 characters: longer than every layout's whole-name limit but the largest.
constexpr std::array<std::u16string_view, kWindowCount> kLongNames = {
    u"Studio Camera 1",  u"Studio Camera 2",  u"Presenter Desk",    u"Weather Wall",
    u"Satellite Feed 1", u"Satellite Feed 2", u"Replay Server A",   u"Replay Server B",
    u"Graphics Engine",  u"Teleprompter",     u"Outside Broadcast", u"Remote Studio",
    u"Crane Camera",     u"Steadicam North",  u"Archive Playout",   u"Programme Out",
};

// At most 8 characters: whole in every layout.
constexpr std::array<std::u16string_view, kWindowCount> kShortNames = {
    u"CAM 1", u"CAM 2",  u"DESK",   u"WEATHER", u"SAT 1", u"SAT 2",  u"REPLAY A", u"REPLAY B",
    u"GFX",   u"PROMPT", u"OB VAN", u"REMOTE",  u"CRANE", u"STEADI", u"ARCHIVE",  u"PGM",
};

constexpr std::array<std::u16string_view, 4> kFormatTexts = {u"1080p60", u"No Signal", u"1080psf25",
                                                             u"720p50"};

// Label colours from the unit's colour table: white, black, yellow, light cyan, red, light green.
constexpr std::array<Rgb, 6> kLabelColours = {
    {{255, 255, 255}, {0, 0, 0}, {255, 255, 0}, {224, 255, 255}, {255, 0, 0}, {144, 238, 144}}};
constexpr std::array<Rgb, 6> kLabelBacks = {
    {{0, 0, 255}, {255, 255, 224}, {0, 0, 0}, {152, 152, 152}, {182, 182, 182}, {219, 112, 147}}};

MultiviewerState ReviewState(int code, const std::array<std::u16string_view, kWindowCount>& names) {
    MultiviewerState state;
    state.layoutCode = static_cast<std::uint8_t>(code);
    state.windowRects = brenvik::ComputeLayoutGeometry(state.layoutCode);
    state.umdAllOn = 1;
    state.meterAllOn = 1;
    state.formatStatusOn = 1;
    state.borderOn = 1;
    for (int n = 1; n <= kWindowCount; ++n) {
        const auto k = static_cast<std::size_t>(n - 1);
        // Windows show inputs in another order than their numbers, so a wrong lookup shows.
        state.windowSource.At(n) = static_cast<std::uint8_t>((n * 5) % kWindowCount + 1);
        state.inputNames.At(n) = std::u16string(names[k]);
        state.umdOn.At(n) = 1;
        state.meterOn.At(n) = 1;
        state.formatTexts.At(n) = std::u16string(kFormatTexts[k % kFormatTexts.size()]);
        state.umdTextRgb.At(n) = kLabelColours[k % kLabelColours.size()];
        state.umdBackRgb.At(n) = kLabelBacks[k % kLabelBacks.size()];
        state.formatTextRgb.At(n) = kLabelColours[(k + 2) % kLabelColours.size()];
        state.formatBackRgb.At(n) = kLabelBacks[(k + 2) % kLabelBacks.size()];
    }
    return state;
}

bool Save(const QImage& image, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brenvik-render-preview OUTDIR\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    const brenvik::LayoutPreviewPainter painter96(brenvik::ScreenScale{96, 96});
    const brenvik::LayoutPreviewPainter painter144(brenvik::ScreenScale{144, 144});
    bool written = true;
    for (const int code : kLayoutCodes) {
        written &= Save(painter96.Render(ReviewState(code, kLongNames)), dir,
                        QStringLiteral("layout_%1_long_96.png").arg(code, 3, 10, QLatin1Char('0')));
        written &= Save(painter96.Render(ReviewState(code, kShortNames)), dir,
                        QStringLiteral("layout_%1_short_96.png").arg(code, 3, 10, QLatin1Char('0')));
    }
    for (const int code : kHighDpiCodes) {
        written &= Save(painter144.Render(ReviewState(code, kLongNames)), dir,
                        QStringLiteral("layout_%1_long_144.png").arg(code, 3, 10, QLatin1Char('0')));
    }

    MultiviewerState switcher = ReviewState(42, kLongNames);
    for (int output = 1; output <= kWindowCount; ++output) {
        switcher.loopRoute.At(output) = static_cast<std::uint8_t>(kWindowCount + 1 - output);
    }
    switcher.switcherCells = brenvik::ComputeSwitcherCells(switcher.loopRoute);
    using brenvik::PreviewKind;
    written &=
        Save(painter96.Render(switcher, PreviewKind::SwitcherGrid), dir, QStringLiteral("switcher_96.png"));
    written &=
        Save(painter144.Render(switcher, PreviewKind::SwitcherGrid), dir, QStringLiteral("switcher_144.png"));
    return written ? 0 : 1;
}
