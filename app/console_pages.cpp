#include "app/console_pages.h"

#include "app/main_window.h"

#include "matrix/ui/matrix_page.h"
#include "multiviewer/ui/console_page.h"

namespace brenvik {

void RegisterConsolePages(CVARNOLUX_16_VIEWDlg& window) {
    window.Pages().Register(kTypeMultiviewer, [&window](QWidget* parent) -> QWidget* {
        ConsoleState& state = window.State();
        return new CClass_child_main_dlg(
            parent, ConsolePageContext{state.multiviewer, state.devices, state.consoleLocked, window.Dialogs(),
                                       window.Scale()});
    });
    window.Pages().Register(kTypeMatrixSwitcher, [&window](QWidget* parent) -> QWidget* {
        ConsoleState& state = window.State();
        const auto showName = [&window](const std::optional<std::u16string>& name) {
            window.ShowUnitName(name);
        };
        const auto showLock = [&window](bool locked) { window.ShowLock(locked); };
        const auto showAddressMode = [&state](std::uint8_t mode) { state.networkDhcp = mode; };
        return new CClass_matrix_child(
            parent, MatrixPageContext{state.matrix, state.matrixPage, state.consoleLocked, showName, showLock,
                                      showAddressMode, window.Dialogs(), window.Scale()});
    });
}

} // namespace brenvik
