#include "app/device_list.h"

#include "controls/field_colours.h"
#include "res/skin_palette.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace brenvik {

namespace {

const QColor kFieldBackground(palette::kField);
const QColor kFieldText(palette::kFieldText);
const QColor kFieldEdge(86, 90, 97);
const QColor kAccent(palette::kBlue);

} // namespace

DeviceList::DeviceList(QWidget* parent, int bandHeight) : QComboBox(parent), m_bandHeight(bandHeight) {
    ApplyFieldLook(*this, MainFieldLook());
    ApplyFieldLook(*view(), MainFieldLook());
}

void DeviceList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF band(0.5, 0.5, width() - 1.0, m_bandHeight - 1.0);
    painter.setPen(hasFocus() ? kAccent : kFieldEdge);
    painter.setBrush(kFieldBackground);
    painter.drawRoundedRect(band, 3, 3);

    const int arrowZone = m_bandHeight;
    painter.setPen(kFieldText);
    painter.setFont(font());
    const QRect textRect(8, 0, width() - arrowZone - 12, m_bandHeight);
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect.width()));

    const QPointF centre(width() - arrowZone / 2.0, m_bandHeight / 2.0 + 1.0);
    const double half = m_bandHeight / 6.0;
    QPainterPath arrow;
    arrow.moveTo(centre.x() - half, centre.y() - half / 2);
    arrow.lineTo(centre.x() + half, centre.y() - half / 2);
    arrow.lineTo(centre.x(), centre.y() + half / 2 + 1);
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccent);
    painter.drawPath(arrow);
}

void DeviceList::mousePressEvent(QMouseEvent* event) {
    if (event->position().y() >= m_bandHeight) {
        event->ignore();
        return;
    }
    QComboBox::mousePressEvent(event);
}

void DeviceList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->position().y() >= m_bandHeight) {
        event->ignore();
        return;
    }
    QComboBox::mouseReleaseEvent(event);
}

void DeviceList::showPopup() {
    QComboBox::showPopup();
    // Open the list right under the visible band, not under the whole rectangle.
    QWidget* popup = view()->window();
    if (popup != nullptr && popup != window()) {
        const QPoint below = mapToGlobal(QPoint(0, m_bandHeight));
        if (popup->y() > below.y()) {
            popup->move(popup->x(), below.y());
        }
    }
}

} // namespace brenvik
