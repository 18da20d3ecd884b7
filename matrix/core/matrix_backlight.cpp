#include "matrix/core/matrix_backlight.h"

#include "matrix/core/matrix_frames.h"

namespace brenvik {

namespace {

std::uint8_t UnitAddress(const std::optional<DeviceEntry>& unit) {
    return unit ? unit->unitAddress : 0;
}

} // namespace

void SetBacklightTime(UnitLink& link, const std::optional<DeviceEntry>& unit, bool consoleLocked,
                      std::uint8_t value) {
    if (!consoleLocked) {
        link.Send(unit, BuildSetBacklightTime(UnitAddress(unit), link.LinkByte(), value));
    }
}

void SetBacklightBrightness(UnitLink& link, const std::optional<DeviceEntry>& unit, bool consoleLocked,
                            std::uint8_t value) {
    if (!consoleLocked) {
        link.Send(unit, BuildSetBacklightBrightness(UnitAddress(unit), link.LinkByte(), value));
    }
}

} // namespace brenvik
