#include "multiviewer/ui/pages/settings_page.h"

#include "controls/picture_button.h"
#include "controls/shade_picture_button.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/multiviewer_tables.h"
#include "multiviewer/core/page_controls.h"
#include "multiviewer/core/preview_refresh.h"
#include "res/skin_palette.h"

#include <QComboBox>
#include <QPainter>
#include <QTimer>

#include <array>
#include <utility>

namespace brenvik {

namespace {

namespace pc = page_control;

// One on/off option of the unit: its button, where it stands, its two pictures, the flag of the
// record it shows and the sender that changes it (and stores the new flag).
struct Toggle {
    int button;
    const char* name; // its caption
    int x;
    int y;
    int width;
    int height;
    int pictureOff;
    int pictureOn;
    std::uint8_t MultiviewerState::*flag;
    bool (MultiviewerCommands::*send)(std::uint8_t on);
};

struct MemoryButton {
    int id;
    const char* name; // its caption
    int x;
    int y;
    int width;
    int height;
    int picture;
    std::uint8_t opcode;
    std::uint8_t slot;
};

constexpr std::array<MemoryButton, 4> kMemoryButtons{{
    {1119, "Save To Custom 1", 60, 200, 182, 42, 280, mv_opcode::kSaveCustom, 1},
    {1120, "Save To Custom 2", 250, 200, 181, 42, 281, mv_opcode::kSaveCustom, 2},
    {1121, "Load Custom 1", 60, 250, 182, 40, 207, mv_opcode::kLoadCustom, 1},
    {1122, "Load Custom 2", 250, 250, 181, 40, 208, mv_opcode::kLoadCustom, 2},
}};

constexpr int kLoadDefaultButton = 1052;
constexpr int kLoadDefaultPicture = 209;
constexpr int kBackgroundPicture = 298;

int TogglePicture(const Toggle& toggle, std::uint8_t on) {
    return on != 0 ? toggle.pictureOn : toggle.pictureOff;
}

QStringList FormatTexts() {
    QStringList texts;
    for (int position = 0; position < static_cast<int>(kOutputFormats.size()); ++position) {
        for (const OutputFormatEntry& format : kOutputFormats) {
            if (format.listPosition == position) {
                texts.append(
                    QString::fromLatin1(format.text.data(), static_cast<qsizetype>(format.text.size())));
            }
        }
    }
    return texts;
}

std::optional<std::uint8_t> FormatOfEntry(int entry) {
    for (const OutputFormatEntry& format : kOutputFormats) {
        if (format.listPosition == entry) {
            return format.code;
        }
    }
    return std::nullopt;
}

constexpr std::array<Toggle, 3> kToggles{{
    {pc::kFormatStatusButton, "Format Status", 60, 80, 182, 45, pc::kFormatStatusPictureOff,
     pc::kFormatStatusPictureOn, &MultiviewerState::formatStatusOn, &MultiviewerCommands::SetFormatStatus},
    {pc::kAudioAlarmButton, "Audio Alarm Enable", 250, 80, 181, 45, pc::kAudioAlarmPictureOff,
     pc::kAudioAlarmPictureOn, &MultiviewerState::audioAlarmOn, &MultiviewerCommands::SetAudioAlarm},
    {pc::kTimecodeButton, "Timecode Enable", 60, 120, 182, 40, pc::kTimecodePictureOff,
     pc::kTimecodePictureOn, &MultiviewerState::timecodeOn, &MultiviewerCommands::SetTimecode},
}};

} // namespace

CClass_16_view_set::CClass_16_view_set(QWidget* parent, SettingPageContext& context,
                                       std::chrono::milliseconds reloadWait)
    : SettingPage(parent, PageLook{context.scale, kBackgroundPicture}), m_context(context),
      m_reloadWait(reloadWait) {
    setObjectName(QStringLiteral("146"));

    m_outputFormat =
        AddList(pc::kOutputFormatList, QStringLiteral("Output Format"), 180, 35, 100, 20, FormatTexts());
    connect(m_outputFormat, &QComboBox::activated, this, &CClass_16_view_set::OnOutputFormatChanged);

    // A code without an entry in the list leaves it on none.
    SelectQuietly(m_outputFormat, -1);

    for (std::size_t index = 0; index < kToggles.size(); ++index) {
        const Toggle& toggle = kToggles[index];
        PictureButton* button = AddPictureButton(toggle.button, QLatin1String(toggle.name), toggle.x,
                                                 toggle.y, toggle.width, toggle.height, toggle.pictureOff);
        connect(button, &QAbstractButton::clicked, this, [this, index] { OnToggle(index); });
    }

    auto* loadDefault = new ShadePictureButton(this);
    loadDefault->setObjectName(QString::number(kLoadDefaultButton));
    loadDefault->setAccessibleName(QStringLiteral("Load Default"));
    loadDefault->setGeometry(Scale().PlacedPixels(250, 120, 181, 40));
    loadDefault->SetButtonPictureResource(kLoadDefaultPicture);
    connect(loadDefault, &QAbstractButton::clicked, this, &CClass_16_view_set::OnLoadDefault);

    for (const MemoryButton& memory : kMemoryButtons) {
        PictureButton* button = AddPictureButton(memory.id, QLatin1String(memory.name), memory.x, memory.y,
                                                 memory.width, memory.height, memory.picture);
        const std::uint8_t slot = memory.slot;
        if (memory.opcode == mv_opcode::kSaveCustom) {
            connect(button, &QAbstractButton::clicked, this, [this, slot] { OnSaveCustom(slot); });
        } else {
            connect(button, &QAbstractButton::clicked, this, [this, slot] { OnLoadCustom(slot); });
        }
    }

    RefreshSettingsPage();
}

CClass_16_view_set::~CClass_16_view_set() {
    // The wait or the read under way is cancelled and its result dropped while the controls it
    // would change still exist.
    m_reload.reset();
}

void CClass_16_view_set::Refresh() {
    RefreshSettingsPage();
}

// The toggles are shown from the record too: after a re-read a toggle showing its old picture
// would seem to do nothing when clicked, since the click flips the flag, not the picture.
void CClass_16_view_set::RefreshSettingsPage() {
    if (const std::optional<int> entry = OutputFormatListPosition(m_context.state.outputFormat)) {
        SelectQuietly(m_outputFormat, *entry);
    }
    for (const Toggle& toggle : kToggles) {
        ShowPictureQuietly(ControlNumbered<PictureButton>(toggle.button),
                           TogglePicture(toggle, m_context.state.*toggle.flag));
    }
}

void CClass_16_view_set::OnOutputFormatChanged() {
    const std::optional<int> stored = OutputFormatListPosition(m_context.state.outputFormat);
    if (SpringBackWhileLocked(m_context.consoleLocked, m_outputFormat, stored.value_or(-1))) {
        return;
    }
    const std::optional<std::uint8_t> code = FormatOfEntry(m_outputFormat->currentIndex());
    if (!code) {
        return;
    }
    m_context.state.outputFormat = *code;
    m_context.commands.SetOutputFormat(*code);
}

void CClass_16_view_set::OnToggle(std::size_t index) {
    const Toggle& toggle = kToggles[index];
    if (m_context.consoleLocked) {
        return;
    }
    const std::uint8_t on = m_context.state.*toggle.flag == 0 ? 1 : 0;
    ShowPictureQuietly(ControlNumbered<PictureButton>(toggle.button), TogglePicture(toggle, on));
    (m_context.commands.*toggle.send)(on);
}

void CClass_16_view_set::OnLoadDefault() {
    if (m_context.consoleLocked) {
        return;
    }
    m_context.commands.LoadDefault();
    Reload(true);
}

void CClass_16_view_set::OnSaveCustom(std::uint8_t slot) {
    m_context.commands.SendCustomMemory(mv_opcode::kSaveCustom, slot);
}

// While locked the sender sends nothing; the state is still read again and the preview redrawn.
void CClass_16_view_set::OnLoadCustom(std::uint8_t slot) {
    m_context.commands.SendCustomMemory(mv_opcode::kLoadCustom, slot);
    Reload(false);
}

void CClass_16_view_set::Reload(bool resetSelections) {
    m_reload =
        std::make_unique<BackgroundOperation>(window(), [this](bool reloading) { ShowReloading(reloading); });
    UnitLink& link = m_context.link;
    const std::optional<DeviceEntry> unit = m_context.devices.Selected();
    const std::chrono::milliseconds wait = m_reloadWait;
    BackgroundOperation* operation = m_reload.get();
    m_reload->Run<StateRead>(
        [&link, unit, wait, operation](std::stop_token cancel, std::function<void(StateRead)> done) {
            // The timer belongs to the operation: when the page goes, the wait goes with it.
            QTimer::singleShot(wait, operation,
                               [&link, unit, cancel, done] { QueryUnitState(link, unit, cancel, done); });
        },
        [this, resetSelections](StateRead read) { FinishReload(read, resetSelections); });
}

void CClass_16_view_set::FinishReload(const StateRead& read, bool resetSelections) {
    MultiviewerState& state = m_context.state;
    ApplyStateRead(read, state, m_context.consoleLocked, m_context.mainWindow);
    RefreshSettingsPage();
    RefreshPreviewAll(state, m_context.console);
    if (resetSelections) {
        state.meterWindow = 0;
        state.formatColorWindow = 0;
        state.umdColorInput = 0;
    }
}

void CClass_16_view_set::ShowReloading(bool reloading) {
    m_reloading = reloading;
    update();
}

void CClass_16_view_set::paintEvent(QPaintEvent* event) {
    SettingPage::paintEvent(event);
    if (!m_reloading) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 140));
    painter.setPen(QColor(palette::kCaption));
    QFont text = font();
    text.setPixelSize(Scale().Y(16));
    painter.setFont(text);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Reloading the unit\u2026"));
}

} // namespace brenvik
