#pragma once

#include "multiviewer/ui/pages/setting_page.h"

#include "controls/screen_scale.h"
#include "link/device_table.h"
#include "link/unit_link.h"
#include "multiviewer/core/console_view.h"
#include "multiviewer/core/main_window_hooks.h"
#include "multiviewer/core/multiviewer_commands.h"
#include "multiviewer/core/multiviewer_state.h"

#include <array>
#include <cstdint>
#include <functional>

namespace brenvik {

// What a setting page works with: the record it shows, the senders it calls, the lock, the screen
// scale, and the console page for the few pages that redraw the preview themselves.
struct SettingPageContext {
    MultiviewerState& state;
    MultiviewerCommands& commands;
    const bool& consoleLocked;
    ScreenScale scale;
    ConsoleView& console;
    // For the pages that read the unit's state again themselves (the loads of the CONTROLS page):
    // the link, the selected unit, and the main-window controls a state read updates.
    UnitLink& link;
    const DeviceTable& devices;
    MainWindowHooks& mainWindow;
};

// Creates the setting page of a page type. Each page registers itself here by type; a type
// without a page yet creates nothing, and the page area shows the page background.
class SettingPageFactory {
public:
    using Maker = std::function<SettingPage*(QWidget* parent, SettingPageContext& context)>;

    void Register(std::uint8_t pageType, Maker maker);
    // nullptr when no page of that type exists.
    SettingPage* Create(std::uint8_t pageType, QWidget* parent, SettingPageContext& context) const;

private:
    std::array<Maker, 7> m_makers; // by page type 1..6
};

// Registers every setting page that this build has.
void RegisterSettingPages(SettingPageFactory& factory);

} // namespace brenvik
