#include "app/console_pages.h"

#include "app/main_window.h"

#include "matrix/ui/matrix_page.h"
#include "multiviewer/ui/console_page.h"

namespace brenvik {

void RegisterConsolePages(CVARNOLUX_16_VIEWDlg& window) {
    window.Pages().Register(kTypeMultiviewer, [&window](QWidget* parent) -> QWidget* {
        ConsoleState& state = window.State();
        return new CClass_child_main_dlg(
            parent, ConsolePageContext{state.link, state.devices, state.multiviewer, state.consoleLocked,
                                       window, window.Dialogs(), window.Scale()});
    });
    window.Pages().Register(kTypeMatrixSwitcher, [&window](QWidget* parent) -> QWidget* {
        ConsoleState& state = window.State();
        const auto showName = [&window](const std::u16string& text) { window.ShowCustomNameText(text); };
        const auto showLock = [&window](bool locked) {
            window.ShowLockPicture(locked ? kLockPictureLocked : kLockPictureUnlocked);
        };
        return new CClass_matrix_child(parent, MatrixPageContext{state.link, state.devices, state.matrix,
                                                                 state.matrixPage, state.consoleLocked,
                                                                 state.multiviewer.networkDhcp,
                                                                 state.multiviewer.customName, showName,
                                                                 showLock, window.Dialogs(), window.Scale()});
    });
}

} // namespace brenvik
