#pragma once

#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <array>

class QComboBox;

namespace brenvik {

class PictureButton;

// The SWITCHER page (page type 5): the input lists of loop outputs 1..16 (1074..1081, 1083..1090)
// and the ONE TO ONE button 1114. Every choice in a list is sent, even the input the output
// already has.
class CClass_16_view_matrix : public SettingPage {
public:
    CClass_16_view_matrix(QWidget* parent, SettingPageContext& context);

protected:
    // The lists from loopRoute.
    void Refresh() override;
    void OnFieldChanged(const MultiviewerChange& change) override;

private:
    void OnRouteChanged(int output);
    void OnOneToOne();
    void ShowRoutes();
    std::array<QComboBox*, 16> m_outputLists{};
};

} // namespace brenvik
