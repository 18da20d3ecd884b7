#include "res/skin_painter.h"

#include "res/skin_palette.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace brenvik {

void SkinPainter::Fill(const QRectF& area, QRgb colour) {
    m_painter.fillRect(area, QColor(colour));
}

void SkinPainter::VerticalGradient(const QRectF& area, QRgb top, QRgb bottom) {
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0.0, QColor(top));
    gradient.setColorAt(1.0, QColor(bottom));
    m_painter.fillRect(area, gradient);
}

void SkinPainter::Plate(const QRectF& area, qreal radius, QRgb top, QRgb bottom, QRgb edge, QRgb sheen) {
    m_painter.save();
    // Half-pixel insets put the one-pixel lines on whole pixels, so the outline stays crisp.
    const QRectF outline = area.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0.0, QColor(top));
    gradient.setColorAt(1.0, QColor(bottom));
    m_painter.setPen(QPen(QColor(edge), 1.0));
    m_painter.setBrush(gradient);
    m_painter.drawRoundedRect(outline, radius, radius);

    QPainterPath inner;
    inner.addRoundedRect(area.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
    m_painter.setClipPath(inner);
    m_painter.setPen(QPen(QColor(sheen), 1.0));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawLine(QPointF(area.left() + radius, area.top() + 1.5),
                       QPointF(area.right() - radius, area.top() + 1.5));
    m_painter.restore();
}

void SkinPainter::Well(const QRectF& area, qreal radius, QRgb fill, QRgb edge) {
    m_painter.save();
    m_painter.setPen(QPen(QColor(edge), 1.0));
    m_painter.setBrush(QColor(fill));
    m_painter.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    QPainterPath inner;
    inner.addRoundedRect(area.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    m_painter.setClipPath(inner);
    QLinearGradient shade(area.topLeft(), area.topLeft() + QPointF(0, 6));
    shade.setColorAt(0.0, QColor(palette::kEdgeDark));
    shade.setColorAt(1.0, QColor(qRed(fill), qGreen(fill), qBlue(fill), 0));
    m_painter.fillRect(QRectF(area.left(), area.top(), area.width(), 6), shade);
    m_painter.restore();
}

QRectF SkinPainter::ButtonFace(const QRectF& area, qreal radius, bool selected, QRgb ground) {
    Fill(area, ground);
    const QRectF plate = area.adjusted(1, 1, -1, -1);
    if (selected) {
        Plate(plate, radius, palette::kBlueLight, palette::kBlueDeep, palette::kBlueEdge,
              palette::kSelectedSheen);
    } else {
        Plate(plate, radius, palette::kPlateTop, palette::kPlateBottom, palette::kEdgeDark,
              palette::kEdgeLight);
    }
    return plate;
}

void SkinPainter::Lamp(const QPointF& centre, bool lit) {
    m_painter.save();
    if (lit) {
        Glow(centre, 8, palette::kCaption, 120);
    }
    m_painter.setPen(QPen(QColor(lit ? palette::kBlueEdge : palette::kEdgeDark), 1.0));
    m_painter.setBrush(QColor(lit ? palette::kCaption : palette::kLampOff));
    m_painter.drawEllipse(centre, 3.5, 3.5);
    m_painter.restore();
}

void SkinPainter::GlyphBesideCaption(const QRectF& area, SkinGlyph glyph, qreal glyphSize,
                                     const QString& text, int pixelSize, QRgb caption, QRgb ink, QRgb accent,
                                     qreal letterSpacing) {
    constexpr qreal kGap = 8;
    const qreal textWidth = CaptionWidth(text, pixelSize, 700, letterSpacing);
    const qreal left = area.center().x() - (glyphSize + kGap + textWidth) / 2;
    const qreal top = area.center().y() - glyphSize / 2;
    Glyph(glyph, QRectF(left, top, glyphSize, glyphSize), ink, accent);
    Caption(QRectF(left + glyphSize + kGap, area.top(), textWidth + 4, area.height()), text, pixelSize,
            caption, Qt::AlignLeft | Qt::AlignVCenter, 700, letterSpacing);
}

QFont SkinPainter::CaptionFont(int pixelSize, int weight, qreal letterSpacing) {
    QFont font("Liberation Sans");
    font.setPixelSize(pixelSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

qreal SkinPainter::CaptionWidth(const QString& text, int pixelSize, int weight, qreal letterSpacing) {
    return QFontMetricsF(CaptionFont(pixelSize, weight, letterSpacing)).horizontalAdvance(text);
}

void SkinPainter::Caption(const QRectF& area, const QString& text, int pixelSize, QRgb colour, int alignment,
                          int weight, qreal letterSpacing) {
    m_painter.save();
    m_painter.setFont(CaptionFont(pixelSize, weight, letterSpacing));
    m_painter.setPen(QColor(colour));
    m_painter.drawText(area, alignment, text);
    m_painter.restore();
}

void SkinPainter::Glow(const QPointF& centre, qreal radius, QRgb colour, int alpha) {
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0.0, QColor(qRed(colour), qGreen(colour), qBlue(colour), alpha));
    gradient.setColorAt(1.0, QColor(qRed(colour), qGreen(colour), qBlue(colour), 0));
    m_painter.save();
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(gradient);
    m_painter.drawEllipse(centre, radius, radius);
    m_painter.restore();
}

void SkinPainter::LogoMark(const QRectF& box) {
    const qreal size = qMin(box.width(), box.height());
    const QRectF square(box.center().x() - size / 2, box.center().y() - size / 2, size, size);
    m_painter.save();

    QLinearGradient body(square.topLeft(), square.bottomRight());
    body.setColorAt(0.0, QColor(palette::kBlueLight));
    body.setColorAt(1.0, QColor(palette::kBlueDeep));
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(body);
    m_painter.drawRoundedRect(square, size * 0.22, size * 0.22);

    // Three rack units, the middle one shorter: the shape reads as a rack at 16 pixels and as a
    // stylised "B" outline from a distance.
    const qreal unitHeight = qMax(size * 0.13, 2.0);
    const qreal left = square.left() + size * 0.22;
    const qreal rows[] = {0.255, 0.435, 0.615};
    const qreal widths[] = {0.56, 0.50, 0.56};
    for (int row = 0; row < 3; ++row) {
        const QRectF unit(left, square.top() + size * rows[row], size * widths[row], unitHeight);
        m_painter.setBrush(QColor(palette::kCaption));
        m_painter.drawRoundedRect(unit, unitHeight * 0.3, unitHeight * 0.3);
        if (size >= 24) {
            const qreal led = unitHeight * 0.42;
            m_painter.setBrush(QColor(palette::kBlue));
            m_painter.drawEllipse(QPointF(unit.left() + unitHeight * 0.7, unit.center().y()), led / 2,
                                  led / 2);
        }
    }
    m_painter.restore();
}

} // namespace brenvik
