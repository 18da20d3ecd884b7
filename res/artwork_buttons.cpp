#include "res/skin_artwork.h"

#include "res/skin_painter.h"
#include "res/skin_palette.h"

#include <QPainter>
#include <QString>

namespace brenvik::artwork {
namespace {

// The selected faces are blue plates; their highlighted symbol parts turn a light blue so they
// still stand apart from the white outline.
constexpr QRgb kSelectedAccent = qRgb(150, 214, 250);
constexpr QRgb kSelectedSheen = qRgb(92, 192, 242);
constexpr QRgb kNormalCaption = qRgb(214, 218, 224);
constexpr QRgb kLedOff = qRgb(84, 90, 99);

// Every button face leaves a one-pixel margin of the ground colour so that its rounded corners
// blend into the background it sits on.
QRectF PlateArea(const QRect& area) {
    return QRectF(area).adjusted(1, 1, -1, -1);
}

void NormalPlate(SkinPainter& skin, const QRectF& plate, qreal radius) {
    skin.Plate(plate, radius, palette::kPlateTop, palette::kPlateBottom, palette::kEdgeDark,
               palette::kEdgeLight);
}

void SelectedPlate(SkinPainter& skin, const QRectF& plate, qreal radius) {
    skin.Plate(plate, radius, palette::kBlueLight, palette::kBlueDeep, palette::kBlueEdge, kSelectedSheen);
}

} // namespace

void DrawToolButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    const QRectF plate = PlateArea(area);
    if (entry.selected) {
        SelectedPlate(skin, plate, 5);
    } else {
        NormalPlate(skin, plate, 5);
    }
    const QRgb caption = entry.selected ? palette::kCaption : kNormalCaption;
    const QString text = QString::fromLatin1(entry.caption);

    if (area.width() >= 100) {
        // Wide faces: the symbol beside the caption, the pair centred on the plate.
        constexpr int kCaptionSize = 12;
        constexpr qreal kGlyph = 20;
        constexpr qreal kGap = 8;
        const qreal textWidth = SkinPainter::CaptionWidth(text, kCaptionSize, 700, 1.2);
        const qreal left = plate.center().x() - (kGlyph + kGap + textWidth) / 2;
        const qreal top = plate.center().y() - kGlyph / 2;
        skin.Glyph(entry.glyph, QRectF(left, top, kGlyph, kGlyph), palette::kInk, palette::kBlue);
        skin.Caption(QRectF(left + kGlyph + kGap, plate.top(), textWidth + 4, plate.height()), text,
                     kCaptionSize, caption, Qt::AlignLeft | Qt::AlignVCenter, 700, 1.2);
    } else {
        // Narrow faces (the lock): the symbol above a small caption. A closed padlock is drawn in
        // its accent with the keyhole in ink, so the locked face shows a white lock on blue.
        constexpr qreal kGlyph = 17;
        const bool closed = entry.glyph == SkinGlyph::PadlockClosed;
        skin.Glyph(entry.glyph, QRectF(plate.center().x() - kGlyph / 2, plate.top() + 3, kGlyph, kGlyph),
                   closed ? palette::kBlueDeep : palette::kInk,
                   closed ? palette::kCaption : palette::kPlateBottom);
        skin.Caption(QRectF(plate.left(), plate.top() + 21, plate.width(), 12), text, 9, caption,
                     Qt::AlignCenter, 700, 0.8);
    }
}

void DrawPageButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    const QRectF plate = PlateArea(area);
    if (entry.selected) {
        SelectedPlate(skin, plate, 6);
        // A bright bar under the caption marks the page that is shown.
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(palette::kCaption));
        painter.drawRoundedRect(QRectF(plate.center().x() - 10, plate.bottom() - 7, 20, 2.5), 1.2, 1.2);
        painter.restore();
    } else {
        NormalPlate(skin, plate, 6);
    }
    constexpr qreal kGlyph = 30;
    skin.Glyph(entry.glyph, QRectF(plate.center().x() - kGlyph / 2, plate.top() + 11, kGlyph, kGlyph),
               entry.selected ? palette::kCaption : palette::kInk,
               entry.selected ? kSelectedAccent : palette::kBlue);
    skin.Caption(QRectF(plate.left(), plate.top() + 47, plate.width(), 16),
                 QString::fromLatin1(entry.caption), 10, entry.selected ? palette::kCaption : kNormalCaption,
                 Qt::AlignCenter, 700, 0.5);
}

void DrawModeButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    const QRectF plate = PlateArea(area);
    if (entry.selected) {
        SelectedPlate(skin, plate, 4);
    } else {
        NormalPlate(skin, plate, 4);
    }
    // A status lamp at the left: lit on the mode the unit runs in.
    const QPointF lamp(plate.left() + 15, plate.center().y());
    painter.save();
    if (entry.selected) {
        skin.Glow(lamp, 8, palette::kCaption, 120);
    }
    painter.setPen(QPen(QColor(entry.selected ? palette::kBlueEdge : palette::kEdgeDark), 1.0));
    painter.setBrush(QColor(entry.selected ? palette::kCaption : kLedOff));
    painter.drawEllipse(lamp, 3.5, 3.5);
    painter.restore();
    skin.Caption(QRectF(plate.left() + 26, plate.top(), plate.width() - 34, plate.height()),
                 QString::fromLatin1(entry.caption), 11, entry.selected ? palette::kCaption : kNormalCaption,
                 Qt::AlignCenter, 700, 1.0);
}

void DrawWindowIcon(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    const qreal margin = area.width() >= 32 ? area.width() * 0.04 : 0.0;
    skin.LogoMark(QRectF(area).adjusted(margin, margin, -margin, -margin));
}

} // namespace brenvik::artwork
