#pragma once

#include "controls/screen_scale.h"
#include "multiviewer/core/multiviewer_state.h"
#include "multiviewer/ui/layout_preview_painter.h"

#include <QImage>
#include <QWidget>

namespace brenvik {

// The layout preview on the left of the console page: the canvas scaled for the screen, painted
// from the record into a cached image and copied to the screen in one operation. A redraw request
// only marks the cache stale; the next paint event repaints it once, however many requests came
// since (a burst of reports, or a refresh that redraws after each of its steps).
// The console page places it at 5, 40 (not scaled).
class LayoutPreview : public QWidget {
    Q_OBJECT

public:
    LayoutPreview(QWidget* parent, const MultiviewerState& state, ScreenScale scale);

    // The record changed: the canvas is repainted before it is next shown.
    void Redraw();
    // The layout, or the switcher grid; redraws when it changes.
    void Show(PreviewKind kind);
    PreviewKind Kind() const { return m_kind; }
    // The canvas as the record stands now (repainted here if it is stale).
    const QImage& Canvas();
    // How many times the canvas has been painted; for measuring and tests.
    int PaintCount() const { return m_paintCount; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RepaintIfStale();

    const MultiviewerState& m_state;
    LayoutPreviewPainter m_painter;
    PreviewKind m_kind = PreviewKind::Layout;
    QImage m_canvas;
    bool m_stale = true;
    int m_paintCount = 0;
};

} // namespace brenvik
