#include "multiviewer/ui/layout_preview.h"

#include <QPaintEvent>
#include <QPainter>

namespace brenvik {

LayoutPreview::LayoutPreview(QWidget* parent, const MultiviewerState& state, ScreenScale scale)
    : QWidget(parent), m_state(state), m_painter(scale) {
    setFixedSize(m_painter.CanvasSize());
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_painter.Paint(m_state, m_canvas);
}

void LayoutPreview::Redraw() {
    m_painter.Paint(m_state, m_canvas);
    update();
}

void LayoutPreview::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas);
}

} // namespace brenvik
