#include "matrix/core/matrix_routing.h"

#include <string>

namespace brenvik {

namespace {

Frame TextBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace

Frame MatrixApplyText(std::uint8_t input, MatrixOutputs outputs) {
    if (outputs.none()) {
        return {};
    }
    std::string text = std::to_string(input) + 'V';
    for (std::size_t m = 1; m <= kMatrixPorts; ++m) {
        if (outputs.test(m - 1)) {
            text += std::to_string(m) + ',';
        }
    }
    text.back() = '.';
    return TextBytes(text);
}

Frame MatrixOneToAllText(std::uint8_t input) {
    return TextBytes(std::to_string(input) + "All.");
}

Frame MatrixOneToOneText() {
    return TextBytes("All#.");
}

} // namespace brenvik
