#pragma once

#include "multiviewer/core/page_update.h"

#include <QWidget>

namespace brenvik {

// One of the console page's setting pages (LAYOUT, UMD OVERLAY, COLORS, CONTROLS, SWITCHER,
// AUDIO), shown one at a time in the page area. It refreshes itself from the record when it is
// created and takes the unit's reports as page updates.
class SettingPage : public QWidget {
public:
    using QWidget::QWidget;
    virtual void ApplyUpdate(const PageUpdate& update) = 0;
};

} // namespace brenvik
