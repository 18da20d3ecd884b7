#pragma once

#include "link/discovery.h"
#include "link/model_names.h"

#include <string>
#include <vector>

namespace brenvik {

// What the main window shows of a search: the device list's items and the status line.

// One item per unit, "<display name>_<address>" ("<display name>" alone for a unit on the serial
// line); the single item "No Device Found" when none answered.
std::vector<std::u16string> DeviceListItems(const DiscoveryResult& result);

// "Connected - %d", or "No Device Connected" when none answered.
std::string DeviceStatusText(const DiscoveryResult& result);

} // namespace brenvik
