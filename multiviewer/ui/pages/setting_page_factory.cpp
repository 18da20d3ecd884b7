#include "multiviewer/ui/pages/setting_page_factory.h"

#include "multiviewer/ui/pages/page_type.h"
#include "multiviewer/ui/pages/audio_page.h"
#include "multiviewer/ui/pages/colour_page.h"
#include "multiviewer/ui/pages/layout_page.h"
#include "multiviewer/ui/pages/routing_page.h"
#include "multiviewer/ui/pages/settings_page.h"
#include "multiviewer/ui/pages/umd_page.h"

namespace brenvik {

void SettingPageFactory::Register(std::uint8_t pageType, Maker maker) {
    if (pageType >= 1 && pageType < m_makers.size()) {
        m_makers[pageType] = std::move(maker);
    }
}

SettingPage* SettingPageFactory::Create(std::uint8_t pageType, QWidget* parent,
                                        SettingPageContext& context) const {
    if (pageType < 1 || pageType >= m_makers.size() || !m_makers[pageType]) {
        return nullptr;
    }
    return m_makers[pageType](parent, context);
}

// Every page of this build, by type; a page type missing here shows the page area's background.
void RegisterSettingPages(SettingPageFactory& factory) {
    factory.Register(kPageLayout, [](QWidget* parent, SettingPageContext& context) -> SettingPage* {
        return new CClass_16_view_mode(parent, context);
    });
    factory.Register(kPageUmdOverlay, [](QWidget* parent, SettingPageContext& context) -> SettingPage* {
        return new CClass_16_view_umd(parent, context);
    });
    factory.Register(kPageSwitcher, [](QWidget* parent, SettingPageContext& context) -> SettingPage* {
        return new CClass_16_view_matrix(parent, context);
    });
    factory.Register(kPageColors, [](QWidget* parent, SettingPageContext& context) -> SettingPage* {
        return new CClass_16_view_color(parent, context);
    });
    factory.Register(kPageAudio, [](QWidget* parent, SettingPageContext& context) -> SettingPage* {
        return new CClass_16_view_audio(parent, context);
    });
    factory.Register(kPageControls, [](QWidget* parent, SettingPageContext& context) -> SettingPage* {
        return new CClass_16_view_set(parent, context);
    });
}

} // namespace brenvik
