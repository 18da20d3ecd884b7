#pragma once

namespace brenvik {

class CVARNOLUX_16_VIEWDlg;

// Registers the device page of every unit type that has one with the main window.
void RegisterConsolePages(CVARNOLUX_16_VIEWDlg& window);

} // namespace brenvik
