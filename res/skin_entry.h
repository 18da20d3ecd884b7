#pragma once

#include <QRect>

class QPainter;

namespace brenvik {

// The small symbols that button faces carry above or beside their captions.
enum class SkinGlyph {
    None,
    Magnifier,
    Gear,
    PadlockOpen,
    PadlockClosed,
    Layout,
    UmdOverlay,
    Colors,
    Controls,
    Switcher,
    Audio,
    Save,
    Load,
    Reset,
    Apply,
    Refresh,
    OneToAll,
    OneToOne,
};

// One numbered picture of the skin: its pixel size and the function that draws it. Faces that share
// a drawing function (page buttons, mode buttons, tool buttons, toggles, layout buttons) differ
// only in caption, glyph, layout code, face size and whether they show the selected
// (highlighted, on) state.
// The drawing function paints into `area`, which is the picture's own rectangle except for the
// window icon, which is drawn at several sizes.
struct SkinEntry {
    int number;
    int width;
    int height;
    void (*draw)(QPainter& painter, const QRect& area, const SkinEntry& entry);
    const char* caption = "";
    SkinGlyph glyph = SkinGlyph::None;
    bool selected = false;
    bool translucent = false; // only the icon has see-through pixels; every other picture is opaque
    int layoutCode = 0;       // the multiviewer layout a layout button pictures
    // A face smaller than its picture, for the few buttons that their page sets closer together
    // than their pictures are large; empty for a face that fills its picture.
    QSize face = {};
};

// Where an entry's face lies in its picture: the whole picture, or the face's size centred across
// the top, so that the strip a neighbouring button overlaps on the page shows only the ground.
constexpr QRect FaceArea(const QRect& area, const SkinEntry& entry) {
    if (entry.face.isEmpty()) {
        return area;
    }
    return QRect(area.left() + (area.width() - entry.face.width()) / 2, area.top(), entry.face.width(),
                 entry.face.height());
}

} // namespace brenvik
