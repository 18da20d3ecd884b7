#include "link/device_table.h"

#include <algorithm>

namespace brenvik {

std::string DeviceEntry::Ip() const {
    const auto end = std::find(ipText.begin(), ipText.end(), '\0');
    return std::string(ipText.begin(), end);
}

void DeviceEntry::SetIp(const std::string& dotted) {
    ipText = {};
    // The last byte stays zero so that the text is always terminated.
    const std::size_t count = std::min(dotted.size(), ipText.size() - 1);
    std::copy_n(dotted.begin(), count, ipText.begin());
}

bool IsKnownTypeCode(std::uint8_t typeCode) {
    return std::find(kKnownTypeCodes.begin(), kKnownTypeCodes.end(), typeCode) != kKnownTypeCodes.end();
}

std::optional<DeviceEntry> DeviceTable::Selected() const {
    if (m_selectedIndex < 0 || static_cast<std::size_t>(m_selectedIndex) >= m_entries.size()) {
        return std::nullopt;
    }
    return m_entries[static_cast<std::size_t>(m_selectedIndex)];
}

} // namespace brenvik
