#include "multiviewer/ui/console_page.h"

#include "multiviewer/core/preview_placement.h"
#include "multiviewer/ui/layout_preview.h"
#include "multiviewer/ui/pages/page_type.h"

#include "controls/shade_picture_button.h"
#include "res/skin.h"
#include "res/skin_palette.h"

#include <QPainter>

namespace brenvik {

namespace {

constexpr int kPictureBackground = 137;
constexpr int kPictureSwitcherMode = 458;
constexpr int kPictureSwitcherModeSelected = 459;
constexpr int kPictureMultiviewerMode = 460;
constexpr int kPictureMultiviewerModeSelected = 461;

// The page buttons by page type: control number, caption, pictures, place (scaled) and pixel size.
struct PageButtonEntry {
    std::uint8_t pageType;
    int controlId;
    const char* name;
    int normalPicture;
    int selectedPicture;
    int x;
    int y;
    int width;
    int height;
};

constexpr std::array<PageButtonEntry, 6> kPageButtons{{
    {kPageLayout, 1009, "Layout", 290, 291, 750, 30, 65, 80},
    {kPageUmdOverlay, 1010, "UMD Overlay", 294, 295, 820, 30, 95, 80},
    {kPageColors, 1011, "Colors", 286, 287, 990, 30, 65, 80},
    {kPageControls, 1012, "Controls", 288, 289, 1060, 30, 75, 80},
    {kPageSwitcher, 1015, "Switcher", 292, 293, 750, 30, 70, 80},
    {kPageAudio, 1016, "Audio", 284, 285, 920, 30, 65, 80},
}};

const PageButtonEntry* FindPageButton(std::uint8_t pageType) {
    for (const PageButtonEntry& entry : kPageButtons) {
        if (entry.pageType == pageType) {
            return &entry;
        }
    }
    return nullptr;
}

// The preview's canvas sits at this point of the page, unscaled.
constexpr int kPreviewAnchorX = 5;
constexpr int kPreviewAnchorY = 40;

const std::string kLeavingMultiviewerWarning =
    "Exiting Multi-viewer Mode will make Loopout return to the status you set for Switcher Mode last time. "
    "\nAre you sure? ";
const std::string kLeavingSwitcherWarning = "Exiting Switcher Mode will default the Matrix to one-to-one "
                                            "until you return to Switcher Mode. \nAre you sure? ";

} // namespace

CClass_child_main_dlg::CClass_child_main_dlg(QWidget* parent, ConsolePageContext context)
    : UnitPage(parent), m_context(context), m_ui(this), m_changes(context.session),
      m_settingContext{context.session, m_changes, context.consoleLocked, context.scale} {
    setObjectName(QStringLiteral("136"));
    RegisterSettingPages(m_settingPages);
    PlaceControls();
    connect(&m_changes, &MultiviewerSignals::fieldChanged, this, &CClass_child_main_dlg::OnFieldChanged);
    connect(&m_changes, &MultiviewerSignals::replaced, this, [this] {
        m_readSinceSwitch = true;
        m_preview->Redraw();
    });
    StartStateRead();
}

CClass_child_main_dlg::~CClass_child_main_dlg() {
    // The receiver stops and joins first; the state read, if it still runs, is cancelled on the
    // link, and so is any re-read of this unit with the reports held for it.
    m_receiver.reset();
    m_stateRead.reset();
    m_context.session.CancelReread();
}

void CClass_child_main_dlg::PlaceControls() {
    const ScreenScale& scale = m_context.scale;

    m_multiviewerMode = new ShadePictureButton(this);
    m_multiviewerMode->setObjectName(QStringLiteral("1154"));
    m_multiviewerMode->setAccessibleName(QStringLiteral("Multiviewer Mode"));
    m_multiviewerMode->setGeometry(scale.PlacedPixels(760, 0, 178, 28));
    m_multiviewerMode->SetButtonPictureResource(kPictureMultiviewerMode);
    connect(m_multiviewerMode, &QAbstractButton::clicked, this, &CClass_child_main_dlg::OnMultiviewerMode);

    m_switcherMode = new ShadePictureButton(this);
    m_switcherMode->setObjectName(QStringLiteral("1082"));
    m_switcherMode->setAccessibleName(QStringLiteral("Switcher Mode"));
    m_switcherMode->setGeometry(scale.PlacedPixels(940, 0, 178, 28));
    m_switcherMode->SetButtonPictureResource(kPictureSwitcherMode);
    connect(m_switcherMode, &QAbstractButton::clicked, this, &CClass_child_main_dlg::OnSwitcherMode);

    for (const PageButtonEntry& entry : kPageButtons) {
        auto* button = new ShadePictureButton(this);
        button->setObjectName(QString::number(entry.controlId));
        button->setAccessibleName(QLatin1String(entry.name));
        button->setGeometry(scale.PlacedPixels(entry.x, entry.y, entry.width, entry.height));
        button->SetButtonPictureResource(entry.normalPicture);
        const std::uint8_t pageType = entry.pageType;
        connect(button, &QAbstractButton::clicked, this, [this, pageType] { SwitchPage(pageType); });
        // The first page switch shows the button set of the unit's mode.
        button->hide();
        m_pageButtons[pageType] = button;
    }

    m_pageArea = scale.Rect(750, 120, 490, 420);

    m_preview = new LayoutPreview(this, m_context.session.State(), scale);
    m_preview->setObjectName(QStringLiteral("1013"));
    m_preview->move(kPreviewAnchorX, kPreviewAnchorY);
    // Until the unit's state has been read the record may still be another unit's.
    m_preview->hide();
}

void CClass_child_main_dlg::StartStateRead() {
    // The unit's whole state comes first; the read waits up to 2000 ms on the link thread while the
    // window keeps painting, refuses input and says that the unit is being read.
    m_stateRead = std::make_unique<BusyNotice>(
        *this, BusyNotice::Look{QStringLiteral("Reading the unit\u2026"), m_pageArea, Qt::AlignCenter, false,
                                m_context.scale.Y(16)});
    m_stateRead->Run<RereadResult>(
        [this](std::stop_token cancel, std::function<void(RereadResult)> done) {
            m_context.session.Reread(RereadCause::Opening, std::move(cancel), std::move(done));
        },
        [this](RereadResult) { FinishInitialisation(); });
}

void CClass_child_main_dlg::FinishInitialisation() {
    m_preview->show();
    // The first page is the unit's mode; a read that could not be sent leaves the record as it
    // was, and its mode decides.
    m_readSinceSwitch = true;
    if (m_context.session.State().switcherMode == 1) {
        OnSwitcherMode();
    } else {
        OnMultiviewerMode();
    }

    m_receiver = StatusReceiverThread::Start(m_context.session.Link(), m_context.devices.Selected(), m_ui,
                                             m_context.session);
    if (m_receiver == nullptr) {
        m_context.dialogs.DebugText("create socket fail\n");
    }
    m_initialised = true;
    emit initialised();
}

PictureButton* CClass_child_main_dlg::PageButton(std::uint8_t pageType) const {
    return pageType < m_pageButtons.size() ? m_pageButtons[pageType] : nullptr;
}

void CClass_child_main_dlg::ShowPageButtonImage(std::uint8_t pageType, bool selected) {
    const PageButtonEntry* entry = FindPageButton(pageType);
    if (entry != nullptr) {
        // A screen reader hears "selected" with the highlighted face.
        PageButton(pageType)->ShowDescribedPicture(selected ? entry->selectedPicture : entry->normalPicture);
    }
}

bool CClass_child_main_dlg::SwitchPage(std::uint8_t pageType) {
    if (pageType == m_pageType) {
        return false;
    }
    if (m_context.consoleLocked && !m_readSinceSwitch) {
        return false;
    }
    const bool toSwitcher = pageType == kPageSwitcher;
    if (m_pageType != kPageNone && toSwitcher != (m_pageType == kPageSwitcher)) {
        if (!m_context.dialogs.AskWarning(toSwitcher ? kLeavingMultiviewerWarning : kLeavingSwitcherWarning)) {
            return false;
        }
    }
    m_readSinceSwitch = false;

    ShowPageButtonImage(m_pageType, false);
    if (m_settingPage != nullptr) {
        m_settingPage->hide();
        delete m_settingPage;
    }
    m_settingPage = m_settingPages.Create(pageType, this, m_settingContext);
    ShowPageButtonImage(pageType, true);
    if (m_settingPage != nullptr) {
        m_settingPage->setGeometry(m_pageArea);
        m_settingPage->show();
    }
    m_pageType = pageType;
    ShowMode();
    // The preview shows the switcher grid on the SWITCHER page and the layout on every other.
    m_preview->Show(toSwitcher ? PreviewKind::SwitcherGrid : PreviewKind::Layout);
    m_context.session.SetSwitcherMode(toSwitcher ? 1 : 0);
    return true;
}

void CClass_child_main_dlg::OnMultiviewerMode() {
    SwitchPage(kPageLayout);
}

void CClass_child_main_dlg::OnSwitcherMode() {
    SwitchPage(kPageSwitcher);
}

void CClass_child_main_dlg::ShowMode() {
    const bool switcher = m_pageType == kPageSwitcher;
    m_multiviewerMode->ShowDescribedPicture(switcher ? kPictureMultiviewerMode : kPictureMultiviewerModeSelected);
    m_switcherMode->ShowDescribedPicture(switcher ? kPictureSwitcherModeSelected : kPictureSwitcherMode);
    for (const PageButtonEntry& entry : kPageButtons) {
        PageButton(entry.pageType)->setVisible((entry.pageType == kPageSwitcher) == switcher);
    }
}

void CClass_child_main_dlg::OnFieldChanged(const MultiviewerChange& change) {
    if (PreviewDraws(change.field)) {
        m_preview->Redraw();
    }
}

void CClass_child_main_dlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), Skin::Picture(kPictureBackground));
    if (m_stateRead != nullptr) {
        m_stateRead->Paint(painter);
    }
}

} // namespace brenvik
