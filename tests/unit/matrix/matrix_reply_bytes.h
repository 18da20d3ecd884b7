#pragma once

#include "link/device_table.h"
#include "link/frame.h"
#include "matrix/core/matrix_model.h"
#include "matrix/core/matrix_queries.h"

#include <algorithm>
#include <string>

namespace brenvik::test {

// A well-formed state reply as the unit sends it: 64 bytes.
inline Frame StateReply(const MatrixRouting& routing, std::uint8_t lock, std::uint8_t nameLength,
                        const std::u16string& name = u"", std::uint8_t addressMode = 1) {
    Frame reply(kMatrixStateReplySize, 0x00);
    reply[0] = 0xA5;
    reply[1] = 0x6C;
    reply[2] = kMatrixStateReplySize;
    reply[4] = kTypeMatrixSwitcher;
    reply[16] = 0x53;
    std::copy(routing.begin(), routing.end(), reply.begin() + 18);
    reply[26] = lock;
    reply[27] = addressMode;
    reply[28] = nameLength;
    for (std::size_t i = 0; i < name.size(); ++i) {
        reply[29 + 2 * i] = static_cast<std::uint8_t>(name[i] & 0xFF);
        reply[30 + 2 * i] = static_cast<std::uint8_t>(name[i] >> 8);
    }
    reply.back() = 0xAE;
    return reply;
}

inline Frame BacklightReplyBytes(std::uint8_t time, std::uint8_t brightness) {
    Frame reply(kBacklightReplySize, 0x00);
    reply[16] = 0x50;
    reply[18] = time;
    reply[19] = brightness;
    return reply;
}

} // namespace brenvik::test
