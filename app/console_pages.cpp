#include "app/console_pages.h"

#include "app/main_window.h"

#include "multiviewer/ui/console_page.h"

namespace brenvik {

void RegisterConsolePages(CVARNOLUX_16_VIEWDlg& window) {
    window.Pages().Register(kTypeMultiviewer, [&window](QWidget* parent) -> QWidget* {
        ConsoleState& state = window.State();
        return new CClass_child_main_dlg(
            parent, ConsolePageContext{state.link, state.devices, state.multiviewer, state.consoleLocked,
                                       window, window.Dialogs(), window.Scale()});
    });
}

} // namespace brenvik
