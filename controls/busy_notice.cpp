#include "controls/busy_notice.h"

#include "res/skin_palette.h"

#include <QPainter>
#include <QWidget>

namespace brenvik {

BusyNotice::BusyNotice(QWidget& page, Look look)
    : BackgroundOperation(page.window(),
                          [this](bool busy) {
                              m_busy = busy;
                              // Only the sign's area changes; the controls repaint themselves.
                              m_page.update(m_look.dimPage ? m_page.rect() : m_look.area);
                          }),
      m_page(page), m_look(std::move(look)) {}

void BusyNotice::Paint(QPainter& painter) const {
    if (!m_busy) {
        return;
    }
    if (m_look.dimPage) {
        painter.fillRect(m_page.rect(), QColor(0, 0, 0, 140));
    }
    painter.setPen(QColor(palette::kCaption));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(m_look.pixelSize);
    painter.setFont(font);
    painter.drawText(m_look.area, static_cast<int>(m_look.alignment), m_look.text);
}

} // namespace brenvik
