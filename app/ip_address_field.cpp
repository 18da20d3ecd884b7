#include "app/ip_address_field.h"

#include <QRegularExpressionValidator>
#include <QStringList>

namespace brenvik {

namespace {

constexpr int kOctets = 4;

// Up to four octets of 0..255; while typing, a shorter text is still being entered.
const QRegularExpression kAddressPattern(QStringLiteral(
    "^((25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)\\.){0,3}(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)?$"));

} // namespace

IpAddressField::IpAddressField(QWidget* parent) : QLineEdit(parent) {
    setValidator(new QRegularExpressionValidator(kAddressPattern, this));
    setMaxLength(15);
}

std::array<std::uint8_t, 4> IpAddressField::Octets() const {
    std::array<std::uint8_t, 4> octets{};
    const QStringList parts = text().split(QLatin1Char('.'));
    for (int i = 0; i < kOctets && i < parts.size(); ++i) {
        octets[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(parts[i].toUInt());
    }
    return octets;
}

void IpAddressField::SetOctets(const std::array<std::uint8_t, 4>& octets) {
    setText(QStringLiteral("%1.%2.%3.%4").arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]));
}

} // namespace brenvik
