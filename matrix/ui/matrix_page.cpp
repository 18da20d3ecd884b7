#include "matrix/ui/matrix_page.h"

#include "matrix/core/matrix_backlight.h"
#include "matrix/core/matrix_routing.h"
#include "matrix/ui/brightness_track_bar.h"
#include "matrix/ui/matrix_pictures.h"

#include "controls/busy_notice.h"
#include "controls/field_colours.h"
#include "controls/shade_picture_button.h"
#include "res/skin.h"
#include "res/skin_palette.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>

#include <algorithm>

namespace brenvik {

namespace {

namespace pic = matrix_picture;

// Key rows: 65 x 60 pixel keys from x 80 every 68 units.
constexpr int kKeyWidth = 65;
constexpr int kKeyHeight = 60;
constexpr int kKeysLeft = 80;
constexpr int kKeyPitch = 68;
struct KeyRow {
    int firstControl;
    const char* name; // of key n, with n for %1
    int y;
    bool transparent;
};
constexpr KeyRow kInputRow{1054, "Input %1", 105, false};
constexpr KeyRow kOutputRow{1062, "Output %1", 255, false};
constexpr KeyRow kStatusRow{1128, "Output %1 status", 405, true};

// The action buttons: control number, pictures (normal, highlighted), place and pixel size. APPLY
// and REFRESH move 10 units right on screens above 120 dpi.
struct ActionEntry {
    MatrixAction action;
    int controlId;
    const char* name;
    int normalPicture;
    int highlightedPicture;
    int x;
    int y;
    int width;
    int height;
};
constexpr int kShiftedColumnDpi = 120;
constexpr int kCentreColumnX = 640;
constexpr int kCentreColumnShiftedX = 650;
constexpr std::array<ActionEntry, 3> kActions{{
    {MatrixAction::Apply, 1082, "Apply", pic::kApply, pic::kApplyHighlighted, kCentreColumnX, 300, 110, 45},
    {MatrixAction::OneToAll, 1136, "One to All", pic::kOneToAll, pic::kOneToAllHighlighted, 950, 180, 190,
     39},
    {MatrixAction::OneToOne, 1137, "One to One", pic::kOneToOne, pic::kOneToOneHighlighted, 950, 305, 190,
     37},
}};
constexpr int kRefreshControl = 1138;
constexpr int kRefreshY = 450;
constexpr QSize kRefreshSize{110, 37};
constexpr std::chrono::milliseconds kRefreshPressedTime{2000};

constexpr QRect kBacklightTimeRect(950, 420, 180, 30);
constexpr QRect kBrightnessRect(950, 460, 130, 30);
constexpr QRect kBrightnessTextRect(1095, 460, 35, 20);

constexpr QRgb kFieldText = qRgb(60, 180, 255);
constexpr QRgb kFieldGround = qRgb(58, 58, 58);

constexpr int kTextPixels = 13;

// Where the page says that the unit is being read: the free strip under the status panel.
constexpr QRect kReadingRect(55, 506, 720, 26);

constexpr FieldLook kPageFieldLook{kFieldText, kFieldGround, std::nullopt, std::nullopt, std::nullopt};

QString BrightnessText(int value) {
    return QString::asprintf("%d%%", value);
}

} // namespace

CClass_matrix_child::CClass_matrix_child(QWidget* parent, MatrixPageContext context)
    : UnitPage(parent), m_context(context) {
    setObjectName(QStringLiteral("174"));
    QFont text = font();
    text.setPixelSize(m_context.scale.Y(kTextPixels));
    setFont(text);
    m_context.pageState.selectedInput = 0;
    // Every action button starts grey, so the highlight memory starts with none; otherwise a
    // button last highlighted on an earlier page would never light up again.
    m_context.pageState.highlightedAction = MatrixAction::None;
    PlaceControls();

    m_refreshPressed.setSingleShot(true);
    m_refreshPressed.setInterval(kRefreshPressedTime);
    connect(&m_refreshPressed, &QTimer::timeout, this, [this] { ShowPicture(m_refresh, pic::kRefresh); });

    m_context.session.AddObserver(*this);
    StartInitialRead();
}

CClass_matrix_child::~CClass_matrix_child() {
    m_context.session.RemoveObserver(*this);
    // A query still under way is cancelled on the link and its result dropped.
    m_query.reset();
}

void CClass_matrix_child::MatrixChanged(const MatrixChange& change) {
    switch (change.field) {
    case MatrixField::Routing:
        PaintRouting(change.index);
        break;
    case MatrixField::Backlight:
        ShowBacklight();
        break;
    case MatrixField::Lock:
        m_context.showLock(m_context.consoleLocked);
        break;
    case MatrixField::AddressMode:
        m_context.showAddressMode(m_context.session.AddressMode());
        break;
    case MatrixField::Name:
        m_context.showName(m_context.session.Name());
        break;
    }
}

PictureButton* CClass_matrix_child::AddButton(int controlId, const QString& name, QRect geometry, int picture,
                                              bool transparent) {
    auto* button = new ShadePictureButton(this);
    button->setObjectName(QString::number(controlId));
    button->setAccessibleName(name);
    button->setGeometry(geometry);
    button->SetBorderDrawing(false);
    button->SetTransparentBackground(transparent);
    button->setFocusPolicy(Qt::NoFocus);
    ShowPicture(button, picture);
    return button;
}

void CClass_matrix_child::ShowPicture(PictureButton* button, int picture) {
    // A key that keeps its picture is neither rebuilt nor repainted.
    if (button->ShownPicture() == picture) {
        return;
    }
    // A lit input key is the chosen input, a lit output key an output routed or marked for it: a
    // screen reader hears "selected". Status keys are always lit and say their input in their name.
    const bool portKey = std::find(m_inputs.begin(), m_inputs.end(), button) != m_inputs.end() ||
                         std::find(m_outputs.begin(), m_outputs.end(), button) != m_outputs.end();
    if (portKey) {
        button->ShowDescribedPicture(picture);
    } else {
        button->SetButtonPictureResource(picture);
    }
}

void CClass_matrix_child::PlaceControls() {
    const ScreenScale& scale = m_context.scale;
    for (std::size_t k = 0; k < kMatrixPorts; ++k) {
        const int number = static_cast<int>(k) + 1;
        const int x = kKeysLeft + kKeyPitch * static_cast<int>(k);
        const auto key = [&](const KeyRow& row) {
            return AddButton(row.firstControl + static_cast<int>(k),
                             QString::fromLatin1(row.name).arg(number),
                             scale.PlacedPixels(x, row.y, kKeyWidth, kKeyHeight), pic::Key(number, false),
                             row.transparent);
        };
        m_inputs[k] = key(kInputRow);
        m_outputs[k] = key(kOutputRow);
        m_status[k] = key(kStatusRow);
        const auto port = static_cast<std::uint8_t>(number);
        connect(m_inputs[k], &QAbstractButton::clicked, this, [this, port] { SelectInput(port); });
        connect(m_outputs[k], &QAbstractButton::clicked, this, [this, port] { ToggleOutput(port); });
    }

    const int centreX = scale.dpiX <= kShiftedColumnDpi ? kCentreColumnX : kCentreColumnShiftedX;
    for (const ActionEntry& entry : kActions) {
        const int x = entry.action == MatrixAction::Apply ? centreX : entry.x;
        PictureButton* button =
            AddButton(entry.controlId, QLatin1String(entry.name),
                      scale.PlacedPixels(x, entry.y, entry.width, entry.height), entry.normalPicture, true);
        switch (entry.action) {
        case MatrixAction::Apply:
            m_apply = button;
            connect(button, &QAbstractButton::clicked, this, &CClass_matrix_child::OnApply);
            break;
        case MatrixAction::OneToAll:
            m_oneToAll = button;
            connect(button, &QAbstractButton::clicked, this, &CClass_matrix_child::OnOneToAll);
            break;
        case MatrixAction::OneToOne:
            m_oneToOne = button;
            connect(button, &QAbstractButton::clicked, this, &CClass_matrix_child::OnOneToOne);
            break;
        case MatrixAction::None:
            break;
        }
    }
    m_refresh = AddButton(kRefreshControl, QStringLiteral("Refresh"),
                          scale.PlacedPixels(centreX, kRefreshY, kRefreshSize.width(), kRefreshSize.height()),
                          pic::kRefresh, true);
    connect(m_refresh, &QAbstractButton::clicked, this, &CClass_matrix_child::OnRefresh);

    m_backlightTime = new QComboBox(this);
    m_backlightTime->setObjectName(QStringLiteral("1074"));
    m_backlightTime->setAccessibleName(QStringLiteral("Backlight Time"));
    m_backlightTime->setGeometry(scale.Rect(kBacklightTimeRect.x(), kBacklightTimeRect.y(),
                                            kBacklightTimeRect.width(), kBacklightTimeRect.height()));
    for (const std::string_view text : kBacklightTimeTexts) {
        m_backlightTime->addItem(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
    ApplyFieldLook(*m_backlightTime, kPageFieldLook);
    m_backlightTime->view()->setFont(font());
    connect(m_backlightTime, &QComboBox::activated, this, &CClass_matrix_child::OnBacklightTimeChosen);

    m_brightness = new BrightnessTrackBar(this);
    m_brightness->setObjectName(QStringLiteral("1139"));
    m_brightness->setAccessibleName(QStringLiteral("Backlight Brightness"));
    m_brightness->setGeometry(scale.Rect(kBrightnessRect.x(), kBrightnessRect.y(), kBrightnessRect.width(),
                                         kBrightnessRect.height()));
    m_brightness->setRange(0, kBrightnessMax);
    m_brightness->setTickInterval(1);
    connect(m_brightness, &QSlider::valueChanged, this, &CClass_matrix_child::OnBrightnessShown);
    connect(m_brightness, &BrightnessTrackBar::releasedOver, this,
            &CClass_matrix_child::OnBrightnessReleased);

    m_brightnessText = new QLineEdit(this);
    m_brightnessText->setObjectName(QStringLiteral("1140"));
    m_brightnessText->setAccessibleName(QStringLiteral("Backlight Brightness Value"));
    m_brightnessText->setReadOnly(true);
    m_brightnessText->setFrame(false);
    m_brightnessText->setFocusPolicy(Qt::NoFocus);
    m_brightnessText->setGeometry(scale.Rect(kBrightnessTextRect.x(), kBrightnessTextRect.y(),
                                             kBrightnessTextRect.width(), kBrightnessTextRect.height()));
    ApplyFieldLook(*m_brightnessText, kPageFieldLook);
}

void CClass_matrix_child::StartInitialRead() {
    // The session starts the backlight from zero and says so, so until the unit answers the
    // controls show "15s Dim" and 0; the replies then fill the page in as they come.
    m_query = std::make_unique<BusyNotice>(
        *this, BusyNotice::Look{QStringLiteral("Reading the unit\u2026"),
                                m_context.scale.Rect(kReadingRect.x(), kReadingRect.y(), kReadingRect.width(),
                                                     kReadingRect.height()),
                                Qt::AlignLeft | Qt::AlignVCenter, false, m_context.scale.Y(16)});
    m_query->Run<bool>(
        [this](std::stop_token cancel, std::function<void(bool)> done) {
            m_context.session.ReadUnit(std::move(cancel), std::move(done));
        },
        [this](bool ran) {
            FinishRead(ran);
            m_initialised = true;
            emit initialised();
        });
}

void CClass_matrix_child::FinishRead(bool ran) {
    if (ran) {
        m_context.dialogs.DebugText("read matrix \n");
    }
}

void CClass_matrix_child::ShowBacklight() {
    const MatrixModel& model = m_context.session.Model();
    {
        const QSignalBlocker quietList(m_backlightTime);
        m_backlightTime->setCurrentIndex(BacklightTimePosition(model.backlightTime).value_or(-1));
    }
    {
        const QSignalBlocker quietBar(m_brightness);
        m_brightness->setValue(std::min<int>(model.backlightBrightness, kBrightnessMax));
    }
    // The bar holds at most 100; the text says what the bar shows.
    m_brightnessText->setText(BrightnessText(m_brightness->value()));
}

void CClass_matrix_child::OnRefresh() {
    ShowPicture(m_refresh, pic::kRefreshPressed);
    m_refreshPressed.start();
    m_query->Run<bool>(
        [this](std::stop_token cancel, std::function<void(bool)> done) {
            m_context.session.ReadRouting(std::move(cancel), std::move(done));
        },
        [this](bool ran) { FinishRead(ran); });
}

void CClass_matrix_child::SelectInput(std::uint8_t input) {
    MatrixPageState& page = m_context.pageState;
    if (m_context.consoleLocked || input == page.selectedInput || !pic::IsPort(input)) {
        return;
    }
    page.pendingRouting.fill(0);
    if (pic::IsPort(page.selectedInput)) {
        ShowPicture(m_inputs[page.selectedInput - 1U], pic::Key(page.selectedInput, false));
    }
    ShowPicture(m_inputs[input - 1U], pic::Key(input, true));
    page.selectedInput = input;
    PaintOutputRow(input);
    ShowActionsNormal();
}

void CClass_matrix_child::ToggleOutput(std::uint8_t output) {
    MatrixPageState& page = m_context.pageState;
    if (m_context.consoleLocked || page.selectedInput == 0 || !pic::IsPort(output)) {
        return;
    }
    std::uint8_t& mark = page.pendingRouting[output - 1U];
    mark = mark == page.selectedInput ? 0 : page.selectedInput;
    PaintOutputRow(page.selectedInput);
}

void CClass_matrix_child::PaintRouting(int output) {
    const std::uint8_t selected = m_context.pageState.selectedInput;
    if (pic::IsPort(output)) {
        const auto index = static_cast<std::size_t>(output - 1);
        PaintOutputKey(index, selected);
        PaintStatusKey(index);
    } else {
        for (std::size_t m = 0; m < kMatrixPorts; ++m) {
            PaintOutputKey(m, selected);
            PaintStatusKey(m);
        }
    }
    emit statusRowPainted();
}

void CClass_matrix_child::PaintOutputRow(std::uint8_t input) {
    for (std::size_t m = 0; m < kMatrixPorts; ++m) {
        PaintOutputKey(m, input);
    }
}

void CClass_matrix_child::PaintOutputKey(std::size_t index, std::uint8_t input) {
    const bool lit = input != 0 && (m_context.session.Model().sentRouting[index] == input ||
                                    m_context.pageState.pendingRouting[index] == input);
    ShowPicture(m_outputs[index], pic::Key(static_cast<int>(index) + 1, lit));
}

void CClass_matrix_child::PaintStatusKey(std::size_t index) {
    // Only a key whose input changed is touched: a state reply repaints the keys it changes, not
    // the row. A value that is no input number leaves the key as it is, name and all.
    const std::uint8_t input = m_context.session.Model().statusRouting[index];
    const auto picture = pic::StatusKey(input);
    if (!picture || m_status[index]->ShownPicture() == *picture) {
        return;
    }
    ShowPicture(m_status[index], *picture);
    m_status[index]->setAccessibleName(QString::fromLatin1(kStatusRow.name).arg(index + 1) +
                                       QStringLiteral(": input %1").arg(static_cast<int>(input)));
}

PictureButton* CClass_matrix_child::ActionButton(MatrixAction action) const {
    switch (action) {
    case MatrixAction::Apply:
        return m_apply;
    case MatrixAction::OneToAll:
        return m_oneToAll;
    case MatrixAction::OneToOne:
        return m_oneToOne;
    case MatrixAction::None:
        break;
    }
    return nullptr;
}

void CClass_matrix_child::HighlightAction(MatrixAction action) {
    MatrixPageState& page = m_context.pageState;
    for (const ActionEntry& entry : kActions) {
        if (entry.action == page.highlightedAction) {
            ShowPicture(ActionButton(entry.action), entry.normalPicture);
        }
        if (entry.action == action) {
            ShowPicture(ActionButton(entry.action), entry.highlightedPicture);
        }
    }
    page.highlightedAction = action;
}

void CClass_matrix_child::ShowActionsNormal() {
    for (const ActionEntry& entry : kActions) {
        ShowPicture(ActionButton(entry.action), entry.normalPicture);
    }
    // The memory follows the pictures, so the next action lights its button again.
    m_context.pageState.highlightedAction = MatrixAction::None;
}

void CClass_matrix_child::OnApply() {
    MatrixPageState& page = m_context.pageState;
    if (m_context.consoleLocked || page.selectedInput == 0) {
        return;
    }
    if (page.highlightedAction != MatrixAction::Apply) {
        HighlightAction(MatrixAction::Apply);
    }
    MatrixOutputs marked;
    for (std::size_t m = 0; m < kMatrixPorts; ++m) {
        marked.set(m, page.pendingRouting[m] == page.selectedInput);
    }
    // The session tells the page of the outputs it routed, which repaints them.
    m_context.session.Apply(page.selectedInput, marked);
}

void CClass_matrix_child::OnOneToAll() {
    MatrixPageState& page = m_context.pageState;
    if (m_context.consoleLocked || page.selectedInput == 0) {
        return;
    }
    if (page.highlightedAction != MatrixAction::OneToAll) {
        HighlightAction(MatrixAction::OneToAll);
    }
    m_context.session.OneToAll(page.selectedInput);
}

void CClass_matrix_child::OnOneToOne() {
    MatrixPageState& page = m_context.pageState;
    if (m_context.consoleLocked) {
        return;
    }
    if (page.highlightedAction != MatrixAction::OneToOne) {
        HighlightAction(MatrixAction::OneToOne);
    }
    // Once the text is on its way no input stays selected; the rows have been repainted already.
    if (m_context.session.OneToOne() == RoutingOutcome::Sent) {
        if (pic::IsPort(page.selectedInput)) {
            ShowPicture(m_inputs[page.selectedInput - 1U], pic::Key(page.selectedInput, false));
        }
        PaintOutputRow(0);
        page.selectedInput = 0;
    }
}

void CClass_matrix_child::OnBacklightTimeChosen(int position) {
    // While locked the list keeps showing the operator's choice; the session takes none.
    if (position >= 0) {
        m_context.session.SetBacklightTime(static_cast<std::uint8_t>(position));
    }
}

void CClass_matrix_child::OnBrightnessShown(int position) {
    // The text follows the bar also while the console is locked and the model does not.
    m_brightnessText->setText(BrightnessText(position));
    m_context.session.MoveBacklightBrightness(static_cast<std::uint8_t>(position));
}

void CClass_matrix_child::OnBrightnessReleased(int position) {
    m_context.dialogs.DebugText(QString::asprintf("send data is %d \n", position).toStdString());
    m_context.session.SetBacklightBrightness(static_cast<std::uint8_t>(position));
}

void CClass_matrix_child::paintEvent(QPaintEvent*) {
    // The background is stretched once per page size, filtered so that its lettering keeps every
    // line; every later paint copies from it.
    if (m_background.size() != size()) {
        m_background =
            Skin::Picture(pic::kBackground).scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    m_query->Paint(painter);
}

} // namespace brenvik
