#include "multiviewer/ui/console_page.h"

#include "multiviewer/core/page_type.h"
#include "multiviewer/core/preview_refresh.h"
#include "multiviewer/ui/layout_preview.h"

#include "controls/background_operation.h"
#include "controls/shade_picture_button.h"
#include "res/skin.h"
#include "res/skin_palette.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
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

// Shows a face of a page or mode button; a screen reader hears "selected" with the highlighted one.
void ShowFace(PictureButton* button, int picture, bool selected) {
    button->SetButtonPictureResource(picture);
    button->setAccessibleDescription(selected ? QStringLiteral("selected") : QString());
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

void PageUiDispatcher::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(m_page, std::move(task), Qt::QueuedConnection);
}

CClass_child_main_dlg::CClass_child_main_dlg(QWidget* parent, ConsolePageContext context)
    : QWidget(parent), m_context(context),
      m_commands(context.link, context.devices, context.state, context.consoleLocked, *this),
      m_applier(context.state, *this, context.mainWindow, context.consoleLocked),
      m_ui(this), m_settingContext{context.state,
                                   m_commands,
                                   context.consoleLocked,
                                   context.scale,
                                   static_cast<ConsoleView&>(*this),
                                   context.link,
                                   context.devices,
                                   context.mainWindow} {
    setObjectName(QStringLiteral("136"));
    m_context.state.pageType = kPageNone;
    RegisterSettingPages(m_settingPages);
    PlaceControls();
    StartStateRead();
}

CClass_child_main_dlg::~CClass_child_main_dlg() {
    // The receiver stops and joins before anything it posts to goes; the state read, if it still
    // runs, is cancelled on the link and its result dropped.
    m_receiver.reset();
    m_stateRead.reset();
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

    m_preview = new LayoutPreview(this, m_context.state, scale);
    m_preview->setObjectName(QStringLiteral("1013"));
    m_preview->move(kPreviewAnchorX, kPreviewAnchorY);
    // Until the unit's state has been read the record may still be another unit's.
    m_preview->hide();
}

void CClass_child_main_dlg::StartStateRead() {
    // The unit's whole state comes first; the read waits up to 2000 ms on the link thread while the
    // window keeps painting, refuses input and says that the unit is being read.
    m_stateRead =
        std::make_unique<BackgroundOperation>(window(), [this](bool reading) { ShowReading(reading); });
    const std::optional<DeviceEntry> unit = m_context.devices.Selected();
    m_stateRead->Run<StateRead>(
        [this, unit](std::stop_token cancel, std::function<void(StateRead)> done) {
            QueryUnitState(m_context.link, unit, std::move(cancel), std::move(done));
        },
        [this](StateRead read) { FinishInitialisation(read); });
}

void CClass_child_main_dlg::ShowReading(bool reading) {
    m_reading = reading;
    update();
}

void CClass_child_main_dlg::FinishInitialisation(const StateRead& read) {
    MultiviewerState& state = m_context.state;
    ApplyStateRead(read, state, m_context.consoleLocked, m_context.mainWindow);
    RecomputeSwitcherCells(state);
    RecomputeLayoutGeometry(state, *this);
    RefreshUmdBackColors(state, *this);
    RefreshUmdTextColors(state, *this);
    RefreshFormatBackColors(state, *this);
    RefreshFormatTextColors(state, *this);
    m_preview->show();

    // The read has just set stateLoaded, so this first switch goes through even when locked.
    if (state.switcherMode == 1) {
        OnSwitcherMode();
    } else {
        OnMultiviewerMode();
    }

    m_receiver = StatusReceiverThread::Start(m_context.link, m_context.devices.Selected(), m_ui, m_applier);
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
        ShowFace(PageButton(pageType), selected ? entry->selectedPicture : entry->normalPicture, selected);
    }
}

bool CClass_child_main_dlg::SwitchPage(std::uint8_t pageType) {
    MultiviewerState& state = m_context.state;
    if (m_lastPageType != kPageNone) {
        if (pageType == kPageSwitcher && m_lastPageType != kPageSwitcher) {
            if (!m_context.dialogs.AskWarning(kLeavingMultiviewerWarning)) {
                return false;
            }
        } else if (pageType != kPageSwitcher && m_lastPageType == kPageSwitcher) {
            if (!m_context.dialogs.AskWarning(kLeavingSwitcherWarning)) {
                return false;
            }
        }
    }
    if (state.stateLoaded) {
        state.stateLoaded = false;
    } else if (m_context.consoleLocked) {
        return false;
    }
    if (pageType == state.pageType) {
        return false;
    }

    ShowPageButtonImage(state.pageType, false);
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

    state.pageType = pageType;
    state.switcherMode = pageType == kPageSwitcher ? 1 : 0;
    m_lastPageType = pageType;
    // The preview shows the switcher grid on the SWITCHER page and the layout on every other.
    m_preview->Redraw();
    m_commands.SetSwitcherMode(state.switcherMode);
    return true;
}

void CClass_child_main_dlg::OnMultiviewerMode() {
    SwitchPage(kPageLayout);
    ShowFace(m_multiviewerMode, kPictureMultiviewerModeSelected, true);
    ShowFace(m_switcherMode, kPictureSwitcherMode, false);
    for (const PageButtonEntry& entry : kPageButtons) {
        PageButton(entry.pageType)->setVisible(entry.pageType != kPageSwitcher);
    }
}

void CClass_child_main_dlg::OnSwitcherMode() {
    SwitchPage(kPageSwitcher);
    ShowFace(m_multiviewerMode, kPictureMultiviewerMode, false);
    ShowFace(m_switcherMode, kPictureSwitcherModeSelected, true);
    for (const PageButtonEntry& entry : kPageButtons) {
        PageButton(entry.pageType)->setVisible(entry.pageType == kPageSwitcher);
    }
}

void CClass_child_main_dlg::RedrawPreview() {
    m_preview->Redraw();
}

void CClass_child_main_dlg::UpdatePage(const PageUpdate& update) {
    if (m_settingPage != nullptr && update.pageType == m_context.state.pageType) {
        m_settingPage->ApplyUpdate(update);
    }
}

void CClass_child_main_dlg::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CClass_child_main_dlg::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

void CClass_child_main_dlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), Skin::Picture(kPictureBackground));
    if (m_reading) {
        painter.setPen(QColor(palette::kCaption));
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(m_context.scale.Y(16));
        painter.setFont(font);
        painter.drawText(m_pageArea, Qt::AlignCenter, QStringLiteral("Reading the unit\u2026"));
    }
}

} // namespace brenvik
