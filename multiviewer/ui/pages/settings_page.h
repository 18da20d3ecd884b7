#pragma once

#include "controls/busy_notice.h"
#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

class QComboBox;

namespace brenvik {

class PictureButton;
class ShadePictureButton;

// The CONTROLS page (page type 4): the unit's output format (1051), the format status, audio
// alarm and timecode toggles (1116..1118), and the unit's stored setting sets — its defaults
// (1052) and two custom memories (save 1119, 1120; load 1121, 1122).
//
// A load makes the unit replace its settings, which takes it a few seconds; the session then reads
// the unit's whole state again. Meanwhile the window keeps painting, says the unit is reloading and
// refuses input until the new state is shown. Destroying the page cancels the reload.
class CClass_16_view_set : public SettingPage {
public:
    static constexpr std::size_t kToggleCount = 3;

    CClass_16_view_set(QWidget* parent, SettingPageContext& context);
    ~CClass_16_view_set() override;

    // Selects the entry of outputFormat (a code the list lacks leaves it as it is) and shows each
    // toggle's picture from its flag.
    void RefreshSettingsPage();
    // True from a load until its re-read has been applied.
    bool Reloading() const { return m_reload != nullptr && m_reload->Busy(); }

protected:
    void Refresh() override;
    void OnFieldChanged(const MultiviewerChange& change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnOutputFormatChanged();
    void OnToggle(std::size_t toggle);
    void OnLoadDefault();
    void OnSaveCustom(std::uint8_t slot);
    void OnLoadCustom(std::uint8_t slot);
    // Runs a load and the re-read after it while the page says that the unit is reloading.
    void Reload(const std::function<void(std::stop_token, std::function<void(RereadResult)>)>& load);
    void ShowToggles();

    QComboBox* m_outputFormat = nullptr;
    std::array<PictureButton*, kToggleCount> m_toggles{};
    // Last, so that a reload under way is cancelled before the controls go.
    std::unique_ptr<BusyNotice> m_reload;
};

} // namespace brenvik
