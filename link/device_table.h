#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace brenvik {

// One discovered unit, as the discovery reply described it.
struct DeviceEntry {
    std::array<char, 16> ipText{};        // dotted IPv4, zero-padded; empty for a unit on the serial line
    std::uint8_t unitAddress = 0;         // byte 5 of the reply, sent at offset 5 of every frame
    std::uint8_t typeCode = 0;            // byte 4 of the reply, sent at offset 4; picks the page
    std::array<std::uint8_t, 4> unitId{}; // compared with offsets 10..13 of status reports

    std::string Ip() const;                // ipText up to its first zero
    void SetIp(const std::string& dotted); // keeps at most 15 characters
    bool operator==(const DeviceEntry&) const = default;
};

inline constexpr std::size_t kDeviceTableSize = 256;

inline constexpr std::uint8_t kTypeMultiviewer = 0xA1;
inline constexpr std::uint8_t kTypeMatrixSwitcher = 0x82;

// Type codes a LAN discovery reply may carry; any other reply is ignored.
inline constexpr std::array<std::uint8_t, 8> kKnownTypeCodes{0x60, 0x81, 0x82, 0x90, 0xA1, 0xA3, 0xA4, 0xA5};
bool IsKnownTypeCode(std::uint8_t typeCode);

// The 256-entry device table with the selected and opened indices. Lives on the UI thread; a
// thread that needs an entry takes a copy.
class DeviceTable {
public:
    const DeviceEntry& At(std::size_t index) const { return m_entries.at(index); }
    DeviceEntry& At(std::size_t index) { return m_entries.at(index); }
    void Clear() { m_entries = {}; }

    int SelectedIndex() const { return m_selectedIndex; }
    void SetSelectedIndex(int index) { m_selectedIndex = index; }
    int OpenedIndex() const { return m_openedIndex; }
    void SetOpenedIndex(int index) { m_openedIndex = index; }

    // The entry every sender addresses, or nothing while no unit is selected.
    std::optional<DeviceEntry> Selected() const;

private:
    std::array<DeviceEntry, kDeviceTableSize> m_entries{};
    int m_selectedIndex = -1;
    int m_openedIndex = -1;
};

} // namespace brenvik
