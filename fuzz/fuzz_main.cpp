// The libFuzzer entry of one harness, chosen when the target is built.
#include "fuzz/harnesses.h"

#include <cstdlib>

namespace {

const brenvik::fuzz::NamedHarness& Chosen() {
    for (const auto& harness : brenvik::fuzz::kHarnesses) {
        if (harness.name == BRENVIK_FUZZ_HARNESS) {
            return harness;
        }
    }
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const brenvik::fuzz::NamedHarness& harness = Chosen();
    harness.run(std::span<const std::uint8_t>(data, size));
    return 0;
}
