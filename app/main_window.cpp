#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/configure_dialog.h"
#include "app/device_list.h"
#include "app/device_list_texts.h"

#include "controls/color_button.h"
#include "controls/enter_escape.h"
#include "controls/field_colours.h"
#include "controls/background_operation.h"
#include "controls/shade_picture_button.h"
#include "link/platform/serial_port_list.h"
#include "res/skin.h"
#include "res/skin_painter.h"
#include "res/skin_palette.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace brenvik {

namespace {

constexpr int kPictureSearch = 133;
constexpr int kPictureUnlocked = 132;
constexpr int kPictureLocked = 135;
constexpr int kPictureSettings = 134;
constexpr int kPictureBackground = 129;

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 720;
constexpr int kCustomNameLength = 16;

const QColor kCaptionButtonText(palette::kBlue);
// Static texts: black on the console's blue.
const QColor kStaticBackground(palette::kBlue);
const QColor kStaticText(0, 0, 0);

const QString kNoDeviceConnected = QStringLiteral("No Device Connected");
const QString kCustomNamePlaceholder = QStringLiteral("Custom Name");

QLabel* MakeStaticText(QWidget* parent, const QString& id, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(id);
    label->setAutoFillBackground(true);
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, kStaticBackground);
    colours.setColor(QPalette::WindowText, kStaticText);
    label->setPalette(colours);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// A setting page swallows Enter and Escape itself, after giving Enter to its own fields; the keys
// still never reach the window.
bool TakesEnterAndEscapeItself(const QWidget* widget) {
    for (; widget != nullptr && !widget->isWindow(); widget = widget->parentWidget()) {
        if (widget->property(kOwnEnterEscapeProperty).toBool()) {
            return true;
        }
    }
    return false;
}

} // namespace

CVARNOLUX_16_VIEWDlg::CVARNOLUX_16_VIEWDlg(ConsoleWindowSetup setup, QWidget* parent)
    : QDialog(parent), m_dialogs(setup.dialogs != nullptr ? setup.dialogs : &m_messageBoxes),
      m_scale(setup.scale), m_state(std::move(setup.endpoints), *m_dialogs) {
    m_messageBoxes.SetParentWindow(this);
    setObjectName(QStringLiteral("102"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Brenvik Rackmount Control"));
    setWindowIcon(Skin::WindowIcon());
    setFixedSize(m_scale.Size(kWindowWidth, kWindowHeight));
    move(0, 0);

    BuildControls();
    // No control has the focus at start; the hidden sink holds it.
    m_focusSink->setFocus();

    m_searchOperation = std::make_unique<BackgroundOperation>(this, [this](bool searching) { ShowSearching(searching); });
    m_searchAnimation.setInterval(250);
    connect(&m_searchAnimation, &QTimer::timeout, this, &CVARNOLUX_16_VIEWDlg::AnimateSearchStatus);

    connect(&m_multiviewerChanges, &MultiviewerSignals::nameShown, this, &CVARNOLUX_16_VIEWDlg::ShowUnitName);
    connect(&m_multiviewerChanges, &MultiviewerSignals::lockShown, this, &CVARNOLUX_16_VIEWDlg::ShowLock);
    connect(&m_multiviewerChanges, &MultiviewerSignals::replaced, this,
            [this] { m_state.networkDhcp = m_state.multiviewer.State().networkDhcp; });

    // Enter and Escape never close the window; they commit the custom name while it is edited.
    // The application-wide filter also sees the name field's focus changes.
    qApp->installEventFilter(this);
}

CVARNOLUX_16_VIEWDlg::~CVARNOLUX_16_VIEWDlg() {
    qApp->removeEventFilter(this);
    m_searchOperation.reset();
    // The page goes before the link: it stops its status receiver, which still uses the link.
    delete m_currentPage;
    // So does the connection page, which refers to the console's state.
    delete m_configurePage;
}

void CVARNOLUX_16_VIEWDlg::BuildControls() {
    m_minimise = new CColorButton(this);
    m_minimise->setObjectName(QStringLiteral("1000"));
    m_minimise->setAccessibleName(QStringLiteral("Minimise"));
    m_minimise->setText(QStringLiteral("-"));
    m_minimise->SetTextColor(kCaptionButtonText);
    m_minimise->setGeometry(m_scale.Rect(1200, 0, 40, 35));
    connect(m_minimise, &QAbstractButton::clicked, this, &QWidget::showMinimized);

    m_close = new CColorButton(this);
    m_close->setObjectName(QStringLiteral("1001"));
    m_close->setAccessibleName(QStringLiteral("Close"));
    m_close->setText(QStringLiteral("x"));
    m_close->SetTextColor(kCaptionButtonText);
    m_close->setGeometry(m_scale.Rect(1240, 0, 40, 35));
    connect(m_close, &QAbstractButton::clicked, this, [this] {
        RemoveCurrentPage();
        done(QDialog::Rejected);
    });

    // The closed box takes the top of the list's rectangle; the custom name field sits under it.
    m_deviceList = new DeviceList(this, m_scale.Y(26));
    m_deviceList->setObjectName(QStringLiteral("1003"));
    m_deviceList->setAccessibleName(QStringLiteral("Device list"));
    m_deviceList->setGeometry(m_scale.Rect(45, 80, 320, 40));
    connect(m_deviceList, &QComboBox::activated, this, &CVARNOLUX_16_VIEWDlg::OnDeviceSelected);

    m_customName = new QLineEdit(this);
    m_customName->setObjectName(QStringLiteral("1147"));
    m_customName->setAccessibleName(QStringLiteral("Custom Name"));
    m_customName->setMaxLength(kCustomNameLength);
    m_customName->setFrame(false);
    m_customName->setGeometry(m_scale.Rect(45, 110, 320, 20));
    m_customName->setTextMargins(6, 0, 6, 0);
    m_customName->setPlaceholderText(kCustomNamePlaceholder);
    ApplyFieldLook(*m_customName, MainFieldLook());

    // Takes the focus away from the name field when the background is clicked; never seen.
    m_focusSink = new QWidget(this);
    m_focusSink->setObjectName(QStringLiteral("1148"));
    m_focusSink->setFocusPolicy(Qt::StrongFocus);
    m_focusSink->setGeometry(0, 0, 0, 0);

    m_search = new ShadePictureButton(this);
    m_search->setObjectName(QStringLiteral("1002"));
    m_search->setAccessibleName(QStringLiteral("Search"));
    m_search->setGeometry(m_scale.PlacedPixels(380, 75, 135, 35));
    m_search->SetButtonPictureResource(kPictureSearch);
    connect(m_search, &QAbstractButton::clicked, this, &CVARNOLUX_16_VIEWDlg::SearchUnits);

    m_settings = new ShadePictureButton(this);
    m_settings->setObjectName(QStringLiteral("1004"));
    m_settings->setAccessibleName(QStringLiteral("Settings"));
    m_settings->setGeometry(m_scale.PlacedPixels(520, 73, 134, 38));
    m_settings->SetButtonPictureResource(kPictureSettings);
    connect(m_settings, &QAbstractButton::clicked, this, &CVARNOLUX_16_VIEWDlg::OpenConfigurePage);

    m_lock = new ShadePictureButton(this);
    m_lock->setObjectName(QStringLiteral("1005"));
    m_lock->setAccessibleName(QStringLiteral("Lock console"));
    m_lock->setGeometry(m_scale.PlacedPixels(665, 75, 70, 37));
    ShowLock(false);
    connect(m_lock, &QAbstractButton::clicked, this, &CVARNOLUX_16_VIEWDlg::ToggleLock);

    m_status = MakeStaticText(this, QStringLiteral("1007"), kNoDeviceConnected);
    m_status->setGeometry(m_scale.Rect(30, 40, 140, 20));
    m_version = MakeStaticText(this, QStringLiteral("1006"), QStringLiteral("Ver 1.0.3.4"));
    m_version->setGeometry(m_scale.Rect(1200, 40, 140, 20));

    m_pageFrame = new QWidget(this);
    m_pageFrame->setObjectName(QStringLiteral("1008"));
    m_pageFrame->setGeometry(m_scale.Rect(20, 160, 1240, 540));
    m_pageFrame->hide();
    m_pageRect = m_pageFrame->geometry();

    // Tab order follows the dialog template.
    setTabOrder(m_deviceList, m_customName);
    setTabOrder(m_customName, m_search);
    setTabOrder(m_search, m_settings);
    setTabOrder(m_settings, m_lock);
}

bool CVARNOLUX_16_VIEWDlg::SearchRunning() const {
    return m_searchOperation->Running();
}

void CVARNOLUX_16_VIEWDlg::SearchUnits() {
    if (SearchRunning()) {
        return;
    }
    m_state.devices.SetSelectedIndex(-1);
    // The search runs on the link thread: the window keeps painting, shows the search under way and
    // refuses input until the result is applied. The list and the page stay until then, so that a
    // search that cannot start leaves them as they were.
    m_statusBeforeSearch = m_status->text();
    m_searchOperation->Run<DiscoveryResult>(
        [this](std::stop_token cancel, std::function<void(DiscoveryResult)> done) {
            StartDiscovery(m_state.link, std::move(cancel), std::move(done));
        },
        [this](DiscoveryResult result) { FinishSearch(std::move(result)); });
}

void CVARNOLUX_16_VIEWDlg::ShowSearching(bool searching) {
    if (searching) {
        m_searchDots = 0;
        AnimateSearchStatus();
        m_searchAnimation.start();
    } else {
        m_searchAnimation.stop();
    }
}

void CVARNOLUX_16_VIEWDlg::AnimateSearchStatus() {
    m_status->setText(QStringLiteral("Searching") + QString(m_searchDots % 4, QLatin1Char('.')));
    ++m_searchDots;
}

void CVARNOLUX_16_VIEWDlg::FinishSearch(DiscoveryResult result) {
    if (result.outcome == DiscoveryResult::Outcome::SerialPortClosed) {
        m_status->setText(m_statusBeforeSearch);
        m_dialogs->ShowError("Please open the serial port first!");
        emit searchFinished();
        return;
    }

    RemoveCurrentPage();
    m_deviceList->clear();
    if (result.outcome == DiscoveryResult::Outcome::SocketError) {
        // The status line stays as it was before the search; the list is empty.
        m_state.devices.Clear();
        m_status->setText(m_statusBeforeSearch);
        m_dialogs->ShowError("Create socket err");
        update();
        emit searchFinished();
        return;
    }

    ApplyDiscovery(m_state.devices, result);
    if (result.stateFrame) {
        m_state.multiviewer.StoreStateFrame(*result.stateFrame);
    }
    {
        const QSignalBlocker quiet(m_deviceList);
        for (const std::u16string& item : DeviceListItems(result)) {
            m_deviceList->addItem(QString::fromStdU16String(item));
        }
        m_deviceList->setCurrentIndex(0);
    }
    m_status->setText(QString::fromStdString(DeviceStatusText(result)));
    OpenUnitPage();
    update();
    emit searchFinished();
}

void CVARNOLUX_16_VIEWDlg::OnDeviceSelected(int index) {
    m_state.devices.SetSelectedIndex(index);
    if (index == m_state.devices.OpenedIndex()) {
        return;
    }
    OpenUnitPage();
}

void CVARNOLUX_16_VIEWDlg::RemoveCurrentPage() {
    if (m_currentPage != nullptr) {
        m_currentPage->hide();
        // Destroying the page stops and joins its status receiver before the next page starts.
        delete m_currentPage;
    }
}

void CVARNOLUX_16_VIEWDlg::OpenUnitPage() {
    const int selected = m_state.devices.SelectedIndex();
    if (selected < 0 || selected >= static_cast<int>(kDeviceTableSize)) {
        return;
    }
    if (m_deviceList->count() == 0) {
        return;
    }
    m_customName->clear();
    RemoveCurrentPage();
    m_state.devices.SetOpenedIndex(selected);

    QWidget* page = m_pages.Create(m_state.devices.At(static_cast<std::size_t>(selected)).typeCode, this);
    // The page area tells which unit is selected when its type has no page.
    update();
    if (page == nullptr) {
        return;
    }
    m_currentPage = page;
    page->setGeometry(m_pageRect);
    page->show();
}

CClass_configure_argc_dlg* CVARNOLUX_16_VIEWDlg::ConfigurePage() const {
    return m_configurePage;
}

void CVARNOLUX_16_VIEWDlg::OpenConfigurePage() {
    delete m_configurePage;
    m_configurePage =
        new CClass_configure_argc_dlg(m_state, *m_dialogs, m_scale, platform::ListSerialPorts(), this);
    m_configurePage->move(pos() + m_scale.Point(100, 40));
    m_configurePage->show();
}

void CVARNOLUX_16_VIEWDlg::SendCustomName() {
    // An empty field that nobody typed into shows the placeholder: there is no name to send.
    if (m_state.consoleLocked || (m_customName->text().isEmpty() && !m_customName->isModified())) {
        return;
    }
    const std::u16string name = m_customName->text().toStdU16String();
    const std::optional<DeviceEntry> unit = m_state.devices.Selected();
    if (unit && unit->typeCode == kTypeMatrixSwitcher) {
        m_state.matrix.SetName(name);
    } else {
        m_state.multiviewer.SetCustomName(name);
    }
}

void CVARNOLUX_16_VIEWDlg::ToggleLock() {
    m_state.consoleLocked = !m_state.consoleLocked;
    ShowLock(m_state.consoleLocked);
}

void CVARNOLUX_16_VIEWDlg::ShowUnitName(const std::optional<std::u16string>& name) {
    m_customName->setText(name ? QString::fromStdU16String(*name) : QString());
}

void CVARNOLUX_16_VIEWDlg::ShowLock(bool locked) {
    m_lock->SetButtonPictureResource(locked ? kPictureLocked : kPictureUnlocked);
    // The padlock on the face is all the eye gets; a screen reader hears the state from here.
    m_lock->setAccessibleDescription(locked ? QStringLiteral("locked") : QStringLiteral("unlocked"));
}

bool CVARNOLUX_16_VIEWDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_customName) {
        if (event->type() == QEvent::FocusIn) {
            m_nameFieldFocused = true;
        } else if (event->type() == QEvent::FocusOut) {
            m_nameFieldFocused = false;
            SendCustomName();
        }
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget != nullptr && widget->window() == this && IsEnterOrEscape(*key) &&
            !TakesEnterAndEscapeItself(widget)) {
            if (event->type() == QEvent::KeyPress && watched == m_customName) {
                SendCustomName();
            }
            event->accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CVARNOLUX_16_VIEWDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    if (m_nameFieldFocused) {
        m_focusSink->setFocus(Qt::MouseFocusReason);
        m_nameFieldFocused = false;
    }
    // A borderless window is dragged by any free point of its background.
    if (windowHandle() == nullptr || !windowHandle()->startSystemMove()) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    event->accept();
}

void CVARNOLUX_16_VIEWDlg::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_dragOffset);
    }
    QDialog::mouseMoveEvent(event);
}

void CVARNOLUX_16_VIEWDlg::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}

void CVARNOLUX_16_VIEWDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), Skin::Picture(kPictureBackground));
    if (m_currentPage == nullptr) {
        PaintPageAreaMessage(painter);
    }
}

std::pair<QString, QString> CVARNOLUX_16_VIEWDlg::PageAreaMessage() const {
    // What is true of the page area while no page covers it: nothing is listed, or the selected
    // unit is of a type this console has no page for.
    QString title = QStringLiteral("No unit open");
    QString detail = QStringLiteral("Press SEARCH to find the units on the network, then pick one in the device list");
    const int selected = m_state.devices.SelectedIndex();
    if (selected >= 0 && selected < m_deviceList->count()) {
        const std::uint8_t typeCode = m_state.devices.At(static_cast<std::size_t>(selected)).typeCode;
        if (!m_pages.Has(typeCode)) {
            title = m_deviceList->itemText(selected);
            detail = QStringLiteral("This console has no page for units of type code 0x%1")
                         .arg(QString::number(typeCode, 16).toUpper().rightJustified(2, QLatin1Char('0')));
        }
    }
    return {title, detail};
}

void CVARNOLUX_16_VIEWDlg::PaintPageAreaMessage(QPainter& painter) const {
    const auto [title, detail] = PageAreaMessage();
    SkinPainter skin(painter);
    const QRectF area(m_pageRect);
    const qreal centreY = area.center().y();
    skin.Caption(QRectF(area.left(), centreY + m_scale.Y(18), area.width(), m_scale.Y(28)), title, m_scale.Y(20),
                 palette::kEmptyTitle, Qt::AlignCenter, 600, 0.8);
    skin.Caption(QRectF(area.left(), centreY + m_scale.Y(50), area.width(), m_scale.Y(20)), detail, m_scale.Y(13),
                 palette::kFaint, Qt::AlignCenter, 400, 0.3);
}

void CVARNOLUX_16_VIEWDlg::contextMenuEvent(QContextMenuEvent* event) {
    // A borderless window has no system menu; the background's menu carries its About item.
    QMenu menu(this);
    menu.addAction(QStringLiteral("关于 VARNOLUX_16_VIEW(&A)..."), this, &CVARNOLUX_16_VIEWDlg::ShowAbout);
    menu.exec(event->globalPos());
}

void CVARNOLUX_16_VIEWDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

} // namespace brenvik
