#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace brenvik::ctl {

// One report of a multiviewer as a line of text ("layout code=40") or as one JSON object
// ({"report":"layout","opcode":51,"code":40}), without the line end. Nothing for a report the
// console does not handle, one too short for its values, or one naming a window or input that
// does not exist: the console ignores those too.
std::optional<std::string> ReportLine(std::span<const std::uint8_t> report, bool json);

} // namespace brenvik::ctl
