#include "res/skin_artwork.h"

#include "res/skin_painter.h"
#include "res/skin_palette.h"

#include <QPainter>
#include <QString>

namespace brenvik::artwork {

void DrawToolButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    const QRectF plate = skin.ButtonFace(area, 5, entry.selected, palette::kBase);
    const QRgb caption = entry.selected ? palette::kCaption : palette::kNormalCaption;
    const QString text = QString::fromLatin1(entry.caption);

    if (area.width() >= 100) {
        // Wide faces: the symbol beside the caption, the pair centred on the plate.
        skin.GlyphBesideCaption(plate, entry.glyph, 20, text, 12, caption, palette::kInk, palette::kBlue);
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
    const QRectF plate = skin.ButtonFace(area, 6, entry.selected, palette::kBase);
    if (entry.selected) {
        // A bright bar under the caption marks the page that is shown.
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(palette::kCaption));
        painter.drawRoundedRect(QRectF(plate.center().x() - 10, plate.bottom() - 7, 20, 2.5), 1.2, 1.2);
        painter.restore();
    }
    constexpr qreal kGlyph = 30;
    skin.Glyph(entry.glyph, QRectF(plate.center().x() - kGlyph / 2, plate.top() + 11, kGlyph, kGlyph),
               entry.selected ? palette::kCaption : palette::kInk,
               entry.selected ? palette::kSelectedAccent : palette::kBlue);
    skin.Caption(QRectF(plate.left(), plate.top() + 47, plate.width(), 16),
                 QString::fromLatin1(entry.caption), 10,
                 entry.selected ? palette::kCaption : palette::kNormalCaption, Qt::AlignCenter, 700, 0.5);
}

void DrawModeButton(QPainter& painter, const QRect& area, const SkinEntry& entry) {
    SkinPainter skin(painter);
    const QRectF plate = skin.ButtonFace(area, 4, entry.selected, palette::kBase);
    // A status lamp at the left: lit on the mode the unit runs in.
    skin.Lamp(QPointF(plate.left() + 15, plate.center().y()), entry.selected);
    skin.Caption(QRectF(plate.left() + 26, plate.top(), plate.width() - 34, plate.height()),
                 QString::fromLatin1(entry.caption), 11,
                 entry.selected ? palette::kCaption : palette::kNormalCaption, Qt::AlignCenter, 700, 1.0);
}

void DrawWindowIcon(QPainter& painter, const QRect& area, const SkinEntry&) {
    SkinPainter skin(painter);
    const qreal margin = area.width() >= 32 ? area.width() * 0.04 : 0.0;
    skin.LogoMark(QRectF(area).adjusted(margin, margin, -margin, -margin));
}

} // namespace brenvik::artwork
