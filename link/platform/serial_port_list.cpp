#include "link/platform/serial_port_list.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>

namespace brenvik::platform {

namespace {

constexpr std::string_view kLegacyDriver = "serial8250";
constexpr const char* kExtraPortsVariable = "BRENVIK_SERIAL_PORTS";

bool IsPresentPort(const std::filesystem::path& tty) {
    std::error_code error;
    const std::filesystem::path device = tty / "device";
    if (!std::filesystem::exists(device, error)) {
        return false;
    }
    const std::filesystem::path driver = std::filesystem::read_symlink(device / "driver", error);
    if (error || driver.filename() != kLegacyDriver) {
        return true;
    }
    std::ifstream typeFile(tty / "type");
    int type = 0;
    return static_cast<bool>(typeFile >> type) && type != 0;
}

} // namespace

std::vector<std::string> ListSerialPorts(const std::filesystem::path& ttyClassDir,
                                         const std::filesystem::path& deviceDir) {
    std::vector<std::string> ports;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(ttyClassDir, error)) {
        if (IsPresentPort(entry.path())) {
            ports.push_back((deviceDir / entry.path().filename()).string());
        }
    }
    if (const char* extra = std::getenv(kExtraPortsVariable); extra != nullptr) {
        std::istringstream list(extra);
        for (std::string path; std::getline(list, path, ':');) {
            if (!path.empty()) {
                ports.push_back(path);
            }
        }
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

} // namespace brenvik::platform
