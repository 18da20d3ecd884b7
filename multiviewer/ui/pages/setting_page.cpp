#include "multiviewer/ui/pages/setting_page.h"

#include "controls/picture_button.h"
#include "multiviewer/core/page_controls.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>

namespace brenvik {

void SettingPage::ApplyUpdate(const PageUpdate& update) {
    switch (update.action) {
    case PageUpdate::Action::Refresh:
        Refresh();
        break;
    case PageUpdate::Action::SelectEntry:
        SelectEntry(update.controlId, update.value);
        break;
    case PageUpdate::Action::ShowImage:
        ShowPicture(update.controlId, update.value);
        break;
    case PageUpdate::Action::ShowMeterRadios:
        ShowMeterRadios(update.value == 1);
        break;
    }
}

void SettingPage::SelectEntry(int list, int entry) {
    auto* box = ControlNumbered<QComboBox>(list);
    if (box == nullptr) {
        return;
    }
    // A value from the wire that names no entry selects none, never one past the list.
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(entry >= 0 && entry < box->count() ? entry : -1);
}

void SettingPage::ShowPicture(int button, int picture) {
    if (auto* target = ControlNumbered<PictureButton>(button)) {
        const QSignalBlocker quiet(target);
        target->SetButtonPictureResource(picture);
    }
}

void SettingPage::ShowMeterRadios(bool on) {
    auto* onRadio = ControlNumbered<QRadioButton>(page_control::kMeterOnRadio);
    auto* offRadio = ControlNumbered<QRadioButton>(page_control::kMeterOffRadio);
    // Checking one radio of the pair unchecks the other, so both stay quiet while either changes.
    const QSignalBlocker quietOn(onRadio);
    const QSignalBlocker quietOff(offRadio);
    if (onRadio != nullptr) {
        onRadio->setChecked(on);
    }
    if (offRadio != nullptr) {
        offRadio->setChecked(!on);
    }
}

} // namespace brenvik
