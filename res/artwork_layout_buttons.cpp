#include "res/skin_artwork.h"

#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/preview_placement.h"
#include "res/skin_painter.h"
#include "res/skin_palette.h"

#include <QPainter>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>

namespace brenvik::artwork {
namespace {

constexpr QRgb kPageGround = palette::kPanel;
constexpr QRgb kScreen = palette::kWellDeep;
constexpr QRgb kWindowFill = qRgb(50, 54, 60);
constexpr QRgb kFrame = qRgb(106, 113, 124);
constexpr QRgb kNumber = qRgb(172, 179, 190);
constexpr QRgb kHighlightFrame = palette::kBlueLight;
constexpr QRgb kHighlightNumber = palette::kSelectedSheen;

using Decoration = PreviewPlacement::Decoration;

QRect ToQRect(const PreviewPlacement::Box& box) {
    return {box.x, box.y, box.width, box.height};
}

// The first variant of each window count shows its windows touching; the later variants leave
// gaps between them. A single window always fills the screen.
bool HasGaps(int code) {
    return code > 16 && code % 10 != 0;
}

// Maps canvas units onto the picture's screen, snapping every edge to a whole pixel so that
// neighbouring windows share their edges exactly.
class CanvasMap {
public:
    CanvasMap(const QRect& canvas, const QRect& screen)
        : m_canvas(canvas), m_screen(screen), m_scaleX(static_cast<double>(screen.width()) / canvas.width()),
          m_scaleY(static_cast<double>(screen.height()) / canvas.height()) {}

    QRect Map(const QRect& box) const {
        const int left = X(box.x());
        const int top = Y(box.y());
        return QRect(left, top, X(box.x() + box.width()) - left, Y(box.y() + box.height()) - top);
    }

private:
    int X(int x) const { return m_screen.x() + static_cast<int>(std::lround((x - m_canvas.x()) * m_scaleX)); }
    int Y(int y) const { return m_screen.y() + static_cast<int>(std::lround((y - m_canvas.y()) * m_scaleY)); }

    QRect m_canvas;
    QRect m_screen;
    double m_scaleX;
    double m_scaleY;
};

void DrawClock(QPainter& painter, const QRect& box, QRgb face) {
    const qreal diameter = std::min(box.width(), box.height());
    const QPointF centre = QRectF(box).center();
    const qreal radius = diameter / 2;
    painter.save();
    // A ring of the screen colour parts the clock from any window corner it lies over.
    painter.setPen(QPen(QColor(kScreen), 2.0));
    painter.setBrush(QColor(face));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(QColor(kScreen), std::max(1.2, diameter / 14), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(0, -radius * 0.62));
    painter.drawLine(centre, centre + QPointF(radius * 0.5, 0));
    painter.restore();
}

} // namespace

void DrawLayoutButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    skin.Fill(area, kPageGround);
    const QRect face = FaceArea(area, entry);
    const QRectF plate = skin.ButtonFace(face, 5, false, kPageGround);
    const QRgb frame = entry.selected ? kHighlightFrame : kFrame;
    const QRgb number = entry.selected ? kHighlightNumber : kNumber;
    if (entry.selected) {
        painter.save();
        painter.setPen(QPen(QColor(palette::kBlue), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        painter.restore();
    }

    const auto windows = ComputeLayoutGeometry(static_cast<std::uint8_t>(entry.layoutCode));
    const std::span<const Decoration> decorations = LayoutDecorations(static_cast<std::uint8_t>(entry.layoutCode));

    // The picture shows the part of the output screen that the layout uses, filling the button:
    // the two-row layouts of eight windows leave the top and bottom rows of the screen empty.
    QRect used;
    for (const PreviewRect& window : windows) {
        if (window.width > 0) {
            used |= QRect(window.x, window.y, window.width, window.height);
        }
    }
    for (const Decoration& decoration : decorations) {
        used |= ToQRect(decoration.box);
    }
    if (used.isEmpty()) {
        return;
    }
    constexpr int kScreenInset = 5;
    const QRect screen = face.adjusted(kScreenInset, kScreenInset, -kScreenInset, -kScreenInset);
    skin.Fill(screen, kScreen);
    const CanvasMap map(used, screen);
    const int gap = HasGaps(entry.layoutCode) ? 2 : 0;

    for (const PreviewRect& window : windows) {
        if (window.width == 0) {
            continue;
        }
        const QRect box =
            map.Map(QRect(window.x, window.y, window.width, window.height)).adjusted(gap, gap, -gap, -gap);
        skin.Fill(box, frame);
        skin.Fill(box.adjusted(1, 1, -1, -1), kWindowFill);
        const int size =
            std::clamp(static_cast<int>(std::min(box.height() * 0.5, box.width() * 0.42)), 8, 20);
        skin.Caption(box, QString::number(window.number), size, number, Qt::AlignCenter, 700, 0);
    }
    for (const Decoration& decoration : decorations) {
        const QRect box = map.Map(ToQRect(decoration.box));
        if (decoration.kind == Decoration::Kind::Clock) {
            DrawClock(painter, box, frame);
        } else {
            skin.Fill(box, frame);
        }
    }
}

} // namespace brenvik::artwork
