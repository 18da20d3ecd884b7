#include "app/configure_dialog.h"

#include "app/console_state.h"
#include "app/ip_address_field.h"
#include "controls/background_operation.h"
#include "controls/color_button.h"
#include "controls/enter_escape.h"
#include "controls/field_colours.h"
#include "controls/operator_dialogs.h"
#include "controls/picture_button.h"
#include "link/frame.h"
#include "res/skin_palette.h"

#include <QComboBox>
#include <QPainter>

#include <algorithm>
#include <array>

namespace brenvik {

namespace {

constexpr int kPageWidth = 440;
constexpr int kPageHeight = 486;

constexpr int kModeLan = 0;
constexpr int kModeSerial = 1;
constexpr int kAddressStatic = 0;
constexpr int kAddressDhcp = 1;

// The faces of the open-or-close and apply buttons, and their size.
constexpr int kPictureConnect = 140;
constexpr int kPictureDisconnect = 141;
constexpr int kPictureApply = 454;
constexpr int kFaceWidth = 180;
constexpr int kFaceHeight = 40;

struct FieldLabel {
    int y; // 96-dpi units, the top of the field it names
    const char* text;
};
constexpr std::array<FieldLabel, 7> kFieldLabels{{
    {30, "Connection"},
    {80, "Serial Port"},
    {130, "Baud Rate"},
    {250, "Address Mode"},
    {300, "IP Address"},
    {350, "Subnet Mask"},
    {400, "Gateway"},
}};
constexpr int kLabelLeft = 30;
constexpr int kFieldLeft = 175;
constexpr int kFieldWidth = 170;
constexpr int kFieldHeight = 20;
// The address fields keep the size of the dialog template: 114 x 12 dialog units.
constexpr int kAddressFieldWidth = 171;
constexpr int kAddressFieldHeight = 20;

constexpr QRgb kFieldText = qRgb(60, 180, 255);
constexpr QRgb kFieldBackground = qRgb(58, 58, 58);
const QColor kCloseText(0, 136, 208);

void DrawBackground(QPainter& painter, const QRect& area, const ScreenScale& scale) {
    painter.fillRect(area, QColor(palette::kBase));
    painter.setPen(QColor(palette::kEdgeDark));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    // Two panels: the link to the units above, the unit's network address below.
    const std::array<QRect, 2> panels{scale.Rect(15, 15, 410, 200), scale.Rect(15, 235, 410, 240)};
    for (const QRect& panel : panels) {
        painter.fillRect(panel, QColor(palette::kPanel));
        painter.setPen(QColor(palette::kEdgeLight));
        painter.drawLine(panel.topLeft(), panel.topRight());
    }
    QFont font = painter.font();
    font.setPixelSize(scale.Y(13));
    painter.setFont(font);
    painter.setPen(QColor(palette::kLabel));
    for (const FieldLabel& label : kFieldLabels) {
        painter.drawText(scale.Rect(kLabelLeft, label.y, kFieldLeft - kLabelLeft - 10, kFieldHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, QString::fromLatin1(label.text));
    }
}

// Fields that cannot be used now read as greyed text on the page ground.
void ApplyPageFieldLook(QWidget& field, const ScreenScale& scale) {
    ApplyFieldLook(field, FieldLook{kFieldText, kFieldBackground, palette::kFaint, palette::kWell, std::nullopt});
    QFont font = field.font();
    font.setPixelSize(scale.Y(13));
    field.setFont(font);
}

// A field is called by the label painted beside it, which shares its top.
QString FieldName(int y) {
    const auto* label = std::find_if(kFieldLabels.begin(), kFieldLabels.end(),
                                     [y](const FieldLabel& entry) { return entry.y == y; });
    return label == kFieldLabels.end() ? QString() : QString::fromLatin1(label->text);
}

QComboBox* MakeList(QWidget* parent, const char* id, const ScreenScale& scale, const QRect& geometry) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(id));
    list->setAccessibleName(FieldName(geometry.y()));
    list->setGeometry(scale.Rect(geometry.x(), geometry.y(), geometry.width(), geometry.height()));
    ApplyPageFieldLook(*list, scale);
    return list;
}

IpAddressField* MakeAddressField(QWidget* parent, const char* id, const ScreenScale& scale, int y) {
    auto* field = new IpAddressField(parent);
    field->setObjectName(QString::fromLatin1(id));
    field->setAccessibleName(FieldName(y));
    field->setGeometry(scale.Rect(kFieldLeft, y, kAddressFieldWidth, kAddressFieldHeight));
    field->setFrame(false);
    field->setTextMargins(scale.X(4), 0, 0, 0);
    ApplyPageFieldLook(*field, scale);
    return field;
}

void Choose(QComboBox& list, int index) {
    const QSignalBlocker quiet(&list);
    list.setCurrentIndex(index >= 0 && index < list.count() ? index : 0);
}

} // namespace

CClass_configure_argc_dlg::CClass_configure_argc_dlg(ConsoleState& state, OperatorDialogs& dialogs,
                                                     ScreenScale scale, std::vector<std::string> ports,
                                                     QWidget* parent)
    : QDialog(parent), m_state(state), m_dialogs(dialogs), m_scale(scale),
      m_portOpened(state.serialPortOpened.load()) {
    setObjectName(QStringLiteral("138"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(m_scale.Size(kPageWidth, kPageHeight));
    std::sort(ports.begin(), ports.end());
    BuildControls(ports);
    m_portOperation = std::make_unique<BackgroundOperation>(this);
}

CClass_configure_argc_dlg::~CClass_configure_argc_dlg() = default;

bool CClass_configure_argc_dlg::PortOperationRunning() const {
    return m_portOperation->Running();
}

void CClass_configure_argc_dlg::BuildControls(const std::vector<std::string>& ports) {
    m_close = new CColorButton(this);
    m_close->setObjectName(QStringLiteral("1153"));
    m_close->setAccessibleName(QStringLiteral("Close"));
    m_close->setText(QStringLiteral("x"));
    m_close->SetTextColor(kCloseText);
    m_close->setGeometry(m_scale.Rect(400, 0, 40, 35));
    connect(m_close, &QAbstractButton::clicked, this, &QDialog::reject);

    m_mode = MakeList(this, "1015", m_scale, QRect(kFieldLeft, 30, kFieldWidth, kFieldHeight));
    m_mode->addItems({QStringLiteral("LAN Port"), QStringLiteral("Serial Port")});
    Choose(*m_mode, m_state.link.Mode() == LinkMode::Lan ? kModeLan : kModeSerial);
    connect(m_mode, &QComboBox::activated, this, &CClass_configure_argc_dlg::OnModeChosen);

    m_ports = MakeList(this, "1018", m_scale, QRect(kFieldLeft, 80, kFieldWidth, kFieldHeight));
    for (const std::string& port : ports) {
        m_ports->addItem(QString::fromStdString(port));
    }
    Choose(*m_ports, m_state.serialPortChoice);
    connect(m_ports, &QComboBox::activated, this, [this](int index) { m_state.serialPortChoice = index; });

    m_bauds = MakeList(this, "1019", m_scale, QRect(kFieldLeft, 130, kFieldWidth, kFieldHeight));
    for (const unsigned baud : kSerialBaudRates) {
        m_bauds->addItem(QString::number(baud));
    }
    Choose(*m_bauds, m_state.baudRateChoice);
    connect(m_bauds, &QComboBox::activated, this, [this](int index) { m_state.baudRateChoice = index; });

    m_openClose = new PictureButton(this);
    m_openClose->setObjectName(QStringLiteral("1020"));
    m_openClose->setGeometry(m_scale.PlacedPixels(165, 160, kFaceWidth, kFaceHeight));
    connect(m_openClose, &QAbstractButton::clicked, this, &CClass_configure_argc_dlg::OnOpenOrClose);
    ShowSerialControls();

    m_addressMode = MakeList(this, "1054", m_scale, QRect(kFieldLeft, 250, kFieldWidth, kFieldHeight));
    m_addressMode->addItems({QStringLiteral("Static"), QStringLiteral("DHCP")});
    connect(m_addressMode, &QComboBox::activated, this, &CClass_configure_argc_dlg::OnAddressModeChosen);

    m_address = MakeAddressField(this, "1016", m_scale, 300);
    m_mask = MakeAddressField(this, "1151", m_scale, 350);
    m_gateway = MakeAddressField(this, "1152", m_scale, 400);

    m_apply = new PictureButton(this);
    m_apply->setObjectName(QStringLiteral("1017"));
    m_apply->setAccessibleName(QStringLiteral("Apply"));
    m_apply->setGeometry(m_scale.PlacedPixels(165, 430, kFaceWidth, kFaceHeight));
    m_apply->SetButtonPictureResource(kPictureApply);
    connect(m_apply, &QAbstractButton::clicked, this, &CClass_configure_argc_dlg::OnApply);

    const bool dhcp = m_state.networkDhcp == 1;
    Choose(*m_addressMode, dhcp ? kAddressDhcp : kAddressStatic);
    EnableAddressFields(!dhcp);
    // With no unit selected the address field starts empty, which reads as 0.0.0.0.
    if (const std::optional<DeviceEntry> unit = m_state.devices.Selected()) {
        m_address->setText(QString::fromStdString(unit->Ip()));
    }
    m_mask->setText(QStringLiteral("255.255.255.0"));
    m_gateway->setText(QStringLiteral("192.168.1.1"));
}

void CClass_configure_argc_dlg::ShowSerialControls() {
    const bool serial = m_state.link.Mode() == LinkMode::Serial;
    m_ports->setEnabled(serial && !m_portOpened);
    m_bauds->setEnabled(serial && !m_portOpened);
    ShowOpenClosePicture(serial && m_portOpened);
}

void CClass_configure_argc_dlg::ShowOpenClosePicture(bool disconnect) {
    m_openClose->SetButtonPictureResource(disconnect ? kPictureDisconnect : kPictureConnect);
    // The face's caption changes with the port's state, and so does what a screen reader calls it.
    m_openClose->setAccessibleName(disconnect ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
}

int CClass_configure_argc_dlg::OpenClosePicture() const {
    return m_openClose->ShownPicture();
}

void CClass_configure_argc_dlg::keyPressEvent(QKeyEvent* event) {
    if (IsEnterOrEscape(*event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CClass_configure_argc_dlg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    DrawBackground(painter, rect(), m_scale);
}

void CClass_configure_argc_dlg::OnModeChosen(int index) {
    if (index == kModeLan) {
        // The port stays open; only this page forgets it, so that coming back to the serial line
        // opens it again with the chosen settings.
        m_portOpened = false;
        m_state.link.SetMode(LinkMode::Lan);
    } else {
        m_state.link.SetMode(LinkMode::Serial);
    }
    const bool serial = index == kModeSerial;
    m_ports->setEnabled(serial);
    m_bauds->setEnabled(serial);
    if (!serial) {
        ShowOpenClosePicture(false);
    }
}

void CClass_configure_argc_dlg::OnOpenOrClose() {
    if (m_state.link.Mode() != LinkMode::Serial || PortOperationRunning()) {
        return;
    }
    CnComm* port = &m_state.serialPort;
    std::atomic<bool>* opened = &m_state.serialPortOpened;
    ConsoleLink* link = &m_state.link;
    if (m_portOpened) {
        m_portOperation->Run<bool>(
            [link, port, opened](std::stop_token, std::function<void(bool)> done) {
                link->RunOnLinkThread([port, opened, done = std::move(done)] {
                    port->Close();
                    opened->store(false);
                    done(false);
                });
            },
            [this](bool nowOpen) { FinishPortOperation(nowOpen); });
        return;
    }
    const std::string name = m_ports->currentText().toStdString();
    const unsigned baud = m_bauds->currentText().toUInt();
    m_portOperation->Run<bool>(
        [link, port, opened, name, baud](std::stop_token, std::function<void(bool)> done) {
            link->RunOnLinkThread([port, opened, name, baud, done = std::move(done)] {
                const bool nowOpen = port->Open(name, baud);
                opened->store(nowOpen);
                done(nowOpen);
            });
        },
        [this](bool nowOpen) { FinishPortOperation(nowOpen); });
}

void CClass_configure_argc_dlg::FinishPortOperation(bool opened) {
    // A port that failed to open leaves the page as it was (and the port closed).
    if (opened || m_portOpened) {
        m_portOpened = opened;
        ShowSerialControls();
    }
    emit portOperationFinished();
}

void CClass_configure_argc_dlg::EnableAddressFields(bool enabled) {
    m_address->setEnabled(enabled);
    m_mask->setEnabled(enabled);
    m_gateway->setEnabled(enabled);
}

void CClass_configure_argc_dlg::OnAddressModeChosen(int index) {
    if (index == m_state.networkDhcp) {
        return;
    }
    m_state.networkDhcp = static_cast<std::uint8_t>(index);
    if (index == kAddressStatic) {
        EnableAddressFields(true);
        return;
    }
    EnableAddressFields(false);
    if (m_state.link.Mode() == LinkMode::Lan && !m_state.devices.Selected()) {
        m_dialogs.ShowError("Please choose a device");
        return;
    }
    m_state.networkSettings.fill(0);
    SendNetworkConfig();
}

void CClass_configure_argc_dlg::OnApply() {
    if (m_state.networkDhcp == kAddressDhcp) {
        return;
    }
    struct AddressField {
        IpAddressField* field;
        const char* missing;
    };
    const std::array<AddressField, 3> fields{{
        {m_address, "Please input the IP"},
        {m_mask, "Please input the subnet mask"},
        {m_gateway, "Please input the gateway"},
    }};
    std::array<std::uint8_t, 12> settings{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::array<std::uint8_t, 4> octets = fields[i].field->Octets();
        if (std::all_of(octets.begin(), octets.end(), [](std::uint8_t octet) { return octet == 0; })) {
            m_dialogs.ShowError(fields[i].missing);
            return;
        }
        std::copy(octets.begin(), octets.end(), settings.begin() + static_cast<std::ptrdiff_t>(4 * i));
    }
    m_state.networkSettings = settings;
    SendNetworkConfig();
}

void CClass_configure_argc_dlg::SendNetworkConfig() {
    const std::optional<DeviceEntry> unit = m_state.devices.Selected();
    const DeviceEntry addressing = unit.value_or(DeviceEntry{});
    m_state.link.Send(unit, BuildNetworkConfigFrame(addressing.typeCode, addressing.unitAddress,
                                                    m_state.link.LinkByte(), m_state.networkSettings,
                                                    m_state.networkDhcp));
}

} // namespace brenvik
