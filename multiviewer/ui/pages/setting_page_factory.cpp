#include "multiviewer/ui/pages/setting_page_factory.h"

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

void RegisterSettingPages(SettingPageFactory&) {
    // The six setting pages register here as they are built; none exists in this build yet.
}

} // namespace brenvik
