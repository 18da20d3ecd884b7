#pragma once

#include "controls/screen_scale.h"
#include "multiviewer/ui/layout_preview_painter.h"
#include "multiviewer/core/multiviewer_state.h"

#include <QImage>
#include <QWidget>

namespace brenvik {

// The layout preview on the left of the console page: the canvas scaled for the screen, painted
// from the record into a cached image by Redraw() and copied to the screen in one operation.
// The console page places it at 5, 40 (not scaled) and calls Redraw() for every redraw request.
class LayoutPreview : public QWidget {
    Q_OBJECT

public:
    LayoutPreview(QWidget* parent, const MultiviewerState& state, ScreenScale scale);

    // Repaints the cached canvas from the record, then schedules the copy to the screen.
    void Redraw();
    const QImage& Canvas() const { return m_canvas; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const MultiviewerState& m_state;
    LayoutPreviewPainter m_painter;
    QImage m_canvas;
};

} // namespace brenvik
