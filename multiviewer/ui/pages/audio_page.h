#pragma once

#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <cstdint>

class QComboBox;
class QRadioButton;

namespace brenvik {

class PictureButton;

// The AUDIO page (page type 6): the window the unit takes its audio from (1074), and the level
// meters — ON/OFF (1141, 1142) and the channel pair (1077) of the window chosen in 1075, and ALL
// AUDIO METER ON (1146). The chosen window is console state (meterWindow), kept between openings.
class CClass_16_view_audio : public SettingPage {
public:
    CClass_16_view_audio(QWidget* parent, SettingPageContext& context);

    // "ON" checked when the meter of the chosen window is on, "OFF" otherwise.
    void ShowMeterRadios();
    // Every control from the record, as the page opens: the source, the chosen window with its
    // channel pair and meter flag, and the all-meters toggle.
    void RefreshAudioPage();

protected:
    void Refresh() override;
    void OnFieldChanged(const MultiviewerChange& change) override;

private:
    void OnAudioSourceChanged();
    void OnAudioWindowSelected();
    void OnMeterClicked(std::uint8_t on);
    void OnChannelPairChanged();
    void OnAllMetersToggle();
    // Window 1..16 that meterWindow names, 0 when it names none.
    int ChosenWindow() const;
    int StoredChannelPair() const;
    void ShowRadios(bool on);
    QComboBox* m_source = nullptr;
    QComboBox* m_window = nullptr;
    QComboBox* m_channelPair = nullptr;
    QRadioButton* m_meterOn = nullptr;
    QRadioButton* m_meterOff = nullptr;
    PictureButton* m_allMeters = nullptr;
};

} // namespace brenvik
