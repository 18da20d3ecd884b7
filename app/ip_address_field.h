#pragma once

#include <QLineEdit>

#include <array>
#include <cstdint>

namespace brenvik {

// An IPv4 address field: four octets of 0..255 separated by dots and nothing else. An octet not yet
// typed reads as 0.
class IpAddressField : public QLineEdit {
    Q_OBJECT

public:
    explicit IpAddressField(QWidget* parent = nullptr);

    std::array<std::uint8_t, 4> Octets() const;
    void SetOctets(const std::array<std::uint8_t, 4>& octets);
};

} // namespace brenvik
