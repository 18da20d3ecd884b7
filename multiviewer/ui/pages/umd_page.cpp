#include "multiviewer/ui/pages/umd_page.h"

#include "controls/limit_edit.h"
#include "controls/picture_button.h"
#include "multiviewer/ui/pages/page_controls.h"

#include <QMouseEvent>
#include <QSignalBlocker>

namespace brenvik {

namespace {

namespace pc = page_control;

// The name fields draw white text, unlike the light blue of the other pages.
constexpr PageColours kUmdPageColours{qRgb(255, 255, 255), qRgb(58, 58, 58), qRgb(0, 0, 0),
                                      qRgb(0, 136, 208)};

constexpr int kFocusSink = 1047;
constexpr int kFirstNameField = 1031;

// Windows 1..8 in the left column, 9..16 in the right, eight rows of 40.
struct Cell {
    int column;
    int row;
};
constexpr Cell CellOf(int n) {
    return {n <= 8 ? 0 : 1, (n - 1) % 8};
}
constexpr int ToggleX(int n) {
    return 30 + 230 * CellOf(n).column;
}
constexpr int ToggleY(int n) {
    return 85 + 40 * CellOf(n).row;
}
constexpr int NameX(int n) {
    return 105 + 230 * CellOf(n).column;
}
// The bottom row's fields sit two units lower than the rhythm of the others.
constexpr int NameY(int n) {
    return CellOf(n).row == 7 ? 372 : 90 + 40 * CellOf(n).row;
}

std::size_t Slot(int n) {
    return static_cast<std::size_t>(n - 1);
}

} // namespace

CClass_16_view_umd::CClass_16_view_umd(QWidget* parent, SettingPageContext& context)
    : SettingPage(parent, context, PageLook{context.scale, 301, kUmdPageColours}) {
    setObjectName(QStringLiteral("144"));

    m_allLabels = AddPictureButton(pc::kAllUmdButton, QStringLiteral("All UMD labels"), 30, 25, 130, 45,
                                   pc::kAllUmdPictureOff);
    connect(m_allLabels, &QAbstractButton::clicked, this, &CClass_16_view_umd::OnAllLabelsToggle);
    for (int n = 1; n <= 16; ++n) {
        PictureButton* toggle =
            AddPictureButton(pc::UmdWindowButton(n), QStringLiteral("UMD label SDI %1").arg(n), ToggleX(n),
                             ToggleY(n), 71, 40, pc::UmdWindowPicture(n, false));
        connect(toggle, &QAbstractButton::clicked, this, [this, n] { OnWindowLabelToggle(n); });
        m_windowLabels[Slot(n)] = toggle;
    }
    ShowToggles();

    for (int n = 1; n <= 16; ++n) {
        CLimitEdit* field = AddLimitEdit(kFirstNameField + n - 1, QStringLiteral("Input %1 name").arg(n),
                                         NameX(n), NameY(n), 120, 20, kNameLength);
        field->installEventFilter(this);
        m_nameFields[Slot(n)] = field;
    }
    RefreshNamePage();

    // Never seen: it takes the focus from a name field when the page's background is clicked.
    m_focusSink = new QWidget(this);
    m_focusSink->setObjectName(QString::number(kFocusSink));
    m_focusSink->setFocusPolicy(Qt::StrongFocus);
    m_focusSink->setGeometry(0, 0, 0, 0);
}

CClass_16_view_umd::~CClass_16_view_umd() {
    // The fields go with the page's base; the focus change of their going must not reach a page that
    // is no longer whole.
    for (CLimitEdit* field : m_nameFields) {
        field->removeEventFilter(this);
    }
}

void CClass_16_view_umd::Refresh() {
    RefreshNamePage();
    ShowToggles();
}

void CClass_16_view_umd::OnFieldChanged(const MultiviewerChange& change) {
    switch (change.field) {
    case MultiviewerField::UmdAllOn:
    case MultiviewerField::UmdOn:
        ShowToggles();
        break;
    case MultiviewerField::InputName:
        if (change.index == 0) {
            RefreshNamePage();
        } else {
            ShowName(change.index);
        }
        break;
    default:
        break;
    }
}

void CClass_16_view_umd::RefreshNamePage() {
    for (int n = 1; n <= 16; ++n) {
        ShowName(n);
    }
}

void CClass_16_view_umd::ShowName(int input) {
    CLimitEdit* field = m_nameFields[Slot(input)];
    const QString name = QString::fromStdU16String(State().inputNames.At(input));
    if (field->text() != name) {
        const QSignalBlocker quiet(field);
        field->setText(name);
    }
}

void CClass_16_view_umd::ShowToggles() {
    ShowPictureQuietly(m_allLabels, State().umdAllOn != 0 ? pc::kAllUmdPictureOn : pc::kAllUmdPictureOff);
    for (int n = 1; n <= 16; ++n) {
        ShowPictureQuietly(m_windowLabels[Slot(n)], pc::UmdWindowPicture(n, State().umdOn.At(n) == 1));
    }
}

void CClass_16_view_umd::CommitInputName(int input) {
    if (input < 1 || input > 16) {
        return;
    }
    if (Locked()) {
        // Neither stored nor sent: the field springs back like every other control.
        ShowName(input);
        return;
    }
    Session().SetInputName(input, m_nameFields[Slot(input)]->text().toStdU16String());
}

int CClass_16_view_umd::NameFieldNumber(const QObject* field) const {
    for (int n = 1; n <= 16; ++n) {
        if (m_nameFields[Slot(n)] == field) {
            return n;
        }
    }
    return 0;
}

bool CClass_16_view_umd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (const int n = NameFieldNumber(watched); n > 0) {
            if (event->type() == QEvent::FocusIn) {
                m_focusedNameField = n;
            } else {
                CommitInputName(n);
            }
        }
    }
    return SettingPage::eventFilter(watched, event);
}

void CClass_16_view_umd::OnEnterKey() {
    m_enterNameField = 0;
    for (int n = 1; n <= 16; ++n) {
        if (m_nameFields[Slot(n)]->hasFocus()) {
            m_enterNameField = n;
            break;
        }
    }
    if (m_enterNameField > 0) {
        CommitInputName(m_enterNameField);
    }
}

void CClass_16_view_umd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_focusedNameField > 0) {
        m_focusSink->setFocus(Qt::MouseFocusReason);
        m_focusedNameField = 0;
    }
    event->accept();
}

void CClass_16_view_umd::OnAllLabelsToggle() {
    Session().SetUmd(0, State().umdAllOn == 0 ? 1 : 0);
}

void CClass_16_view_umd::OnWindowLabelToggle(int window) {
    Session().SetUmd(window, State().umdOn.At(window) == 0 ? 1 : 0);
}

} // namespace brenvik
