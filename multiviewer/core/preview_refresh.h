#pragma once

#include "multiviewer/core/console_view.h"
#include "multiviewer/core/multiviewer_state.h"

namespace brenvik {

// The derived drawing data of the record, brought up to date on the UI thread. A colour index
// above 15 leaves the window's entry as it was; so does a window whose source is outside 1..16,
// as there is no input whose colour it could take.

// umdBackRgb[n] := RGB of umdBackColor[windowSource[n]]; then redraws.
void RefreshUmdBackColors(MultiviewerState& state, ConsoleView& view);
// umdTextRgb[n] := RGB of umdTextColor[windowSource[n]]; then redraws.
void RefreshUmdTextColors(MultiviewerState& state, ConsoleView& view);
// formatBackRgb[n] := RGB of formatBackColor[n]; then redraws.
void RefreshFormatBackColors(MultiviewerState& state, ConsoleView& view);
// formatTextRgb[n] := RGB of formatTextColor[n]; then redraws.
void RefreshFormatTextColors(MultiviewerState& state, ConsoleView& view);
// formatTexts[n] := "No Signal" without a signal, else the text of its code; an unknown code
// leaves the text as it was.
void RefreshFormatTexts(MultiviewerState& state);

// windowRects := the geometry of layoutCode, RefreshFormatTexts, redraw.
void RecomputeLayoutGeometry(MultiviewerState& state, ConsoleView& view);
// switcherCells := the 4 x 4 grid numbered with loopRoute.
void RecomputeSwitcherCells(MultiviewerState& state);
// RecomputeSwitcherCells, RecomputeLayoutGeometry, the four colour refreshes, redraw.
void RefreshPreviewAll(MultiviewerState& state, ConsoleView& view);

} // namespace brenvik
