#pragma once

#include "multiviewer/core/console_view.h"
#include "multiviewer/core/main_window_hooks.h"

namespace brenvik::ctl {

// The program has no preview and no main window: the core's calls into them do nothing.
class QuietView : public ConsoleView, public MainWindowHooks {
public:
    void RedrawPreview() override {}
    void UpdatePage(const PageUpdate&) override {}
    void ShowCustomNameText(const std::u16string&) override {}
    void ShowLockPicture(int) override {}
};

} // namespace brenvik::ctl
