#include "link/model_names.h"

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

} // namespace brenvik
