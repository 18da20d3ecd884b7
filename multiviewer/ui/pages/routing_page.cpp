#include "multiviewer/ui/pages/routing_page.h"

#include "controls/picture_button.h"
#include "multiviewer/ui/pages/page_controls.h"

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
    : SettingPage(parent, context, PageLook{context.scale, 300, kCommonPageColours}) {
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
}

void CClass_16_view_matrix::Refresh() {
    ShowRoutes();
}

void CClass_16_view_matrix::OnFieldChanged(const MultiviewerChange& change) {
    if (change.field == MultiviewerField::LoopRoute) {
        ShowRoutes();
    }
}

void CClass_16_view_matrix::ShowRoutes() {
    for (int output = 1; output <= 16; ++output) {
        SelectQuietly(m_outputLists[Slot(output)], State().loopRoute.At(output) - 1);
    }
}

void CClass_16_view_matrix::OnRouteChanged(int output) {
    QComboBox* list = m_outputLists[Slot(output)];
    if (SpringBackWhileLocked(Locked(), list, State().loopRoute.At(output) - 1)) {
        return;
    }
    Session().SetLoopRoute(output, list->currentIndex() + 1);
}

void CClass_16_view_matrix::OnOneToOne() {
    Session().RouteOneToOne();
}

} // namespace brenvik
