#pragma once

#include "multiviewer/core/multiviewer_state.h"

#include <cstdint>
#include <string>

namespace brenvik::ctl {

// How the program names the multiviewer's values: colours by their names, output formats by their
// texts, meter channel pairs as "1&2".."15&16"; a value outside its table by its number.
std::string ColourName(std::uint8_t index);
std::string OutputFormatName(std::uint8_t code);
std::string SignalName(std::uint8_t present, std::uint8_t code);
std::string ChannelPairName(std::uint8_t pair);

// The decoded state of a multiviewer, for a reader and as one JSON object.
std::string MultiviewerStateText(const MultiviewerState& state);
std::string MultiviewerStateJson(const MultiviewerState& state);

} // namespace brenvik::ctl
