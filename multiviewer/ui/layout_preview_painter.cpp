#include "multiviewer/ui/layout_preview_painter.h"

#include "multiviewer/core/layout_geometry.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QString>

#include <algorithm>

namespace brenvik {

namespace {

// DejaVu Sans Mono, sized so one character advances 8 canvas units: the label offsets of the
// layouts (c - 4 L centres a name of L characters) count on that advance.
constexpr const char* kFontFamily = "DejaVu Sans Mono";
constexpr int kCharacterAdvance = 8;
constexpr int kLargestFontPixels = 96;

QColor ToColor(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QFont PreviewFont(const ScreenScale& scale) {
    QFont font(QString::fromLatin1(kFontFamily));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setKerning(false);
    const int advance = std::max(1, scale.X(kCharacterAdvance));
    for (int pixels = 1; pixels <= kLargestFontPixels; ++pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(QLatin1Char('0')) >= advance) {
            break;
        }
    }
    return font;
}

void FillBox(QPainter& painter, const QRect& box, const Rgb& color) {
    if (box.width() > 0 && box.height() > 0) {
        painter.fillRect(box, ToColor(color));
    }
}

} // namespace

LayoutPreviewPainter::LayoutPreviewPainter(ScreenScale scale) : m_scale(scale), m_font(PreviewFont(scale)) {}

QSize LayoutPreviewPainter::CanvasSize() const {
    return m_scale.Size(kCanvasWidth, kCanvasHeight);
}

QRect LayoutPreviewPainter::Scaled(const PreviewPlacement::Box& box) const {
    return m_scale.Rect(box.x, box.y, box.width, box.height);
}

QImage LayoutPreviewPainter::Render(const MultiviewerState& state, PreviewKind kind) const {
    QImage image;
    Paint(state, kind, image);
    return image;
}

void LayoutPreviewPainter::Paint(const MultiviewerState& state, PreviewKind kind, QImage& target) const {
    const QSize size = CanvasSize();
    if (target.size() != size || target.format() != QImage::Format_RGB32) {
        target = QImage(size, QImage::Format_RGB32);
    }
    const PreviewPlacement placement = PlacePreview(state, kind);

    QPainter painter(&target);
    painter.setFont(m_font);
    FillBox(painter, QRect(QPoint(0, 0), size), kCanvasBackground);
    for (int k = 0; k < placement.windowCount; ++k) {
        const PreviewPlacement::Window& window = placement.windows[static_cast<std::size_t>(k)];
        FillBox(painter, Scaled(window.frame), window.frameColor);
        FillBox(painter, Scaled(window.inside), kWindowInside);
        WriteText(painter, window.number);
        WriteText(painter, window.umd);
        if (window.meterShown) {
            FillBox(painter, Scaled(window.meter), kFrameBlue);
        }
        WriteText(painter, window.format);
    }
    for (int k = 0; k < placement.decorationCount; ++k) {
        PaintDecoration(painter, placement.decorations[static_cast<std::size_t>(k)]);
    }
}

void LayoutPreviewPainter::WriteText(QPainter& painter, const PreviewPlacement::Text& text) const {
    if (!text.shown || text.text.empty()) {
        return;
    }
    painter.setFont(m_font);
    const QString string = QString::fromStdU16String(text.text);
    const QFontMetrics metrics = painter.fontMetrics();
    const int x = m_scale.X(text.x);
    const int y = m_scale.Y(text.y);
    if (text.opaque) {
        FillBox(painter, QRect(x, y, metrics.horizontalAdvance(string), metrics.height()), text.backColor);
    }
    painter.setPen(ToColor(text.textColor));
    painter.drawText(QPoint(x, y + metrics.ascent()), string);
}

void LayoutPreviewPainter::PaintDecoration(QPainter& painter,
                                           const PreviewPlacement::Decoration& decoration) const {
    const PreviewPlacement::Box& box = decoration.box;
    if (decoration.kind == PreviewPlacement::Decoration::Kind::Bar) {
        FillBox(painter, Scaled(box), kFrameBlue);
        return;
    }
    const QRect bounds = Scaled(box);
    if (bounds.width() <= 1 || bounds.height() <= 1) {
        return;
    }
    // An aliased outline covers one pixel beyond the right and bottom of its rectangle; the clock
    // keeps within its box.
    painter.setPen(QPen(Qt::black, m_scale.X(1)));
    painter.setBrush(ToColor(kFrameBlue));
    painter.drawEllipse(bounds.adjusted(0, 0, -1, -1));
    painter.setBrush(Qt::NoBrush);

    const int centreX = box.x + box.width / 2;
    const int centreY = box.y + box.height / 2;
    const QPoint centre = m_scale.Point(centreX, centreY);
    painter.drawLine(centre, m_scale.Point(centreX, centreY - PreviewPlacement::kClockHandLength));
    painter.drawLine(centre, m_scale.Point(centreX + PreviewPlacement::kClockHandLength, centreY));
}

} // namespace brenvik
