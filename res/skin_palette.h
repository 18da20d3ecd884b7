#pragma once

#include <QRgb>

// The console's colours. Every picture is drawn from these so that the window, the pages and the
// buttons read as one product. None of them is pure black: pure black is the transparent colour
// of button pictures.
namespace brenvik::palette {

inline constexpr QRgb kBase = qRgb(46, 49, 54);  // window and page ground, and around every button
inline constexpr QRgb kPanel = qRgb(57, 60, 65); // raised panels
inline constexpr QRgb kField = qRgb(58, 58, 58); // edit fields and lists
inline constexpr QRgb kFieldText = qRgb(255, 255, 255);
inline constexpr QRgb kBlue = qRgb(0, 136, 208);
inline constexpr QRgb kBlueLight = qRgb(28, 162, 232);
inline constexpr QRgb kBlueDeep = qRgb(0, 104, 166);
inline constexpr QRgb kBlueEdge = qRgb(0, 86, 140);
inline constexpr QRgb kWell = qRgb(38, 41, 46);      // recessed areas
inline constexpr QRgb kWellDeep = qRgb(27, 29, 33);  // the preview canvas surround
inline constexpr QRgb kEdgeDark = qRgb(26, 28, 31);  // outer edge of plates and wells
inline constexpr QRgb kEdgeLight = qRgb(72, 76, 83); // inner top highlight of plates
inline constexpr QRgb kPlateTop = qRgb(66, 70, 77);
inline constexpr QRgb kPlateBottom = qRgb(52, 55, 61);
inline constexpr QRgb kCaption = qRgb(238, 240, 243);    // white captions
inline constexpr QRgb kInk = qRgb(204, 209, 216);        // glyphs on dark plates
inline constexpr QRgb kLabel = qRgb(138, 145, 156);      // painted labels
inline constexpr QRgb kFaint = qRgb(92, 98, 107);        // watermark texts
inline constexpr QRgb kEmptyTitle = qRgb(122, 128, 138); // the title of an empty page area
inline constexpr QRgb kDarkest = qRgb(1, 1, 1);          // darkest colour a button picture may use

// Button faces. A selected (highlighted, on) face is a blue plate whose highlighted symbol parts
// turn a light blue so they still stand apart from the white outline; a normal face is a grey
// plate with a light grey caption, and a toggle that is off greys its caption further.
inline constexpr QRgb kSelectedAccent = qRgb(150, 214, 250);
inline constexpr QRgb kSelectedSheen = qRgb(92, 192, 242);
inline constexpr QRgb kNormalCaption = qRgb(214, 218, 224);
inline constexpr QRgb kOffCaption = qRgb(158, 165, 176);
inline constexpr QRgb kLampOff = qRgb(84, 90, 99);

} // namespace brenvik::palette
