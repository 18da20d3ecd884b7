#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/preview_placement.h"
#include "multiviewer/ui/layout_preview.h"
#include "multiviewer/ui/layout_preview_painter.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <QTest>

#include <string>

namespace brenvik {
namespace {

constexpr ScreenScale k96{96, 96};
constexpr ScreenScale k144{144, 144};
constexpr Rgb kLabelBack{255, 0, 255};
constexpr Rgb kLabelText{255, 255, 255};

QRgb Pixel(const Rgb& rgb) {
    return qRgb(rgb.red, rgb.green, rgb.blue);
}

MultiviewerState PreviewState(int code) {
    MultiviewerState state;
    state.layoutCode = static_cast<std::uint8_t>(code);
    state.windowRects = ComputeLayoutGeometry(state.layoutCode);
    for (int n = 1; n <= kWindowCount; ++n) {
        state.windowSource.At(n) = static_cast<std::uint8_t>(n);
        const std::string name = "Umd_" + std::to_string(n);
        state.inputNames.At(n) = std::u16string(name.begin(), name.end());
        state.formatTexts.At(n) = u"1080p30";
        state.umdBackRgb.At(n) = kLabelBack;
        state.umdTextRgb.At(n) = kLabelText;
    }
    return state;
}

MultiviewerState LabelledState(int code) {
    MultiviewerState state = PreviewState(code);
    state.umdAllOn = 1;
    for (int n = 1; n <= kWindowCount; ++n) {
        state.umdOn.At(n) = 1;
    }
    return state;
}

class LayoutPreviewImage : public testing::Test {
protected:
    // True when `image` shows exactly `text` in its box at the canvas point: writing the same text
    // again over a copy changes no pixel. A label's box must also end where its colour ends.
    testing::AssertionResult ShowsText(const QImage& image, const std::u16string& text, int x, int y,
                                       const Rgb& textColor, const Rgb& backColor) const {
        QImage copy = image.copy();
        {
            QPainter painter(&copy);
            m_painter.WriteText(painter, {true, x, y, text, textColor, backColor, true});
        }
        if (copy != image) {
            return testing::AssertionFailure() << "the text at " << x << ", " << y << " differs";
        }
        return testing::AssertionSuccess();
    }

    testing::AssertionResult ShowsLabel(const QImage& image, const std::u16string& text, int x, int y) const {
        testing::AssertionResult shown = ShowsText(image, text, x, y, kLabelText, kLabelBack);
        if (!shown) {
            return shown;
        }
        const int advance = QFontMetrics(m_painter.Font()).horizontalAdvance(QString::fromStdU16String(text));
        const QPoint boxTop(m_scale.X(x), m_scale.Y(y));
        if (image.pixel(boxTop + QPoint(advance - 1, 0)) != Pixel(kLabelBack) ||
            image.pixel(boxTop + QPoint(advance, 0)) == Pixel(kLabelBack)) {
            return testing::AssertionFailure()
                   << "the label at " << x << ", " << y << " is not " << advance << " pixels wide";
        }
        return testing::AssertionSuccess();
    }

    QRgb CanvasPixel(const QImage& image, int x, int y) const {
        return image.pixel(m_scale.X(x), m_scale.Y(y));
    }

    ScreenScale m_scale = k96;
    LayoutPreviewPainter m_painter{k96};
};

TEST_F(LayoutPreviewImage, FramesAreBlueWithBordersAndGreyWithoutInsidesAndNumbersUnchanged) {
    MultiviewerState state = PreviewState(40);
    state.borderOn = 1;
    const QImage blue = m_painter.Render(state);
    state.borderOn = 0;
    const QImage grey = m_painter.Render(state);

    for (const auto& [x, y] :
         {std::pair{360, 0}, std::pair{361, 120}, std::pair{0, 479}, std::pair{719, 300}}) {
        EXPECT_EQ(CanvasPixel(blue, x, y), Pixel(kFrameBlue)) << x << ", " << y;
        EXPECT_EQ(CanvasPixel(grey, x, y), Pixel(kFrameGrey)) << x << ", " << y;
    }
    EXPECT_EQ(CanvasPixel(blue, 400, 20), Pixel(kWindowInside));
    EXPECT_EQ(CanvasPixel(grey, 400, 20), Pixel(kWindowInside));
    // Window 2's number "2" sits at c - 5, y + h / 2 - 5 on the inside colour.
    EXPECT_TRUE(ShowsText(blue, u"2", 535, 115, kFrameBlue, kWindowInside));
    EXPECT_TRUE(ShowsText(grey, u"2", 535, 115, kFrameBlue, kWindowInside));
    const QRect inside = m_scale.Rect(362, 2, 356, 236);
    EXPECT_EQ(blue.copy(inside), grey.copy(inside));
}

TEST_F(LayoutPreviewImage, WindowWithItsUmdSwitchedOffHasNoLabel) {
    MultiviewerState state = LabelledState(40);
    state.umdOn.At(3) = 0;
    const QImage image = m_painter.Render(state);

    // Short names go to c - 100, y + h - 30 in layout 40.
    EXPECT_TRUE(ShowsLabel(image, u"Umd_1", 80, 210));
    EXPECT_TRUE(ShowsLabel(image, u"Umd_2", 440, 210));
    EXPECT_TRUE(ShowsLabel(image, u"Umd_4", 440, 450));
    EXPECT_EQ(CanvasPixel(image, 80, 450), Pixel(kWindowInside));
    EXPECT_EQ(CanvasPixel(image, 90, 455), Pixel(kWindowInside));
}

TEST_F(LayoutPreviewImage, Layout80CutsANineCharacterName) {
    MultiviewerState state = LabelledState(80);
    state.inputNames.At(6) = u"ABCDEFGHI";
    const QImage image = m_painter.Render(state);

    // Window 6 at 180, 240: c = 270, cut names at c - 48, y + h - 23.
    EXPECT_TRUE(ShowsLabel(image, u"ABCDEFGH...", 222, 337));
}

TEST_F(LayoutPreviewImage, Layout60BigWindowShowsATwelveCharacterNameWhole) {
    MultiviewerState state = LabelledState(60);
    state.inputNames.At(1) = u"Camera North";
    const QImage image = m_painter.Render(state);

    // Window 1 is 480 x 320: c = 240, long names whole at c - 5 L, y + h - 40.
    EXPECT_TRUE(ShowsLabel(image, u"Camera North", 180, 280));
}

TEST_F(LayoutPreviewImage, Layout42ShowsItsClockWithEveryFlagOff) {
    const QImage image = m_painter.Render(PreviewState(42));

    EXPECT_EQ(CanvasPixel(image, 330, 270), Pixel(kFrameBlue));
    EXPECT_EQ(CanvasPixel(image, 390, 210), Pixel(kFrameBlue));
    EXPECT_EQ(CanvasPixel(image, 360, 220), qRgb(0, 0, 0)); // hand up
    EXPECT_EQ(CanvasPixel(image, 380, 240), qRgb(0, 0, 0)); // hand right
    EXPECT_EQ(CanvasPixel(image, 360, 260), Pixel(kFrameBlue));
    EXPECT_EQ(CanvasPixel(image, 300, 240), qRgb(0, 0, 0)); // outline
    EXPECT_EQ(CanvasPixel(image, 419, 240), qRgb(0, 0, 0));
    EXPECT_EQ(CanvasPixel(image, 360, 180), qRgb(0, 0, 0));
    EXPECT_EQ(CanvasPixel(image, 420, 240), Pixel(kCanvasBackground));
    EXPECT_EQ(CanvasPixel(image, 302, 182), Pixel(kCanvasBackground));
}

TEST_F(LayoutPreviewImage, Layout7ShowsOneWindowNumbered7WithTheNameOfItsSource) {
    MultiviewerState state = LabelledState(7);
    state.windowSource.At(7) = 12;
    state.inputNames.At(12) = u"Input Twelve";
    const QImage image = m_painter.Render(state);

    EXPECT_TRUE(ShowsText(image, u"7", 355, 235, kFrameBlue, kWindowInside));
    EXPECT_TRUE(ShowsLabel(image, u"Input Twelve", 220, 420));
    EXPECT_EQ(CanvasPixel(image, 0, 0), Pixel(kFrameGrey));
    EXPECT_EQ(CanvasPixel(image, 719, 479), Pixel(kFrameGrey));
    EXPECT_EQ(CanvasPixel(image, 180, 120), Pixel(kWindowInside));
    EXPECT_EQ(CanvasPixel(image, 360, 120), Pixel(kWindowInside));
}

TEST_F(LayoutPreviewImage, UnknownLayoutShowsOnlyTheBackground) {
    for (const int code : {0, 50}) {
        const QImage image = m_painter.Render(LabelledState(code));
        QImage background(image.size(), QImage::Format_RGB32);
        background.fill(QColor(152, 152, 152));
        EXPECT_EQ(image, background) << "layout " << code;
    }
}

TEST_F(LayoutPreviewImage, SwitcherPageShowsTheGridOfLoopOutputs) {
    MultiviewerState state = LabelledState(42);
    for (int output = 1; output <= kWindowCount; ++output) {
        state.loopRoute.At(output) = static_cast<std::uint8_t>(17 - output);
    }
    state.switcherCells = ComputeSwitcherCells(state.loopRoute);
    const QImage image = m_painter.Render(state, PreviewKind::SwitcherGrid);

    for (int k = 0; k < kWindowCount; ++k) {
        const int x = 180 * (k % 4);
        const int y = 120 * (k / 4);
        SCOPED_TRACE(testing::Message() << "cell " << k);
        EXPECT_EQ(CanvasPixel(image, x, y), Pixel(kFrameBlue));
        EXPECT_EQ(CanvasPixel(image, x + 179, y + 119), Pixel(kFrameBlue));
        EXPECT_EQ(CanvasPixel(image, x + 10, y + 10), Pixel(kWindowInside));
        const std::string source = std::to_string(16 - k);
        EXPECT_TRUE(ShowsText(image, std::u16string(source.begin(), source.end()), x + 85, y + 55, kFrameBlue,
                              kWindowInside));
    }
    // No layout beneath: neither layout 42's clock nor its labels.
    EXPECT_EQ(CanvasPixel(image, 330, 270), Pixel(kWindowInside));
}

class LayoutPreviewImage144 : public LayoutPreviewImage {
protected:
    LayoutPreviewImage144() {
        m_scale = k144;
        m_painter = LayoutPreviewPainter(k144);
    }
};

TEST_F(LayoutPreviewImage144, CanvasIs1080By720WithEveryNumberScaledAndTruncated) {
    MultiviewerState state = LabelledState(41);
    state.borderOn = 1;
    const QImage image = m_painter.Render(state);

    EXPECT_EQ(image.size(), QSize(1080, 720));
    // Window 1 of layout 41 is drawn at 40, 25 (pixels 60, 37), its inside at 42, 27 (63, 40).
    EXPECT_EQ(image.pixel(60, 37), Pixel(kFrameBlue));
    EXPECT_EQ(image.pixel(59, 37), Pixel(kCanvasBackground));
    EXPECT_EQ(image.pixel(60, 36), Pixel(kCanvasBackground));
    EXPECT_EQ(image.pixel(62, 40), Pixel(kFrameBlue));
    EXPECT_EQ(image.pixel(63, 39), Pixel(kFrameBlue));
    EXPECT_EQ(image.pixel(63, 40), Pixel(kWindowInside));
    // Layout 41 writes short names at c - 100, y + h + 2: window 2 at 400 + 152 - 100, 25 + 190 + 2.
    EXPECT_TRUE(ShowsLabel(image, u"Umd_2", 452, 217));
    EXPECT_EQ(QFontMetrics(m_painter.Font()).horizontalAdvance(QLatin1Char('W')), 12);
}

TEST(LayoutPreviewWidget, RedrawRepaintsTheCacheFromTheRecordAndPaintsItWhole) {
    MultiviewerState state = LabelledState(40);
    LayoutPreview preview(nullptr, state, k144);
    EXPECT_EQ(preview.size(), QSize(1080, 720));
    EXPECT_EQ(preview.Canvas(), LayoutPreviewPainter(k144).Render(LabelledState(40)));

    state.layoutCode = 160;
    state.windowRects = ComputeLayoutGeometry(state.layoutCode);
    preview.Redraw();

    const QImage expected = LayoutPreviewPainter(k144).Render(state);
    EXPECT_EQ(preview.Canvas(), expected);
    EXPECT_EQ(preview.grab().toImage().convertToFormat(QImage::Format_RGB32), expected);
}

// The preview shows the layout or the switcher grid as it is told, the record being the same; telling
// it the kind it shows already costs no paint.
TEST(LayoutPreviewWidget, ShowSwitchesBetweenTheLayoutAndTheSwitcherGrid) {
    MultiviewerState state = LabelledState(40);
    state.switcherCells = ComputeSwitcherCells(state.loopRoute);
    LayoutPreview preview(nullptr, state, k96);
    EXPECT_EQ(preview.Kind(), PreviewKind::Layout);
    const LayoutPreviewPainter painter(k96);
    for (const PreviewKind kind : {PreviewKind::SwitcherGrid, PreviewKind::Layout}) {
        preview.Show(kind);
        EXPECT_EQ(preview.Kind(), kind);
        EXPECT_EQ(preview.Canvas(), painter.Render(state, kind));
        const int paints = preview.PaintCount();
        preview.Show(kind);
        EXPECT_EQ(preview.Canvas(), painter.Render(state, kind));
        EXPECT_EQ(preview.PaintCount(), paints);
    }
    EXPECT_NE(painter.Render(state, PreviewKind::SwitcherGrid), painter.Render(state, PreviewKind::Layout));
}

// A burst of redraw requests (a flood of reports, a refresh that redraws after each step) costs one
// paint of the canvas, made when the widget is next painted.
TEST(LayoutPreviewWidget, ManyRedrawRequestsPaintTheCanvasOnce) {
    MultiviewerState state = LabelledState(40);
    LayoutPreview preview(nullptr, state, k96);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview.PaintCount() >= 1; }));
    const int before = preview.PaintCount();
    for (int i = 0; i < 50; ++i) {
        state.umdOn.At(1 + i % 16) = static_cast<std::uint8_t>(i % 2);
        preview.Redraw();
    }
    EXPECT_EQ(preview.PaintCount(), before);
    preview.repaint();
    EXPECT_EQ(preview.PaintCount(), before + 1);
    EXPECT_EQ(preview.Canvas(), LayoutPreviewPainter(k96).Render(state));
    EXPECT_EQ(preview.PaintCount(), before + 1);
}

TEST(LayoutPreviewWidget, PreviewAt96DpiIsTheCanvasSize) {
    const MultiviewerState state = PreviewState(0);
    const LayoutPreview preview(nullptr, state, k96);
    EXPECT_EQ(preview.size(), QSize(720, 480));
}

} // namespace
} // namespace brenvik
