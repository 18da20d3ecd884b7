#include "controls/color_button.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

namespace brenvik {
namespace {

constexpr int kCaptionCellHeight = 16;
constexpr int kCaptionAverageWidth = 12;
constexpr qreal kCornerRadius = 1.5; // corner ellipses of 3 x 3 pixels

} // namespace

CColorButton::CColorButton(QWidget* parent) : QAbstractButton(parent) {
    setMouseTracking(true);
    setFont(CaptionFont());
    DescribeColours();
}

QFont CColorButton::CaptionFont() {
    // The caption font asks for "Arial" 16 high with an average character width of 12, wider than
    // the face's own proportions. The 16 is the character cell (ascent plus descent), as a font
    // request of that height gets, so the em size is the largest whose cell still fits 16.
    // "Arial" resolves to Liberation Sans here, whose glyph widths match Arial's, and Qt has no
    // width request of its own: a stretch does it. The stretch is the requested average width over
    // the face's natural average at this size, measured rather than assumed, so whichever face
    // "Arial" resolves to ends up 12 pixels wide on average.
    static const QFont font = [] {
        QFont caption(QStringLiteral("Arial"));
        int pixelSize = kCaptionCellHeight;
        caption.setPixelSize(pixelSize);
        while (pixelSize > 1 && QFontMetrics(caption).height() > kCaptionCellHeight) {
            caption.setPixelSize(--pixelSize);
        }
        caption.setWeight(QFont::Normal);
        caption.setItalic(false);
        caption.setUnderline(false);
        caption.setStrikeOut(false);
        const qreal natural = QFontMetricsF(caption).averageCharWidth();
        if (natural > 0) {
            caption.setStretch(qBound(1, qRound(100 * kCaptionAverageWidth / natural), 4000));
        }
        return caption;
    }();
    return font;
}

QSize CColorButton::sizeHint() const {
    return QSize(40, 35);
}

void CColorButton::SetColour(QColor& member, const QColor& colour) {
    member = colour;
    DescribeColours();
    update();
}

void CColorButton::DescribeColours() {
    setAccessibleDescription(
        QStringLiteral("Colour %1, caption %2").arg(m_normalColour.name(), m_textColour.name()));
}

void CColorButton::SetState(int state) {
    m_state = state;
    update();
}

void CColorButton::paintEvent(QPaintEvent*) {
    if (!isEnabled()) {
        m_state = kDisabled;
    }
    const QColor* const byState[] = {&m_normalColour, &m_pressedColour, &m_hoverColour, &m_disabledColour};
    const QColor& fill = *byState[m_state];

    QPainter painter(this);
    painter.setPen(QPen(fill, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, width() - 1, height() - 1), kCornerRadius, kCornerRadius);

    const QFont caption = CaptionFont();
    const QFontMetrics metrics(caption);
    const QString label = text();
    // Each half is truncated on its own, which can put a caption of odd width a pixel left of
    // the middle.
    const int x = width() / 2 - metrics.horizontalAdvance(label) / 2;
    const int y = height() / 2 - metrics.height() / 2;
    painter.setFont(caption);
    painter.setPen(m_textColour);
    painter.drawText(x, y + metrics.ascent(), label);
}

void CColorButton::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (event->buttons() & Qt::LeftButton) {
        // The press holds the pointer: the button shows pressed while the pointer is over it and
        // normal while it is dragged off, without flickering between hover and normal.
        m_pointerTracked = inside;
        SetState(inside ? kPressed : kNormal);
    } else if (!m_pointerTracked) {
        m_pointerTracked = true;
        SetState(kHover);
    } else if (!inside) {
        m_pointerTracked = false;
        SetState(kNormal);
    }
    QAbstractButton::mouseMoveEvent(event);
}

void CColorButton::leaveEvent(QEvent* event) {
    // Qt sends moves only while the pointer is over the button, so leaving is where the pointer is
    // seen to go. A sticky disabled colour stays.
    if (m_state == kHover || m_state == kPressed || m_pointerTracked) {
        m_pointerTracked = false;
        SetState(kNormal);
    }
    QAbstractButton::leaveEvent(event);
}

void CColorButton::mousePressEvent(QMouseEvent* event) {
    SetState(kPressed);
    QAbstractButton::mousePressEvent(event);
}

void CColorButton::mouseReleaseEvent(QMouseEvent* event) {
    SetState(kHover);
    QAbstractButton::mouseReleaseEvent(event);
    // The button's own press handling held the pointer until now; the next move takes it again.
    m_pointerTracked = false;
}

void CColorButton::focusInEvent(QFocusEvent* event) {
    m_focus = 1;
    update();
    QAbstractButton::focusInEvent(event);
}

void CColorButton::focusOutEvent(QFocusEvent* event) {
    m_focus = 0;
    update();
    QAbstractButton::focusOutEvent(event);
}

} // namespace brenvik
