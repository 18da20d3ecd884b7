#pragma once

#include "multiviewer/core/page_update.h"

#include <QWidget>

namespace brenvik {

// One of the console page's setting pages (LAYOUT, UMD OVERLAY, COLORS, CONTROLS, SWITCHER,
// AUDIO), shown one at a time in the page area. It refreshes itself from the record when it is
// created and takes the unit's reports as page updates. The base does what every page does with an
// update — select a list entry, show a button picture, set the meter radios — finding the control
// by its number and changing it with its signals blocked, so that nothing changed by a report is
// ever sent back; a page adds only its own controls, handlers and refresh.
class SettingPage : public QWidget {
public:
    using QWidget::QWidget;

    void ApplyUpdate(const PageUpdate& update);

protected:
    // The page's own refresh from the record (RefreshLayoutPage, RefreshNamePage, …).
    virtual void Refresh() = 0;
    // The child control with this number as its object name, or nullptr.
    template <typename Control> Control* ControlNumbered(int number) const {
        return findChild<Control*>(QString::number(number));
    }

private:
    void SelectEntry(int list, int entry);
    void ShowPicture(int button, int picture);
    void ShowMeterRadios(bool on);
};

} // namespace brenvik
