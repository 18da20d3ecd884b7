#pragma once

#include "res/skin_artwork.h"
#include "res/skin_entry.h"

#include <array>
#include <cstddef>

namespace brenvik {

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
