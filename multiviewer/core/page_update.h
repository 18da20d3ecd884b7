#pragma once

#include "multiviewer/core/page_controls.h"

#include <cstdint>

namespace brenvik {

// One change a unit report asks of the setting page that is shown. The core decides, from
// pageType, which page an update is for; the console page hands it to that page and to no other.
struct PageUpdate {
    enum class Action : std::uint8_t {
        Refresh,         // the page's own refresh: RefreshLayoutPage, RefreshNamePage, RefreshColourPage,
                         // RefreshSettingsPage or RefreshAudioPage
        SelectEntry,     // list controlId selects entry `value` (-1: no entry selected)
        ShowImage,       // bitmap button controlId shows picture `value`
        ShowMeterRadios, // radios 1141 "ON" / 1142 "OFF": ON checked when `value` is 1, OFF otherwise
    };

    std::uint8_t pageType = 0;
    Action action = Action::Refresh;
    int controlId = 0;
    int value = 0;

    static constexpr PageUpdate Refresh(std::uint8_t page) { return {page, Action::Refresh, 0, 0}; }
    static constexpr PageUpdate Select(std::uint8_t page, int list, int entry) {
        return {page, Action::SelectEntry, list, entry};
    }
    static constexpr PageUpdate Image(std::uint8_t page, int button, int picture) {
        return {page, Action::ShowImage, button, picture};
    }
    static constexpr PageUpdate MeterRadios(std::uint8_t page, bool on) {
        return {page, Action::ShowMeterRadios, page_control::kMeterOnRadio, on ? 1 : 0};
    }
    bool operator==(const PageUpdate&) const = default;
};

} // namespace brenvik
