#pragma once

#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <array>

class QComboBox;

namespace brenvik {

class PictureButton;

// The SWITCHER page (page type 5): the input lists of loop outputs 1..16 (1074..1081, 1083..1090)
// and the ONE TO ONE button 1114. Opening it copies loopRoute into the switcher cells of the
// preview. Every choice in a list is sent, even the input the output already has.
class CClass_16_view_matrix : public SettingPage {
public:
    CClass_16_view_matrix(QWidget* parent, SettingPageContext& context);

protected:
    // The lists and the preview's switcher cells from loopRoute: after the unit replaced its
    // settings both would otherwise keep the old routing.
    void Refresh() override;

private:
    void OnRouteChanged(int output);
    void OnOneToOne();
    void ShowRoutes();
    void CopyRoutesToPreview();

    SettingPageContext& m_context;
    std::array<QComboBox*, 16> m_outputLists{};
};

} // namespace brenvik
