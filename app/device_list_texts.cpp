#include "app/device_list_texts.h"

#include "link/text_codec.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace brenvik {

namespace {

struct ModelNameAlias {
    std::u16string_view reported;
    std::u16string_view shown;
};
constexpr std::array<ModelNameAlias, 2> kModelNameAliases{{
    {u"PQT0642", u"PQT-8"},
    {u"16CH Monitorgrid", u"PQV-16"},
}};

} // namespace

std::u16string DisplayModelName(const std::u16string& reported) {
    const auto alias = std::find_if(kModelNameAliases.begin(), kModelNameAliases.end(),
                                    [&](const ModelNameAlias& a) { return a.reported == reported; });
    return alias == kModelNameAliases.end() ? reported : std::u16string(alias->shown);
}

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
