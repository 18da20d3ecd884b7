#include "res/skin_painter.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace brenvik {
namespace {

QPen Stroke(QRgb colour, qreal width) {
    return QPen(QColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QColor WithAlpha(QRgb colour, int alpha) {
    return QColor(qRed(colour), qGreen(colour), qBlue(colour), alpha);
}

// A point on a circle at `degrees`, counted counter-clockwise from three o'clock as the screen
// shows it, the way Qt counts arc angles.
QPointF OnCircle(const QPointF& centre, qreal radius, qreal degrees) {
    const qreal radians = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(std::cos(radians), -std::sin(radians)) * radius;
}

// An arc of a circle with a filled arrow head at its end, pointing the way the arc runs.
void CurvedArrow(QPainter& painter, const QPointF& centre, qreal radius, qreal startDegrees,
                 qreal spanDegrees, QRgb shaft, QRgb head) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Stroke(shaft, 2.0));
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    // The shaft stops short of the end so that the head covers its tip.
    const qreal shaftSpan = spanDegrees - (spanDegrees > 0 ? 18 : -18);
    painter.drawArc(box, qRound(startDegrees * 16), qRound(shaftSpan * 16));

    const qreal end = startDegrees + spanDegrees;
    const QPointF tip = OnCircle(centre, radius, end);
    const qreal radians = end * std::numbers::pi / 180.0;
    const qreal sign = spanDegrees > 0 ? 1.0 : -1.0;
    const QPointF along(-std::sin(radians) * sign, -std::cos(radians) * sign);
    const QPointF across(-along.y(), along.x());
    QPainterPath arrow;
    arrow.moveTo(tip + along * 2.2);
    arrow.lineTo(tip - along * 3.4 + across * 3.4);
    arrow.lineTo(tip - along * 3.4 - across * 3.4);
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(head));
    painter.drawPath(arrow);
}

} // namespace

void SkinPainter::Glyph(SkinGlyph glyph, const QRectF& box, QRgb ink, QRgb accent) {
    m_painter.save();
    m_painter.translate(box.topLeft());
    m_painter.scale(box.width() / 24.0, box.height() / 24.0);
    switch (glyph) {
    case SkinGlyph::None:
        break;
    case SkinGlyph::Magnifier:
        Magnifier(ink, accent);
        break;
    case SkinGlyph::Gear:
        Gear(ink, accent);
        break;
    case SkinGlyph::PadlockOpen:
        Padlock(false, ink, accent);
        break;
    case SkinGlyph::PadlockClosed:
        Padlock(true, ink, accent);
        break;
    case SkinGlyph::Layout:
        LayoutGrid(ink, accent);
        break;
    case SkinGlyph::UmdOverlay:
        UmdOverlay(ink, accent);
        break;
    case SkinGlyph::Colors:
        Colours(ink);
        break;
    case SkinGlyph::Controls:
        Sliders(ink, accent);
        break;
    case SkinGlyph::Switcher:
        Crosspoints(ink, accent);
        break;
    case SkinGlyph::Audio:
        Meters(ink, accent);
        break;
    case SkinGlyph::Save:
        Tray(true, ink, accent);
        break;
    case SkinGlyph::Load:
        Tray(false, ink, accent);
        break;
    case SkinGlyph::Reset:
        CircleArrow(ink, accent);
        break;
    case SkinGlyph::Apply:
        Tick(ink, accent);
        break;
    case SkinGlyph::Refresh:
        TwoArrows(ink, accent);
        break;
    case SkinGlyph::OneToAll:
        Fan(ink, accent);
        break;
    case SkinGlyph::OneToOne:
        Straights(ink, accent);
        break;
    }
    m_painter.restore();
}

void SkinPainter::Magnifier(QRgb ink, QRgb accent) {
    m_painter.setBrush(WithAlpha(accent, 60));
    m_painter.setPen(Stroke(ink, 2.2));
    m_painter.drawEllipse(QPointF(10, 10), 6.6, 6.6);
    m_painter.setPen(Stroke(accent, 1.4));
    m_painter.drawArc(QRectF(6.2, 6.2, 7.6, 7.6), 100 * 16, 70 * 16);
    m_painter.setPen(Stroke(ink, 3.4));
    m_painter.drawLine(QPointF(15.2, 15.2), QPointF(20.6, 20.6));
}

void SkinPainter::Gear(QRgb ink, QRgb accent) {
    constexpr int kTeeth = 8;
    constexpr qreal kOuter = 10.8;
    constexpr qreal kRoot = 7.6;
    const QPointF centre(12, 12);
    QPainterPath body;
    for (int tooth = 0; tooth < kTeeth; ++tooth) {
        const qreal step = 2 * std::numbers::pi / kTeeth;
        const qreal at = tooth * step;
        // Each tooth: up the leading flank, across the top, down the trailing flank, along the root.
        const qreal angles[] = {at - step * 0.30, at - step * 0.17, at + step * 0.17, at + step * 0.30};
        const qreal radii[] = {kRoot, kOuter, kOuter, kRoot};
        for (int corner = 0; corner < 4; ++corner) {
            const QPointF point =
                centre + QPointF(std::cos(angles[corner]), std::sin(angles[corner])) * radii[corner];
            if (tooth == 0 && corner == 0) {
                body.moveTo(point);
            } else {
                body.lineTo(point);
            }
        }
    }
    body.closeSubpath();
    body.addEllipse(centre, 3.6, 3.6);
    body.setFillRule(Qt::OddEvenFill);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(ink));
    m_painter.drawPath(body);
    m_painter.setPen(Stroke(accent, 1.3));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawEllipse(centre, 5.6, 5.6);
}

void SkinPainter::Padlock(bool closed, QRgb ink, QRgb accent) {
    // An open padlock lifts its shackle and swings the left leg free of the body.
    const qreal lift = closed ? 0.0 : 3.2;
    QPainterPath shackle;
    shackle.moveTo(16.5, 11.0 - (closed ? 0.0 : 1.0));
    shackle.lineTo(16.5, 7.5 - lift);
    shackle.arcTo(QRectF(7.5, 3.0 - lift, 9.0, 9.0), 0, 180);
    shackle.lineTo(7.5, closed ? 11.0 : 8.0 - lift);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.setPen(Stroke(closed ? accent : ink, 2.3));
    m_painter.drawPath(shackle);

    const QRectF body(4.5, 10.5, 15.0, 11.0);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(closed ? accent : ink));
    m_painter.drawRoundedRect(body, 2.4, 2.4);

    QPainterPath keyhole;
    keyhole.addEllipse(QPointF(12, 15.0), 1.7, 1.7);
    keyhole.addRoundedRect(QRectF(11.2, 15.2, 1.6, 3.6), 0.6, 0.6);
    keyhole.setFillRule(Qt::WindingFill);
    m_painter.setBrush(QColor(closed ? ink : accent));
    m_painter.drawPath(keyhole.simplified());
}

void SkinPainter::LayoutGrid(QRgb ink, QRgb accent) {
    m_painter.setPen(Stroke(ink, 1.6));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRoundedRect(QRectF(1.8, 3.8, 20.4, 15.4), 1.6, 1.6);
    // One large window and three small ones, the commonest multiviewer layout.
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(accent));
    m_painter.drawRoundedRect(QRectF(4.0, 6.0, 10.0, 11.0), 0.8, 0.8);
    m_painter.setBrush(QColor(ink));
    for (int row = 0; row < 3; ++row) {
        m_painter.drawRoundedRect(QRectF(15.4, 6.0 + row * 3.8, 4.6, 3.2), 0.6, 0.6);
    }
    m_painter.setPen(Stroke(ink, 1.6));
    m_painter.drawLine(QPointF(9, 21.6), QPointF(15, 21.6));
}

void SkinPainter::UmdOverlay(QRgb ink, QRgb accent) {
    m_painter.setPen(Stroke(ink, 1.6));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRoundedRect(QRectF(1.8, 3.0, 20.4, 15.6), 1.6, 1.6);
    // The name label a multiviewer lays under each window.
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(accent));
    m_painter.drawRoundedRect(QRectF(5.0, 12.6, 14.0, 3.6), 0.8, 0.8);
    m_painter.setBrush(QColor(ink));
    m_painter.drawRoundedRect(QRectF(7.0, 13.7, 6.0, 1.4), 0.5, 0.5);
    m_painter.drawRoundedRect(QRectF(14.0, 13.7, 3.0, 1.4), 0.5, 0.5);
    m_painter.setPen(Stroke(ink, 1.6));
    m_painter.drawLine(QPointF(9, 21.4), QPointF(15, 21.4));
    m_painter.setPen(Stroke(ink, 1.2));
    m_painter.drawLine(QPointF(7, 7), QPointF(10.5, 10));
    m_painter.drawLine(QPointF(10.5, 10), QPointF(13, 7.8));
    m_painter.drawLine(QPointF(13, 7.8), QPointF(17, 10.4));
}

void SkinPainter::Colours(QRgb ink) {
    // The three primaries, muted to sit on the dark plates; the outline keeps them readable on blue.
    const QPointF centres[] = {QPointF(9.0, 9.4), QPointF(15.0, 9.4), QPointF(12.0, 14.6)};
    const QColor fills[] = {QColor(226, 84, 72, 215), QColor(64, 196, 120, 215), QColor(70, 150, 236, 215)};
    m_painter.setPen(Stroke(ink, 1.3));
    for (int circle = 0; circle < 3; ++circle) {
        m_painter.setBrush(fills[circle]);
        m_painter.drawEllipse(centres[circle], 5.6, 5.6);
    }
}

void SkinPainter::Sliders(QRgb ink, QRgb accent) {
    const qreal columns[] = {6.0, 12.0, 18.0};
    const qreal knobs[] = {14.5, 7.5, 11.5};
    for (int slider = 0; slider < 3; ++slider) {
        m_painter.setPen(Stroke(ink, 1.6));
        m_painter.drawLine(QPointF(columns[slider], 3.0), QPointF(columns[slider], 21.0));
        m_painter.setPen(Stroke(ink, 1.2));
        m_painter.setBrush(QColor(slider == 1 ? accent : ink));
        m_painter.drawRoundedRect(QRectF(columns[slider] - 3.0, knobs[slider] - 1.8, 6.0, 3.6), 1.0, 1.0);
    }
}

void SkinPainter::Crosspoints(QRgb ink, QRgb accent) {
    const qreal rows[] = {5.0, 12.0, 19.0};
    // Inputs on the left routed crosswise to outputs on the right.
    const int routes[] = {2, 0, 1};
    m_painter.setBrush(Qt::NoBrush);
    for (int input = 0; input < 3; ++input) {
        m_painter.setPen(Stroke(input == 0 ? accent : ink, 1.6));
        QPainterPath route;
        route.moveTo(5.0, rows[input]);
        route.cubicTo(12.0, rows[input], 12.0, rows[routes[input]], 19.0, rows[routes[input]]);
        m_painter.drawPath(route);
    }
    m_painter.setPen(Qt::NoPen);
    for (const qreal row : rows) {
        m_painter.setBrush(QColor(ink));
        m_painter.drawEllipse(QPointF(3.4, row), 2.0, 2.0);
        m_painter.drawEllipse(QPointF(20.6, row), 2.0, 2.0);
    }
}

void SkinPainter::Meters(QRgb ink, QRgb accent) {
    // Four level meters of segments, the two loudest segments of each in accent.
    constexpr int kSegments = 6;
    constexpr int kLoudFrom = 4;
    const int lit[] = {4, 6, 3, 5};
    const qreal columns[] = {3.0, 8.2, 13.4, 18.6};
    m_painter.setPen(Qt::NoPen);
    for (int bar = 0; bar < 4; ++bar) {
        for (int segment = 0; segment < kSegments; ++segment) {
            const bool on = segment < lit[bar];
            const QRgb colour = segment >= kLoudFrom ? accent : ink;
            m_painter.setBrush(on ? QColor(colour) : WithAlpha(ink, 46));
            m_painter.drawRoundedRect(QRectF(columns[bar], 19.2 - segment * 3.2, 3.4, 2.4), 0.5, 0.5);
        }
    }
}

void SkinPainter::Tray(bool intoTray, QRgb ink, QRgb accent) {
    // A memory slot: an arrow into the tray stores, an arrow out of it recalls.
    m_painter.setBrush(Qt::NoBrush);
    m_painter.setPen(Stroke(ink, 1.8));
    QPainterPath tray;
    tray.moveTo(4.0, 13.0);
    tray.lineTo(4.0, 20.0);
    tray.lineTo(20.0, 20.0);
    tray.lineTo(20.0, 13.0);
    m_painter.drawPath(tray);
    m_painter.setPen(Stroke(accent, 2.0));
    const qreal tip = intoTray ? 15.0 : 3.5;
    const qreal tail = intoTray ? 3.5 : 15.0;
    const qreal barb = intoTray ? -4.2 : 4.2;
    m_painter.drawLine(QPointF(12.0, tail), QPointF(12.0, tip));
    m_painter.drawLine(QPointF(7.8, tip + barb), QPointF(12.0, tip));
    m_painter.drawLine(QPointF(16.2, tip + barb), QPointF(12.0, tip));
}

void SkinPainter::CircleArrow(QRgb ink, QRgb accent) {
    // Turning back: one arrow round counter-clockwise, the settings as they came.
    const QPointF centre(12.0, 12.5);
    CurvedArrow(m_painter, centre, 8.0, 100, 275, ink, ink);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(accent));
    m_painter.drawEllipse(centre, 2.2, 2.2);
}

void SkinPainter::Tick(QRgb ink, QRgb accent) {
    m_painter.setBrush(Qt::NoBrush);
    m_painter.setPen(Stroke(ink, 3.4));
    QPainterPath tick;
    tick.moveTo(4.5, 12.5);
    tick.lineTo(9.5, 17.5);
    tick.lineTo(19.5, 6.5);
    m_painter.drawPath(tick);
    m_painter.setPen(Stroke(accent, 1.4));
    m_painter.drawPath(tick);
}

void SkinPainter::TwoArrows(QRgb ink, QRgb accent) {
    const QPointF centre(12.0, 12.0);
    CurvedArrow(m_painter, centre, 7.5, 160, -140, ink, ink);
    CurvedArrow(m_painter, centre, 7.5, 340, -140, accent, accent);
}

void SkinPainter::Fan(QRgb ink, QRgb accent) {
    // One input on the left spread to every output on the right.
    const qreal outputs[] = {4.0, 9.33, 14.67, 20.0};
    m_painter.setBrush(Qt::NoBrush);
    m_painter.setPen(Stroke(accent, 1.4));
    for (const qreal row : outputs) {
        QPainterPath route;
        route.moveTo(5.0, 12.0);
        route.cubicTo(12.0, 12.0, 11.0, row, 18.5, row);
        m_painter.drawPath(route);
    }
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(accent));
    m_painter.drawEllipse(QPointF(3.6, 12.0), 2.4, 2.4);
    m_painter.setBrush(QColor(ink));
    for (const qreal row : outputs) {
        m_painter.drawEllipse(QPointF(20.6, row), 1.9, 1.9);
    }
}

void SkinPainter::Straights(QRgb ink, QRgb accent) {
    // Every input straight across to the output of the same number.
    const qreal rows[] = {5.0, 12.0, 19.0};
    for (int row = 0; row < 3; ++row) {
        m_painter.setPen(Stroke(row == 1 ? accent : ink, 1.6));
        m_painter.drawLine(QPointF(5.0, rows[row]), QPointF(19.0, rows[row]));
    }
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(ink));
    for (const qreal row : rows) {
        m_painter.drawEllipse(QPointF(3.4, row), 2.0, 2.0);
        m_painter.drawEllipse(QPointF(20.6, row), 2.0, 2.0);
    }
}

} // namespace brenvik
