#pragma once

#include "res/skin_entry.h"

#include <QRectF>
#include <QRgb>
#include <QString>

class QFont;
class QPainter;

namespace brenvik {

// The drawing vocabulary shared by every picture of the skin: plates, wells, captions, glyphs and
// the logo. Keeping them in one place is what makes the buttons, backgrounds and icon look alike.
class SkinPainter {
public:
    explicit SkinPainter(QPainter& painter) : m_painter(painter) {}

    QPainter& Raw() { return m_painter; }

    void Fill(const QRectF& area, QRgb colour);
    void VerticalGradient(const QRectF& area, QRgb top, QRgb bottom);

    // A raised rounded plate: a vertical gradient, a dark one-pixel outline and a light line just
    // inside the top edge that catches the light.
    void Plate(const QRectF& area, qreal radius, QRgb top, QRgb bottom, QRgb edge, QRgb sheen);

    // A recessed rounded well: darker than its surround, shadowed along its top edge.
    void Well(const QRectF& area, qreal radius, QRgb fill, QRgb edge);

    // A button face filling its whole picture: a one-pixel margin of `ground`, the colour of what
    // the button sits on, so the rounded corners blend into it, and inside it a grey plate, or a
    // blue one when `selected`. Returns the plate's rectangle.
    QRectF ButtonFace(const QRectF& area, qreal radius, bool selected, QRgb ground);

    // A small round status lamp, lit white with a soft glow or dark when off.
    void Lamp(const QPointF& centre, bool lit);

    // A symbol followed by a one-line caption, the pair centred on `area`.
    void GlyphBesideCaption(const QRectF& area, SkinGlyph glyph, qreal glyphSize, const QString& text,
                            int pixelSize, QRgb caption, QRgb ink, QRgb accent, qreal letterSpacing = 1.2);

    // Text in Liberation Sans at a pixel size, spaced out a little as broadcast panels label keys.
    void Caption(const QRectF& area, const QString& text, int pixelSize, QRgb colour, int alignment,
                 int weight = 600, qreal letterSpacing = 0.6);

    // The width that Caption gives `text` with the same settings, for centring a glyph and caption
    // together.
    static qreal CaptionWidth(const QString& text, int pixelSize, int weight = 600,
                              qreal letterSpacing = 0.6);

    // A soft round glow, for the light behind the title art and selected indicators.
    void Glow(const QPointF& centre, qreal radius, QRgb colour, int alpha);

    // A symbol drawn on a 24 x 24 grid scaled into `box`. `ink` draws the outline, `accent` the one
    // highlighted part of the symbol.
    void Glyph(SkinGlyph glyph, const QRectF& box, QRgb ink, QRgb accent);

    // The Brenvik mark: a blue rounded square carrying three rack units.
    void LogoMark(const QRectF& box);

private:
    static QFont CaptionFont(int pixelSize, int weight, qreal letterSpacing);

    void Magnifier(QRgb ink, QRgb accent);
    void Gear(QRgb ink, QRgb accent);
    void Padlock(bool closed, QRgb ink, QRgb accent);
    void LayoutGrid(QRgb ink, QRgb accent);
    void UmdOverlay(QRgb ink, QRgb accent);
    void Colours(QRgb ink);
    void Sliders(QRgb ink, QRgb accent);
    void Crosspoints(QRgb ink, QRgb accent);
    void Meters(QRgb ink, QRgb accent);
    void Tray(bool intoTray, QRgb ink, QRgb accent);
    void CircleArrow(QRgb ink, QRgb accent);
    void Tick(QRgb ink, QRgb accent);
    void TwoArrows(QRgb ink, QRgb accent);
    void Fan(QRgb ink, QRgb accent);
    void Straights(QRgb ink, QRgb accent);

    QPainter& m_painter;
};

} // namespace brenvik
