#pragma once

#include "multiviewer/core/multiviewer_observer.h"
#include "multiviewer/core/multiviewer_state.h"

namespace brenvik {

// The derived drawing data of the record, brought up to date after the fields they follow. A colour
// index above 15 leaves the window's entry as it was; so does a window whose source is outside
// 1..16, as there is no input whose colour it could take.

// umdBackRgb[n] := RGB of umdBackColor[windowSource[n]].
void RefreshUmdBackColors(MultiviewerState& state);
// umdTextRgb[n] := RGB of umdTextColor[windowSource[n]].
void RefreshUmdTextColors(MultiviewerState& state);
// formatBackRgb[n] := RGB of formatBackColor[n].
void RefreshFormatBackColors(MultiviewerState& state);
// formatTextRgb[n] := RGB of formatTextColor[n].
void RefreshFormatTextColors(MultiviewerState& state);
// formatTexts[n] := "No Signal" without a signal, else the text of its code; an unknown code
// leaves the text as it was.
void RefreshFormatTexts(MultiviewerState& state);
// windowRects := the geometry of layoutCode, then RefreshFormatTexts.
void RecomputeLayoutGeometry(MultiviewerState& state);
// switcherCells := the 4 x 4 grid numbered with loopRoute.
void RecomputeSwitcherCells(MultiviewerState& state);

// The drawing data that follows `field`, after it changed.
void RefreshDrawingData(MultiviewerState& state, MultiviewerField field);
// Every piece of drawing data, after the whole record changed.
void RefreshAllDrawingData(MultiviewerState& state);

} // namespace brenvik
