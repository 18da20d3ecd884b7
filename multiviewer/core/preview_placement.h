#pragma once

#include "multiviewer/core/multiviewer_observer.h"
#include "multiviewer/core/multiviewer_state.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace brenvik {

inline constexpr Rgb kFrameBlue{0, 136, 208};
inline constexpr Rgb kFrameGrey{192, 192, 192};
inline constexpr Rgb kWindowInside{57, 60, 65};
inline constexpr Rgb kCanvasBackground{152, 152, 152};

// What the preview shows: the unit's layout (Multiviewer Mode), or the grid of its loop outputs
// (Switcher Mode).
enum class PreviewKind : std::uint8_t { Layout, SwitcherGrid };

// Everything the layout preview draws, in drawing order, placed on the 720 x 480 canvas with the
// unit's own integer arithmetic (divisions truncate toward zero). Every decision of the layout
// table is taken here; the painter only scales the numbers and fills.
struct PreviewPlacement {
    struct Box {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Box&) const = default;
    };

    // A text written with its top-left corner at x, y. An opaque text fills its box (advance x
    // font height) with backColor first; a transparent one leaves what lies beneath.
    struct Text {
        bool shown = false;
        int x = 0;
        int y = 0;
        std::u16string text;
        Rgb textColor;
        Rgb backColor;
        bool opaque = true;
    };

    struct Window {
        Box frame;
        Rgb frameColor;
        Box inside;
        Text number;
        Text umd;
        bool meterShown = false;
        Box meter;
        Text format;
    };

    // A clock is a filled ellipse in `box` with a 1-unit black outline and two black hands from
    // the centre of the box, one up and one to the right; a bar is a filled rectangle.
    struct Decoration {
        enum class Kind { Clock, Bar };
        Kind kind = Kind::Bar;
        Box box;
    };

    static constexpr int kMaxDecorations = 4;
    static constexpr int kClockHandLength = 45;

    std::array<Window, kWindowCount> windows{};
    int windowCount = 0;
    std::array<Decoration, kMaxDecorations> decorations{};
    int decorationCount = 0;
};

// The clocks and two-bar marks that layout `layoutCode` shows in the room its windows leave, in
// canvas units; none for most layouts.
std::span<const PreviewPlacement::Decoration> LayoutDecorations(std::uint8_t layoutCode);

// Places the preview of the record as it stands: the switcher grid when the SWITCHER page is
// shown, otherwise the windows of `windowRects` with the labels, meters and decorations of
// `layoutCode`. A window whose `windowSource` is outside 1..16 gets no UMD label.
PreviewPlacement PlacePreview(const MultiviewerState& state, PreviewKind kind = PreviewKind::Layout);

// Whether the preview draws `field`: a change of it needs a redraw.
bool PreviewDraws(MultiviewerField field);

} // namespace brenvik
