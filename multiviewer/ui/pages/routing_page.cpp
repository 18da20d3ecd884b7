#include "multiviewer/ui/pages/routing_page.h"

#include "controls/picture_button.h"
#include "multiviewer/core/page_controls.h"
#include "multiviewer/core/preview_refresh.h"

#include <QComboBox>

namespace brenvik {

namespace {

constexpr int kOneToOneButton = 1114;
constexpr int kOneToOnePicture = 457;

std::size_t Slot(int n) {
    return static_cast<std::size_t>(n - 1);
}

} // namespace

CClass_16_view_matrix::CClass_16_view_matrix(QWidget* parent, SettingPageContext& context)
    : SettingPage(parent, PageLook{context.scale, 300, kCommonPageColours}), m_context(context) {
    setObjectName(QStringLiteral("302"));
    PictureButton* oneToOne =
        AddPictureButton(kOneToOneButton, QStringLiteral("One to One"), 20, 60, 191, 117, kOneToOnePicture);
    connect(oneToOne, &QAbstractButton::clicked, this, &CClass_16_view_matrix::OnOneToOne);

    for (int output = 1; output <= 16; ++output) {
        QComboBox* list =
            AddList(page_control::SwitcherOutputList(output), QStringLiteral("Output %1 input").arg(output),
                    365, 30 + 23 * (output - 1), 70, 20, InputEntries());
        connect(list, &QComboBox::activated, this, [this, output] { OnRouteChanged(output); });
        m_outputLists[Slot(output)] = list;
    }
    ShowRoutes();
    CopyRoutesToPreview();
}

void CClass_16_view_matrix::Refresh() {
    ShowRoutes();
    CopyRoutesToPreview();
}

void CClass_16_view_matrix::ShowRoutes() {
    for (int output = 1; output <= 16; ++output) {
        SelectQuietly(m_outputLists[Slot(output)], m_context.state.loopRoute.At(output) - 1);
    }
}

void CClass_16_view_matrix::CopyRoutesToPreview() {
    RecomputeSwitcherCells(m_context.state);
    m_context.console.RedrawPreview();
}

void CClass_16_view_matrix::OnRouteChanged(int output) {
    QComboBox* list = m_outputLists[Slot(output)];
    if (SpringBackWhileLocked(m_context.consoleLocked, list, m_context.state.loopRoute.At(output) - 1)) {
        return;
    }
    // The sender stores the input in loopRoute and the switcher cell, as this is the SWITCHER page.
    m_context.commands.SetSource(output, list->currentIndex() + 1);
}

void CClass_16_view_matrix::OnOneToOne() {
    m_context.commands.RouteOneToOne();
    ShowRoutes();
}

} // namespace brenvik
