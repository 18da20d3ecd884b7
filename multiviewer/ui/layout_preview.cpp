#include "multiviewer/ui/layout_preview.h"

#include <QPaintEvent>
#include <QPainter>

namespace brenvik {

LayoutPreview::LayoutPreview(QWidget* parent, const MultiviewerState& state, ScreenScale scale)
    : QWidget(parent), m_state(state), m_painter(scale) {
    setFixedSize(m_painter.CanvasSize());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LayoutPreview::Redraw() {
    m_stale = true;
    update();
}

void LayoutPreview::Show(PreviewKind kind) {
    if (kind != m_kind) {
        m_kind = kind;
        Redraw();
    }
}

const QImage& LayoutPreview::Canvas() {
    RepaintIfStale();
    return m_canvas;
}

void LayoutPreview::RepaintIfStale() {
    if (!m_stale) {
        return;
    }
    m_painter.Paint(m_state, m_kind, m_canvas);
    m_stale = false;
    ++m_paintCount;
}

void LayoutPreview::paintEvent(QPaintEvent* /*event*/) {
    RepaintIfStale();
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas);
}

} // namespace brenvik
