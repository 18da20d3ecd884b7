#pragma once

#include <cstdint>

namespace brenvik::sim {

// How a simulated unit misbehaves when it answers a discovery request, so that tests can show the
// console's reply checks at work.
enum class DiscoveryFault : std::uint8_t {
    None,
    WrongHeader,       // the second sync byte is 0x6D instead of 0x6C
    UnknownTypeCode,   // byte 4 of the reply is 0x55, a type code no unit has
    TooShort,          // a 21-byte reply: sync, terminator and type code right, no room for a name
    AnswerTwice,       // the same reply twice in a row
    Silent,            // no reply at all
    IdentifierPastEnd, // "-", byte, "-" and then straight the checksum: the identifier runs past the end
};

} // namespace brenvik::sim
