#pragma once

#include <string>
#include <string_view>

namespace brenvik::ctl {

// The help of each level of the program: "" for the whole program, "discover", "mv", "mx",
// "watch". An unknown level gives the program's help.
std::string HelpText(std::string_view level);

// The manual page, in roff, made from the same help texts.
std::string ManPage();

} // namespace brenvik::ctl
