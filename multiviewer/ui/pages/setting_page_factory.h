#pragma once

#include "multiviewer/ui/pages/setting_page.h"

#include <array>
#include <cstdint>
#include <functional>

namespace brenvik {

// Creates the setting page of a page type. Each page registers itself here by type; a type
// without a page yet creates nothing, and the page area shows the page background.
class SettingPageFactory {
public:
    using Maker = std::function<SettingPage*(QWidget* parent, SettingPageContext& context)>;

    void Register(std::uint8_t pageType, Maker maker);
    // nullptr when no page of that type exists.
    SettingPage* Create(std::uint8_t pageType, QWidget* parent, SettingPageContext& context) const;

private:
    std::array<Maker, 7> m_makers; // by page type 1..6
};

// Registers every setting page that this build has.
void RegisterSettingPages(SettingPageFactory& factory);

} // namespace brenvik
