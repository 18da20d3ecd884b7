// Times one full paint of the layout preview into its cached image for every layout code, with
// every UMD label, meter and format label on and long names, at 96 and 144 dpi. Prints each code's
// median paint, then per dpi the median paint over all codes and the worst code's median.
// Goals: median below 1 ms, worst code below 3 ms.

#include "controls/screen_scale.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_state.h"
#include "multiviewer/ui/layout_preview_painter.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<int, 36> kLayoutCodes = {1,  2,  3,  4,  5,  6,   7,   8,   9,   10,  11,  12,
                                              13, 14, 15, 16, 40, 41,  42,  60,  61,  80,  81,  82,
                                              83, 90, 91, 92, 93, 100, 101, 102, 111, 121, 160, 161};
constexpr int kWarmUpPaints = 10;
constexpr int kTimedPaints = 300;

brenvik::MultiviewerState BusyState(int code) {
    brenvik::MultiviewerState state;
    state.layoutCode = static_cast<std::uint8_t>(code);
    state.windowRects = brenvik::ComputeLayoutGeometry(state.layoutCode);
    state.umdAllOn = 1;
    state.meterAllOn = 1;
    state.formatStatusOn = 1;
    state.borderOn = 1;
    for (int n = 1; n <= brenvik::kWindowCount; ++n) {
        state.windowSource.At(n) = static_cast<std::uint8_t>(n);
        const std::string name = "Studio Camera " + std::to_string(n);
        state.inputNames.At(n) = std::u16string(name.begin(), name.end());
        state.umdOn.At(n) = 1;
        state.meterOn.At(n) = 1;
        state.formatTexts.At(n) = u"1080psf25";
        state.umdTextRgb.At(n) = {255, 255, 255};
        state.umdBackRgb.At(n) = {0, 0, 255};
        state.formatTextRgb.At(n) = {255, 255, 0};
        state.formatBackRgb.At(n) = {0, 0, 0};
    }
    return state;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void MeasureAt(int dpi) {
    const brenvik::LayoutPreviewPainter painter(brenvik::ScreenScale{dpi, dpi});
    QImage canvas;
    std::vector<double> allPaints;
    double worstMedian = 0;
    int worstCode = 0;
    std::printf("%d dpi (%dx%d canvas)\n", dpi, painter.CanvasSize().width(), painter.CanvasSize().height());
    for (const int code : kLayoutCodes) {
        const brenvik::MultiviewerState state = BusyState(code);
        for (int k = 0; k < kWarmUpPaints; ++k) {
            painter.Paint(state, brenvik::PreviewKind::Layout, canvas);
        }
        std::vector<double> paints;
        for (int k = 0; k < kTimedPaints; ++k) {
            const Clock::time_point start = Clock::now();
            painter.Paint(state, brenvik::PreviewKind::Layout, canvas);
            paints.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        const double median = Median(paints);
        std::printf("  layout %3d: median %.3f ms, slowest paint %.3f ms\n", code, median,
                    *std::max_element(paints.begin(), paints.end()));
        if (median > worstMedian) {
            worstMedian = median;
            worstCode = code;
        }
        allPaints.insert(allPaints.end(), paints.begin(), paints.end());
    }
    std::printf("  %d dpi: median paint %.3f ms (goal < 1 ms); worst code %d at %.3f ms (goal < 3 ms)\n", dpi,
                Median(allPaints), worstCode, worstMedian);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    MeasureAt(96);
    MeasureAt(144);
    return 0;
}
