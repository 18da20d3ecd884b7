#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace brenvik::platform {

// The serial ports this machine has, sorted as text ("/dev/ttyS0", "/dev/ttyS10", "/dev/ttyS2"),
// found without opening any of them: opening a port can toggle its modem lines. A tty counts when
// `ttyClassDir` lists it with a `device` link; a port of the legacy 8250 driver only when its
// `type` attribute is not 0 (the driver registers every possible port, present or not). Paths
// named in the environment variable BRENVIK_SERIAL_PORTS (separated by ':') are added, so that a
// simulated unit's pseudo-terminal can be chosen too.
std::vector<std::string> ListSerialPorts(const std::filesystem::path& ttyClassDir = "/sys/class/tty",
                                         const std::filesystem::path& deviceDir = "/dev");

} // namespace brenvik::platform
