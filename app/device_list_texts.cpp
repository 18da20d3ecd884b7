#include "app/device_list_texts.h"

#include "link/text_codec.h"

namespace brenvik {

std::vector<std::u16string> DeviceListItems(const DiscoveryResult& result) {
    if (result.units.empty()) {
        return {u"No Device Found"};
    }
    std::vector<std::u16string> items;
    items.reserve(result.units.size());
    for (const DiscoveredUnit& unit : result.units) {
        std::u16string item = DisplayModelName(unit.modelName);
        if (!unit.entry.Ip().empty()) {
            item += u"_" + ToU16(unit.entry.Ip());
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::string DeviceStatusText(const DiscoveryResult& result) {
    return result.units.empty() ? "No Device Connected" : "Connected - " + std::to_string(result.units.size());
}

} // namespace brenvik
