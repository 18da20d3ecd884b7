#include "multiviewer/ui/pages/audio_page.h"

#include "controls/picture_button.h"
#include "multiviewer/ui/pages/page_controls.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>

#include <tuple>

namespace brenvik {

namespace {

namespace pc = page_control;

// Light blue on the field grey for the lists and the radios alike.
constexpr PageColours kAudioPageColours{qRgb(60, 180, 255), qRgb(58, 58, 58), qRgb(60, 180, 255),
                                        qRgb(58, 58, 58)};

constexpr int kMeterWindows = 16;
constexpr int kChannelPairs = 8;
constexpr int kListX = 250;
constexpr int kListWidth = 120;
constexpr int kListHeight = 20;

QStringList WindowEntries() {
    QStringList entries;
    for (int window = 1; window <= kMeterWindows; ++window) {
        entries.append(QStringLiteral("WIN %1").arg(window));
    }
    return entries;
}

QStringList ChannelPairEntries() {
    QStringList entries;
    for (int pair = 0; pair < kChannelPairs; ++pair) {
        entries.append(QString::asprintf("CH %02d & %02d", 2 * pair + 1, 2 * pair + 2));
    }
    return entries;
}

int AllMetersPicture(std::uint8_t on) {
    return on != 0 ? pc::kAllMetersPictureOn : pc::kAllMetersPictureOff;
}

} // namespace

CClass_16_view_audio::CClass_16_view_audio(QWidget* parent, SettingPageContext& context)
    : SettingPage(parent, context, PageLook{context.scale, 296, kAudioPageColours}) {
    setObjectName(QStringLiteral("304"));

    m_source = AddList(pc::kAudioSourceList, QStringLiteral("Audio Source From"), kListX, 45, kListWidth,
                       kListHeight, QStringList{QStringLiteral("OFF")} + WindowEntries());
    connect(m_source, &QComboBox::activated, this, &CClass_16_view_audio::OnAudioSourceChanged);

    m_meterOn = new QRadioButton(QStringLiteral("ON"), this);
    m_meterOff = new QRadioButton(QStringLiteral("OFF"), this);
    for (const auto& [radio, id, x, name] :
         {std::tuple{m_meterOn, pc::kMeterOnRadio, 250, "Audio Meter ON"},
          std::tuple{m_meterOff, pc::kMeterOffRadio, 310, "Audio Meter OFF"}}) {
        radio->setObjectName(QString::number(id));
        radio->setAccessibleName(QLatin1String(name));
        radio->setGeometry(Scale().Rect(x, 122, 50, 20));
        ColourAsStatic(*radio);
    }
    connect(m_meterOn, &QAbstractButton::clicked, this, [this] { OnMeterClicked(1); });
    connect(m_meterOff, &QAbstractButton::clicked, this, [this] { OnMeterClicked(0); });

    m_window = AddList(pc::kMeterWindowList, QStringLiteral("Audio Meter Windows"), kListX, 165, kListWidth,
                       kListHeight, WindowEntries());
    connect(m_window, &QComboBox::activated, this, &CClass_16_view_audio::OnAudioWindowSelected);
    m_channelPair = AddList(pc::kMeterChannelList, QStringLiteral("Audio Meter Channel"), kListX, 205,
                            kListWidth, kListHeight, ChannelPairEntries());
    connect(m_channelPair, &QComboBox::activated, this, &CClass_16_view_audio::OnChannelPairChanged);

    m_allMeters = AddPictureButton(pc::kAllMetersButton, QStringLiteral("All Audio Meters"), 180, 240, 200,
                                   40, AllMetersPicture(0));
    connect(m_allMeters, &QAbstractButton::clicked, this, &CClass_16_view_audio::OnAllMetersToggle);

    RefreshAudioPage();
}

void CClass_16_view_audio::Refresh() {
    RefreshAudioPage();
}

void CClass_16_view_audio::OnFieldChanged(const MultiviewerChange& change) {
    using F = MultiviewerField;
    switch (change.field) {
    case F::AudioSource:
        SelectQuietly(m_source, State().audioSource);
        break;
    case F::MeterWindow:
    case F::MeterOn:
    case F::MeterChannel:
        SelectQuietly(m_window, ChosenWindow() - 1);
        SelectQuietly(m_channelPair, StoredChannelPair());
        ShowMeterRadios();
        break;
    case F::MeterAllOn:
        ShowPictureQuietly(m_allMeters, AllMetersPicture(State().meterAllOn));
        break;
    default:
        break;
    }
}

// The whole page as it opens. After a reload it must not show one window while the radios act on
// another, so the window list shows meterWindow itself, with that window's pair and flag.
void CClass_16_view_audio::RefreshAudioPage() {
    SelectQuietly(m_source, State().audioSource);
    SelectQuietly(m_window, ChosenWindow() - 1);
    SelectQuietly(m_channelPair, StoredChannelPair());
    ShowMeterRadios();
    ShowPictureQuietly(m_allMeters, AllMetersPicture(State().meterAllOn));
}

int CClass_16_view_audio::ChosenWindow() const {
    return State().meterWindow < kMeterWindows ? State().meterWindow + 1 : 0;
}

int CClass_16_view_audio::StoredChannelPair() const {
    const int window = ChosenWindow();
    return window > 0 ? State().meterChannel.At(window) : -1;
}

void CClass_16_view_audio::ShowMeterRadios() {
    const int window = ChosenWindow();
    ShowRadios(window > 0 && State().meterOn.At(window) != 0);
}

void CClass_16_view_audio::ShowRadios(bool on) {
    // Checking one radio of the pair unchecks the other, so both stay quiet while either changes.
    const QSignalBlocker quietOn(m_meterOn);
    const QSignalBlocker quietOff(m_meterOff);
    m_meterOn->setChecked(on);
    m_meterOff->setChecked(!on);
}

void CClass_16_view_audio::OnAudioSourceChanged() {
    if (SpringBackWhileLocked(Locked(), m_source, State().audioSource)) {
        return;
    }
    Session().SetAudioSource(static_cast<std::uint8_t>(m_source->currentIndex()));
}

void CClass_16_view_audio::OnAudioWindowSelected() {
    // Only a choice of what the page shows: the lock does not apply and nothing is sent.
    Session().SelectMeterWindow(static_cast<std::uint8_t>(m_window->currentIndex()));
}

void CClass_16_view_audio::OnMeterClicked(std::uint8_t on) {
    const int window = ChosenWindow();
    if (Locked() || window == 0) {
        ShowMeterRadios();
        return;
    }
    Session().SetMeter(window, on);
}

void CClass_16_view_audio::OnChannelPairChanged() {
    const int windowIndex = m_window->currentIndex();
    if (SpringBackWhileLocked(Locked() || windowIndex < 0, m_channelPair, StoredChannelPair())) {
        return;
    }
    Session().SetMeterChannel(windowIndex + 1, static_cast<std::uint8_t>(m_channelPair->currentIndex()));
}

void CClass_16_view_audio::OnAllMetersToggle() {
    Session().SetMeter(0, State().meterAllOn == 0 ? 1 : 0);
}

} // namespace brenvik
