#include "multiviewer/ui/pages/settings_page.h"

#include "controls/picture_button.h"
#include "controls/shade_picture_button.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/multiviewer_tables.h"
#include "multiviewer/ui/pages/page_controls.h"

#include <QComboBox>
#include <QPainter>

#include <array>
#include <utility>

namespace brenvik {

namespace {

namespace pc = page_control;

// One on/off option of the unit: its button, where it stands, its two pictures, the flag of the
// record it shows and the sender that changes it.
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
    bool (MultiviewerSession::*send)(std::uint8_t on);
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

constexpr std::array<Toggle, CClass_16_view_set::kToggleCount> kToggles{{
    {pc::kFormatStatusButton, "Format Status", 60, 80, 182, 45, pc::kFormatStatusPictureOff,
     pc::kFormatStatusPictureOn, &MultiviewerState::formatStatusOn, &MultiviewerSession::SetFormatStatus},
    {pc::kAudioAlarmButton, "Audio Alarm Enable", 250, 80, 181, 45, pc::kAudioAlarmPictureOff,
     pc::kAudioAlarmPictureOn, &MultiviewerState::audioAlarmOn, &MultiviewerSession::SetAudioAlarm},
    {pc::kTimecodeButton, "Timecode Enable", 60, 120, 182, 40, pc::kTimecodePictureOff,
     pc::kTimecodePictureOn, &MultiviewerState::timecodeOn, &MultiviewerSession::SetTimecode},
}};

} // namespace

CClass_16_view_set::CClass_16_view_set(QWidget* parent, SettingPageContext& context)
    : SettingPage(parent, context, PageLook{context.scale, kBackgroundPicture}) {
    setObjectName(QStringLiteral("146"));

    m_outputFormat =
        AddList(pc::kOutputFormatList, QStringLiteral("Output Format"), 180, 35, 100, 20, FormatTexts());
    connect(m_outputFormat, &QComboBox::activated, this, &CClass_16_view_set::OnOutputFormatChanged);

    // A code without an entry in the list leaves it on none.
    SelectQuietly(m_outputFormat, -1);

    for (std::size_t index = 0; index < kToggles.size(); ++index) {
        const Toggle& toggle = kToggles[index];
        m_toggles[index] = AddPictureButton(toggle.button, QLatin1String(toggle.name), toggle.x, toggle.y,
                                            toggle.width, toggle.height, toggle.pictureOff);
        connect(m_toggles[index], &QAbstractButton::clicked, this, [this, index] { OnToggle(index); });
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
    // The reload under way is cancelled while the controls it would change still exist.
    m_reload.reset();
}

void CClass_16_view_set::Refresh() {
    RefreshSettingsPage();
}

void CClass_16_view_set::OnFieldChanged(const MultiviewerChange& change) {
    switch (change.field) {
    case MultiviewerField::OutputFormat:
        if (const std::optional<int> entry = OutputFormatListPosition(State().outputFormat)) {
            SelectQuietly(m_outputFormat, *entry);
        }
        break;
    case MultiviewerField::FormatStatus:
    case MultiviewerField::AudioAlarm:
    case MultiviewerField::Timecode:
        ShowToggles();
        break;
    default:
        break;
    }
}

// The toggles are shown from the record too: after a re-read a toggle showing its old picture
// would seem to do nothing when clicked, since the click flips the flag, not the picture.
void CClass_16_view_set::RefreshSettingsPage() {
    if (const std::optional<int> entry = OutputFormatListPosition(State().outputFormat)) {
        SelectQuietly(m_outputFormat, *entry);
    }
    ShowToggles();
}

void CClass_16_view_set::ShowToggles() {
    for (std::size_t index = 0; index < kToggles.size(); ++index) {
        ShowPictureQuietly(m_toggles[index], TogglePicture(kToggles[index], State().*kToggles[index].flag));
    }
}

void CClass_16_view_set::OnOutputFormatChanged() {
    const std::optional<int> stored = OutputFormatListPosition(State().outputFormat);
    if (SpringBackWhileLocked(Locked(), m_outputFormat, stored.value_or(-1))) {
        return;
    }
    if (const std::optional<std::uint8_t> code = FormatOfEntry(m_outputFormat->currentIndex())) {
        Session().SetOutputFormat(*code);
    }
}

void CClass_16_view_set::OnToggle(std::size_t index) {
    const Toggle& toggle = kToggles[index];
    (Session().*toggle.send)(State().*toggle.flag == 0 ? 1 : 0);
}

void CClass_16_view_set::OnLoadDefault() {
    if (Locked()) {
        return;
    }
    Reload([this](std::stop_token cancel, std::function<void(RereadResult)> done) {
        Session().LoadDefault(std::move(cancel), std::move(done));
    });
}

void CClass_16_view_set::OnSaveCustom(std::uint8_t slot) {
    Session().SaveCustom(slot);
}

// While locked the session sends nothing; the state is still read again and shown.
void CClass_16_view_set::OnLoadCustom(std::uint8_t slot) {
    Reload([this, slot](std::stop_token cancel, std::function<void(RereadResult)> done) {
        Session().LoadCustom(slot, std::move(cancel), std::move(done));
    });
}

void CClass_16_view_set::Reload(const std::function<void(std::stop_token, std::function<void(RereadResult)>)>& load) {
    m_reload = std::make_unique<BusyNotice>(
        *this, BusyNotice::Look{QStringLiteral("Reloading the unit\u2026"), rect(), Qt::AlignCenter, true,
                                Scale().Y(16)});
    // The page shows the new state as the session tells it; the result itself holds nothing more.
    m_reload->Run<RereadResult>(load, [](RereadResult) {});
}

void CClass_16_view_set::paintEvent(QPaintEvent* event) {
    SettingPage::paintEvent(event);
    if (m_reload != nullptr) {
        QPainter painter(this);
        m_reload->Paint(painter);
    }
}

} // namespace brenvik
