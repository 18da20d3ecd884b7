#pragma once

#include <string>

namespace brenvik {

// Reported model names shown under a display name instead; every other name is shown as reported.
std::u16string DisplayModelName(const std::u16string& reported);

} // namespace brenvik
