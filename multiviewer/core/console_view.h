#pragma once

#include "multiviewer/core/page_update.h"

namespace brenvik {

// What the multiviewer core asks of the console page. Called on the UI thread only.
class ConsoleView {
public:
    virtual ~ConsoleView() = default;
    // Repaint the console page; every repaint draws the whole layout preview from the record.
    virtual void RedrawPreview() = 0;
    // Forward to the setting page of update.pageType, if that page is the one shown.
    virtual void UpdatePage(const PageUpdate& update) = 0;
};

} // namespace brenvik
