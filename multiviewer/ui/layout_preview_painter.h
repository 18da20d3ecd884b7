#pragma once

#include "controls/screen_scale.h"
#include "multiviewer/core/multiviewer_state.h"
#include "multiviewer/core/preview_placement.h"

#include <QFont>
#include <QImage>
#include <QSize>

class QPainter;

namespace brenvik {

// Paints the layout preview of a record onto an image of the 720 x 480 canvas scaled for one
// screen. Each canvas number is scaled by itself (x and widths by the horizontal dpi, y and
// heights by the vertical one, truncated), the same rule that places the controls around it.
class LayoutPreviewPainter {
public:
    explicit LayoutPreviewPainter(ScreenScale scale);

    QSize CanvasSize() const;
    const QFont& Font() const { return m_font; }

    // Repaints all of `target`, reallocating it when it is not an RGB32 image of CanvasSize().
    void Paint(const MultiviewerState& state, PreviewKind kind, QImage& target) const;
    QImage Render(const MultiviewerState& state, PreviewKind kind = PreviewKind::Layout) const;

    // Writes one text of the preview at its canvas point, in the preview's font.
    void WriteText(QPainter& painter, const PreviewPlacement::Text& text) const;

private:
    void PaintDecoration(QPainter& painter, const PreviewPlacement::Decoration& decoration) const;
    QRect Scaled(const PreviewPlacement::Box& box) const;

    ScreenScale m_scale;
    QFont m_font;
};

} // namespace brenvik
