#pragma once

#include "link/frame.h"
#include "matrix/core/matrix_model.h"

#include <bitset>
#include <cstdint>

namespace brenvik {

// How a routing command ended.
enum class RoutingOutcome : std::uint8_t {
    Sent,            // the text is on its way to the unit
    NothingToSend,   // APPLY with no output marked, or an input that is none of 1..8
    LinkUnavailable, // the link cannot carry it; the model holds the new routing all the same
    Locked,          // the console is locked: nothing stored, nothing sent
};

// Outputs as a set: bit m - 1 for output m.
using MatrixOutputs = std::bitset<kMatrixPorts>;

// The routing commands are short ASCII texts, not frames: "3V1,4,8." routes input 3 to outputs 1,
// 4 and 8, "5All." routes input 5 everywhere, "All#." routes every input to its own output. No
// count, no line end, no terminating zero. An empty text: nothing to route.
Frame MatrixApplyText(std::uint8_t input, MatrixOutputs outputs);
Frame MatrixOneToAllText(std::uint8_t input);
Frame MatrixOneToOneText();

} // namespace brenvik
