#include "multiviewer/core/preview_refresh.h"

#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_tables.h"

#include <optional>

namespace brenvik {

namespace {

// Which colour index feeds window n's entry; nothing when the window has no input to take it from.
using ColourSource = std::optional<std::uint8_t> (*)(const MultiviewerState& state, int window);

void RefreshColours(MultiviewerState& state, PerWindow<Rgb>& target, ColourSource source) {
    for (int n = 1; n <= kWindowCount; ++n) {
        const auto index = source(state, n);
        if (!index) {
            continue;
        }
        if (const auto rgb = ColourRgb(*index)) {
            target.At(n) = *rgb;
        }
    }
}

bool IsNumber1To16(int value) {
    return value >= 1 && value <= kWindowCount;
}

// The UMD label of a window shows the colours of the input the window shows.
template <PerWindow<std::uint8_t> MultiviewerState::*kField>
std::optional<std::uint8_t> ByWindowSource(const MultiviewerState& state, int window) {
    const int input = state.windowSource.At(window);
    if (!IsNumber1To16(input)) {
        return std::nullopt;
    }
    return (state.*kField).At(input);
}

template <PerWindow<std::uint8_t> MultiviewerState::*kField>
std::optional<std::uint8_t> ByWindow(const MultiviewerState& state, int window) {
    return (state.*kField).At(window);
}

} // namespace

void RefreshUmdBackColors(MultiviewerState& state) {
    RefreshColours(state, state.umdBackRgb, &ByWindowSource<&MultiviewerState::umdBackColor>);
}

void RefreshUmdTextColors(MultiviewerState& state) {
    RefreshColours(state, state.umdTextRgb, &ByWindowSource<&MultiviewerState::umdTextColor>);
}

void RefreshFormatBackColors(MultiviewerState& state) {
    RefreshColours(state, state.formatBackRgb, &ByWindow<&MultiviewerState::formatBackColor>);
}

void RefreshFormatTextColors(MultiviewerState& state) {
    RefreshColours(state, state.formatTextRgb, &ByWindow<&MultiviewerState::formatTextColor>);
}

void RefreshFormatTexts(MultiviewerState& state) {
    for (int n = 1; n <= kWindowCount; ++n) {
        if (state.signalPresent.At(n) == 0) {
            state.formatTexts.At(n) = std::u16string(kNoSignalText.begin(), kNoSignalText.end());
        } else if (const auto text = SignalFormatText(state.signalFormat.At(n))) {
            state.formatTexts.At(n) = std::u16string(text->begin(), text->end());
        }
    }
}

void RecomputeLayoutGeometry(MultiviewerState& state) {
    state.windowRects = ComputeLayoutGeometry(state.layoutCode);
    RefreshFormatTexts(state);
}

void RecomputeSwitcherCells(MultiviewerState& state) {
    state.switcherCells = ComputeSwitcherCells(state.loopRoute);
}

void RefreshDrawingData(MultiviewerState& state, MultiviewerField field) {
    using F = MultiviewerField;
    switch (field) {
    case F::LayoutCode:
        RecomputeLayoutGeometry(state);
        break;
    case F::WindowSource:
        // A window's label takes the colours of the input it shows.
        RefreshUmdBackColors(state);
        RefreshUmdTextColors(state);
        break;
    case F::LoopRoute:
        RecomputeSwitcherCells(state);
        break;
    case F::UmdTextColor:
        RefreshUmdTextColors(state);
        break;
    case F::UmdBackColor:
        RefreshUmdBackColors(state);
        break;
    case F::FormatTextColor:
        RefreshFormatTextColors(state);
        break;
    case F::FormatBackColor:
        RefreshFormatBackColors(state);
        break;
    case F::Signal:
        RefreshFormatTexts(state);
        break;
    default:
        break;
    }
}

void RefreshAllDrawingData(MultiviewerState& state) {
    // The switcher cells follow loopRoute too, or the Switcher Mode preview would keep the routing
    // from before the unit replaced its settings.
    RecomputeSwitcherCells(state);
    RecomputeLayoutGeometry(state);
    RefreshUmdBackColors(state);
    RefreshUmdTextColors(state);
    RefreshFormatBackColors(state);
    RefreshFormatTextColors(state);
}

} // namespace brenvik
