// Every seed and every input that ever made a harness fail, replayed on every run of the suite with
// the ordinary compiler (and under the suite's sanitizers), so a fault once mended stays mended.
#include "fuzz/harnesses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace brenvik::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Replay : public ::testing::TestWithParam<NamedHarness> {};

TEST_P(Replay, EverySeedAndRegressionInputIsSurvived) {
    const NamedHarness& harness = GetParam();
    int replayed = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path folder = fs::path(BRENVIK_FUZZ_DIR) / kind / std::string(harness.name);
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const auto& file : fs::directory_iterator(folder)) {
            const std::vector<std::uint8_t> input = ReadFile(file.path());
            SCOPED_TRACE(file.path().string());
            harness.run(input);
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0) << "no seed for " << harness.name;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Replay, ::testing::ValuesIn(kHarnesses),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brenvik::fuzz
