#pragma once

#include "controls/background_operation.h"
#include "multiviewer/core/unit_state_reader.h"
#include "multiviewer/ui/pages/setting_page.h"
#include "multiviewer/ui/pages/setting_page_factory.h"

#include <chrono>
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
// A load makes the unit replace its settings, which takes it a few seconds; the page then reads the
// unit's whole state again. The wait and the read run off the UI thread: the window keeps painting,
// says the unit is reloading and refuses input until the new state is shown. Destroying the page
// cancels the wait and drops its result.
class CClass_16_view_set : public SettingPage {
public:
    static constexpr std::chrono::milliseconds kReloadWait{3000};

    CClass_16_view_set(QWidget* parent, SettingPageContext& context,
                       std::chrono::milliseconds reloadWait = kReloadWait);
    ~CClass_16_view_set() override;

    // Selects the entry of outputFormat (a code the list lacks leaves it as it is) and shows each
    // toggle's picture from its flag.
    void RefreshSettingsPage();
    // True from a load until its re-read has been applied.
    bool Reloading() const { return m_reloading; }
    // The wait between a load and the re-read; the page starts with kReloadWait.
    void SetReloadWait(std::chrono::milliseconds wait) { m_reloadWait = wait; }

protected:
    void Refresh() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnOutputFormatChanged();
    void OnToggle(std::size_t toggle);
    void OnLoadDefault();
    void OnSaveCustom(std::uint8_t slot);
    void OnLoadCustom(std::uint8_t slot);
    // Waits reloadWait, reads the unit's state and shows it; after the defaults were loaded the
    // console's own selections start over as well.
    void Reload(bool resetSelections);
    void FinishReload(const StateRead& read, bool resetSelections);
    void ShowReloading(bool reloading);

    SettingPageContext& m_context;
    std::chrono::milliseconds m_reloadWait;
    QComboBox* m_outputFormat = nullptr;
    bool m_reloading = false;
    // Last, so that a reload under way is cancelled before the controls go.
    std::unique_ptr<BackgroundOperation> m_reload;
};

} // namespace brenvik
