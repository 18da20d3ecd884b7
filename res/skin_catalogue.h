#pragma once

#include "res/skin_artwork.h"
#include "res/skin_entry.h"

#include <array>
#include <cstddef>

namespace brenvik {

// The faces that come in families: a family shares its drawing function and differs in caption,
// symbol, layout code and whether the face is the selected (highlighted, on) one.
constexpr SkinEntry ToggleFace(int number, int width, int height, const char* caption, bool on,
                               QSize face = {}) {
    SkinEntry entry{number, width, height, artwork::DrawToggleButton, caption, SkinGlyph::None, on};
    entry.face = face;
    return entry;
}

constexpr SkinEntry CommandFace(int number, int width, int height, const char* caption, SkinGlyph glyph,
                                bool selected = false) {
    return SkinEntry{number, width, height, artwork::DrawCommandButton, caption, glyph, selected};
}

constexpr SkinEntry LayoutFace(int number, int width, int height, int layoutCode, bool highlighted,
                               QSize face = {}) {
    SkinEntry entry{number, width, height, artwork::DrawLayoutButton, "", SkinGlyph::None, highlighted};
    entry.layoutCode = layoutCode;
    entry.face = face;
    return entry;
}

// The layout page sets the single-window buttons (70 wide) 60 apart, the 130-high button of
// layout 41 10 above its lower neighbour, and the settings page the 45-high toggles 40 above the
// row below them; these faces keep to the room that is theirs alone.
inline constexpr QSize kSingleWindowFace{50, 45};
inline constexpr QSize kLayout41Face{135, 120};
inline constexpr QSize kUpperToggleFace{182, 40};
inline constexpr QSize kUpperNarrowToggleFace{181, 40};

constexpr SkinEntry KeyFace(int number, const char* digit, bool selected) {
    return SkinEntry{number, 65, 60, artwork::DrawMatrixKey, digit, SkinGlyph::None, selected};
}

// Every picture of the console by resource number. This is the one place a new picture is added:
// its number, its pixel size and the function that draws it.
inline constexpr std::array kSkinCatalogue{
    SkinEntry{128, 256, 256, artwork::DrawWindowIcon, "", SkinGlyph::None, false, true},
    SkinEntry{129, 1280, 720, artwork::DrawMainBackground},
    SkinEntry{132, 70, 37, artwork::DrawToolButton, "UNLOCK", SkinGlyph::PadlockOpen},
    SkinEntry{133, 135, 35, artwork::DrawToolButton, "SEARCH", SkinGlyph::Magnifier},
    SkinEntry{134, 134, 38, artwork::DrawToolButton, "SETTINGS", SkinGlyph::Gear},
    SkinEntry{135, 70, 37, artwork::DrawToolButton, "LOCK", SkinGlyph::PadlockClosed, true},
    SkinEntry{137, 1240, 540, artwork::DrawConsoleBackground},
    CommandFace(140, 180, 40, "CONNECT", SkinGlyph::None),
    CommandFace(141, 180, 40, "DISCONNECT", SkinGlyph::None, true),
    KeyFace(175, "1", false),
    KeyFace(176, "1", true),
    KeyFace(177, "2", false),
    KeyFace(178, "2", true),
    KeyFace(179, "3", false),
    KeyFace(180, "3", true),
    KeyFace(181, "4", false),
    KeyFace(182, "4", true),
    KeyFace(183, "5", false),
    KeyFace(184, "5", true),
    KeyFace(185, "6", false),
    KeyFace(186, "6", true),
    KeyFace(187, "7", false),
    KeyFace(188, "7", true),
    KeyFace(189, "8", false),
    KeyFace(190, "8", true),
    SkinEntry{191, 1280, 566, artwork::DrawMatrixBackground},
    CommandFace(194, 190, 39, "ONE TO ALL", SkinGlyph::OneToAll),
    CommandFace(195, 190, 39, "ONE TO ALL", SkinGlyph::OneToAll, true),
    CommandFace(196, 190, 37, "ONE TO ONE", SkinGlyph::OneToOne),
    CommandFace(197, 190, 37, "ONE TO ONE", SkinGlyph::OneToOne, true),
    CommandFace(198, 110, 45, "APPLY", SkinGlyph::Apply),
    CommandFace(199, 110, 45, "APPLY", SkinGlyph::Apply, true),
    ToggleFace(201, 130, 45, "ALL UMD ON", false),
    ToggleFace(202, 130, 45, "ALL UMD ON", true),
    ToggleFace(203, 181, 45, "Audio Alarm Enable", false, kUpperNarrowToggleFace),
    ToggleFace(204, 181, 45, "Audio Alarm Enable", true, kUpperNarrowToggleFace),
    ToggleFace(205, 182, 45, "Format Status", false, kUpperToggleFace),
    ToggleFace(206, 182, 45, "Format Status", true, kUpperToggleFace),
    CommandFace(207, 182, 40, "Load Custom 1", SkinGlyph::Load),
    CommandFace(208, 181, 40, "Load Custom 2", SkinGlyph::Load),
    CommandFace(209, 181, 40, "Load Default", SkinGlyph::Reset),
    LayoutFace(215, 70, 45, 1, false, kSingleWindowFace),
    LayoutFace(216, 70, 45, 1, true, kSingleWindowFace),
    LayoutFace(217, 70, 45, 2, false, kSingleWindowFace),
    LayoutFace(218, 70, 45, 2, true, kSingleWindowFace),
    LayoutFace(219, 70, 45, 3, false, kSingleWindowFace),
    LayoutFace(220, 70, 45, 3, true, kSingleWindowFace),
    LayoutFace(221, 70, 45, 4, false, kSingleWindowFace),
    LayoutFace(222, 70, 45, 4, true, kSingleWindowFace),
    LayoutFace(223, 70, 45, 5, false, kSingleWindowFace),
    LayoutFace(224, 70, 45, 5, true, kSingleWindowFace),
    LayoutFace(225, 70, 45, 6, false, kSingleWindowFace),
    LayoutFace(226, 70, 45, 6, true, kSingleWindowFace),
    LayoutFace(227, 70, 45, 7, false, kSingleWindowFace),
    LayoutFace(228, 70, 45, 7, true, kSingleWindowFace),
    LayoutFace(229, 70, 45, 8, false, kSingleWindowFace),
    LayoutFace(230, 70, 45, 8, true, kSingleWindowFace),
    LayoutFace(231, 70, 45, 9, false, kSingleWindowFace),
    LayoutFace(232, 70, 45, 9, true, kSingleWindowFace),
    LayoutFace(233, 70, 45, 10, false, kSingleWindowFace),
    LayoutFace(234, 70, 45, 10, true, kSingleWindowFace),
    LayoutFace(235, 70, 45, 11, false, kSingleWindowFace),
    LayoutFace(236, 70, 45, 11, true, kSingleWindowFace),
    LayoutFace(237, 70, 45, 12, false, kSingleWindowFace),
    LayoutFace(238, 70, 45, 12, true, kSingleWindowFace),
    LayoutFace(239, 70, 45, 13, false, kSingleWindowFace),
    LayoutFace(240, 70, 45, 13, true, kSingleWindowFace),
    LayoutFace(241, 70, 45, 14, false, kSingleWindowFace),
    LayoutFace(242, 70, 45, 14, true, kSingleWindowFace),
    LayoutFace(243, 70, 45, 15, false, kSingleWindowFace),
    LayoutFace(244, 70, 45, 15, true, kSingleWindowFace),
    LayoutFace(245, 70, 45, 16, false, kSingleWindowFace),
    LayoutFace(246, 70, 45, 16, true, kSingleWindowFace),
    LayoutFace(247, 135, 110, 40, false),
    LayoutFace(248, 135, 110, 40, true),
    LayoutFace(249, 135, 130, 41, false, kLayout41Face),
    LayoutFace(250, 135, 130, 41, true, kLayout41Face),
    LayoutFace(251, 135, 110, 42, false),
    LayoutFace(252, 135, 110, 42, true),
    LayoutFace(253, 160, 140, 60, false),
    LayoutFace(254, 160, 140, 60, true),
    LayoutFace(255, 140, 65, 80, false),
    LayoutFace(256, 140, 65, 80, true),
    LayoutFace(257, 140, 65, 81, false),
    LayoutFace(258, 140, 65, 81, true),
    LayoutFace(259, 140, 110, 82, false),
    LayoutFace(260, 140, 110, 82, true),
    LayoutFace(261, 120, 90, 91, false),
    LayoutFace(262, 120, 90, 91, true),
    LayoutFace(263, 120, 90, 90, false),
    LayoutFace(264, 120, 90, 90, true),
    LayoutFace(265, 120, 90, 92, false),
    LayoutFace(266, 120, 90, 92, true),
    LayoutFace(267, 120, 90, 93, false),
    LayoutFace(268, 120, 90, 93, true),
    LayoutFace(269, 160, 120, 100, false),
    LayoutFace(270, 160, 120, 100, true),
    LayoutFace(271, 160, 115, 101, false),
    LayoutFace(272, 160, 115, 101, true),
    LayoutFace(273, 180, 150, 111, false),
    LayoutFace(274, 180, 150, 111, true),
    LayoutFace(275, 180, 150, 121, false),
    LayoutFace(276, 180, 150, 121, true),
    LayoutFace(277, 180, 155, 160, false),
    LayoutFace(278, 180, 155, 160, true),
    CommandFace(280, 182, 42, "Save To Custom 1", SkinGlyph::Save),
    CommandFace(281, 181, 42, "Save To Custom 2", SkinGlyph::Save),
    ToggleFace(282, 182, 40, "Timecode Enable", false),
    ToggleFace(283, 182, 40, "Timecode Enable", true),
    SkinEntry{284, 65, 80, artwork::DrawPageButton, "AUDIO", SkinGlyph::Audio},
    SkinEntry{285, 65, 80, artwork::DrawPageButton, "AUDIO", SkinGlyph::Audio, true},
    SkinEntry{286, 65, 80, artwork::DrawPageButton, "COLORS", SkinGlyph::Colors},
    SkinEntry{287, 65, 80, artwork::DrawPageButton, "COLORS", SkinGlyph::Colors, true},
    SkinEntry{288, 75, 80, artwork::DrawPageButton, "CONTROLS", SkinGlyph::Controls},
    SkinEntry{289, 75, 80, artwork::DrawPageButton, "CONTROLS", SkinGlyph::Controls, true},
    SkinEntry{290, 65, 80, artwork::DrawPageButton, "LAYOUT", SkinGlyph::Layout},
    SkinEntry{291, 65, 80, artwork::DrawPageButton, "LAYOUT", SkinGlyph::Layout, true},
    SkinEntry{292, 70, 80, artwork::DrawPageButton, "SWITCHER", SkinGlyph::Switcher},
    SkinEntry{293, 70, 80, artwork::DrawPageButton, "SWITCHER", SkinGlyph::Switcher, true},
    SkinEntry{294, 95, 80, artwork::DrawPageButton, "UMD OVERLAY", SkinGlyph::UmdOverlay},
    SkinEntry{295, 95, 80, artwork::DrawPageButton, "UMD OVERLAY", SkinGlyph::UmdOverlay, true},
    SkinEntry{296, 490, 420, artwork::DrawAudioPageBackground},
    SkinEntry{297, 490, 420, artwork::DrawColourPageBackground},
    SkinEntry{298, 490, 420, artwork::DrawSystemPageBackground},
    SkinEntry{299, 490, 420, artwork::DrawLayoutPageBackground},
    SkinEntry{300, 490, 420, artwork::DrawRoutingPageBackground},
    SkinEntry{301, 490, 420, artwork::DrawUmdPageBackground},
    LayoutFace(361, 160, 140, 61, false),
    LayoutFace(362, 160, 140, 61, true),
    LayoutFace(369, 140, 110, 83, false),
    LayoutFace(370, 140, 110, 83, true),
    LayoutFace(391, 180, 155, 161, false),
    LayoutFace(392, 180, 155, 161, true),
    ToggleFace(398, 71, 40, "SDI 1", false),
    ToggleFace(399, 71, 40, "SDI 1", true),
    ToggleFace(400, 71, 40, "SDI 2", false),
    ToggleFace(401, 71, 40, "SDI 2", true),
    ToggleFace(402, 71, 40, "SDI 3", false),
    ToggleFace(403, 71, 40, "SDI 3", true),
    ToggleFace(404, 71, 40, "SDI 4", false),
    ToggleFace(405, 71, 40, "SDI 4", true),
    ToggleFace(406, 71, 40, "SDI 5", false),
    ToggleFace(407, 71, 40, "SDI 5", true),
    ToggleFace(408, 71, 40, "SDI 6", false),
    ToggleFace(409, 71, 40, "SDI 6", true),
    ToggleFace(410, 71, 40, "SDI 7", false),
    ToggleFace(411, 71, 40, "SDI 7", true),
    ToggleFace(412, 71, 40, "SDI 8", false),
    ToggleFace(413, 71, 40, "SDI 8", true),
    ToggleFace(414, 71, 40, "SDI 9", false),
    ToggleFace(415, 71, 40, "SDI 9", true),
    ToggleFace(416, 71, 40, "SDI 10", false),
    ToggleFace(417, 71, 40, "SDI 10", true),
    ToggleFace(418, 71, 40, "SDI 11", false),
    ToggleFace(419, 71, 40, "SDI 11", true),
    ToggleFace(420, 71, 40, "SDI 12", false),
    ToggleFace(421, 71, 40, "SDI 12", true),
    ToggleFace(422, 71, 40, "SDI 13", false),
    ToggleFace(423, 71, 40, "SDI 13", true),
    ToggleFace(424, 71, 40, "SDI 14", false),
    ToggleFace(425, 71, 40, "SDI 14", true),
    ToggleFace(426, 71, 40, "SDI 15", false),
    ToggleFace(427, 71, 40, "SDI 15", true),
    ToggleFace(428, 71, 40, "SDI 16", false),
    ToggleFace(429, 71, 40, "SDI 16", true),
    CommandFace(450, 110, 37, "REFRESH", SkinGlyph::Refresh, true),
    CommandFace(451, 110, 37, "REFRESH", SkinGlyph::Refresh),
    ToggleFace(452, 200, 40, "ALL AUDIO METER ON", false),
    ToggleFace(453, 200, 40, "ALL AUDIO METER ON", true),
    CommandFace(454, 180, 40, "APPLY", SkinGlyph::Apply),
    LayoutFace(455, 160, 115, 102, false),
    LayoutFace(456, 160, 115, 102, true),
    SkinEntry{457, 191, 117, artwork::DrawOneToOneButton, "ONE TO ONE"},
    SkinEntry{458, 178, 28, artwork::DrawModeButton, "SWITCHER MODE"},
    SkinEntry{459, 178, 28, artwork::DrawModeButton, "SWITCHER MODE", SkinGlyph::None, true},
    SkinEntry{460, 178, 28, artwork::DrawModeButton, "MULTIVIEWER MODE"},
    SkinEntry{461, 178, 28, artwork::DrawModeButton, "MULTIVIEWER MODE", SkinGlyph::None, true},
};

// Kept in ascending order without repeats so that the numbers list itself in order and a number
// added twice fails the build.
constexpr bool CatalogueIsAscending() {
    for (std::size_t i = 1; i < kSkinCatalogue.size(); ++i) {
        if (kSkinCatalogue[i - 1].number >= kSkinCatalogue[i].number) {
            return false;
        }
    }
    return true;
}
static_assert(CatalogueIsAscending(), "picture numbers must be ascending and unique");

// The catalogue entry of a picture number, or nullptr for a number the skin does not have.
constexpr const SkinEntry* FindSkinEntry(int number) {
    for (const SkinEntry& entry : kSkinCatalogue) {
        if (entry.number == number) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace brenvik
