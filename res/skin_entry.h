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
};

// One numbered picture of the skin: its pixel size and the function that draws it. Faces that share
// a drawing function (page buttons, mode buttons, tool buttons) differ only in caption, glyph and
// whether they show the selected state. The drawing function paints into `area`, which is the
// picture's own rectangle except for the window icon, which is drawn at several sizes.
struct SkinEntry {
    int number;
    int width;
    int height;
    void (*draw)(QPainter& painter, const QRect& area, const SkinEntry& entry);
    const char* caption = "";
    SkinGlyph glyph = SkinGlyph::None;
    bool selected = false;
    bool translucent = false; // only the icon has see-through pixels; every other picture is opaque
};

} // namespace brenvik
