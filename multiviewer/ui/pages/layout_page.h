#pragma once

#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <array>
#include <cstdint>

class QComboBox;

namespace brenvik {

class PictureButton;

// The LAYOUT page (page type 1): the window-count list 1074, the 36 layout buttons of which the
// count shows one group, and the source lists 1028..1043 of windows 1..16. A layout button sends
// its layout code; a source list sends the input of its window.
class CClass_16_view_mode : public SettingPage {
public:
    static constexpr int kLayoutButtonCount = 36;

    CClass_16_view_mode(QWidget* parent, SettingPageContext& context);

    // The layout code the page last showed as chosen; 0 until the first refresh.
    std::uint8_t LastLayoutCode() const { return m_lastLayoutCode; }

    // The window-count selection, the visible group, the highlighted button and the enabled source
    // lists, all from layoutCode.
    void RefreshLayoutPage();

protected:
    // RefreshLayoutPage, and the source lists from windowSource.
    void Refresh() override;
    void OnFieldChanged(const MultiviewerChange& change) override;

private:
    void OnWindowCountChanged(int entry);
    void OnLayoutButton(std::uint8_t code);
    void OnWindowSourceChanged(int window);

    void ShowGroup(int windowCount);
    void EnableSourceLists(int windowCount);
    void ShowSources();
    void ShowSource(int window);
    void ShowHighlighted(std::uint8_t code, bool highlighted);

    std::uint8_t m_lastLayoutCode = 0;
    QComboBox* m_windowCount = nullptr;
    std::array<PictureButton*, kLayoutButtonCount> m_layoutButtons{};
    std::array<QComboBox*, 16> m_sourceLists{};
};

} // namespace brenvik
