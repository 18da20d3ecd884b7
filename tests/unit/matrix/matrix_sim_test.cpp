#include "sim/matrix_model.h"

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

// The simulated switcher applies a routing text only when the whole text reads; anything else
// leaves its routing as it was.
TEST(MatrixSimulatedUnit, RoutingTextsByCase) {
    using Routing = std::array<std::uint8_t, 8>;
    constexpr Routing kStart{8, 7, 6, 5, 4, 3, 2, 1};
    const struct {
        const char* text;
        Routing routing;
    } cases[] = {
        {"3V1,4,8.", {3, 7, 6, 3, 4, 3, 2, 3}},
        {"5All.", {5, 5, 5, 5, 5, 5, 5, 5}},
        {"All#.", {1, 2, 3, 4, 5, 6, 7, 8}},
        {"2V6.", {8, 7, 6, 5, 4, 2, 2, 1}},
        {"3V1,4,8", kStart},
        {"3V1,,4.", kStart},
        {"3V9.", kStart},
        {"9V1.", kStart},
        {"0All.", kStart},
        {"3V.", kStart},
        {"", kStart},
    };
    sim::UnitConfig config;
    config.typeCode = kTypeMatrixSwitcher;
    sim::SimulatedUnit unit(config, nullptr, Endpoints{});
    for (const auto& c : cases) {
        sim::MatrixSettings settings;
        settings.routing = kStart;
        sim::MatrixModel model(settings);
        const std::string text = c.text;
        const std::vector<std::uint8_t> bytes(text.begin(), text.end());
        model.OnDatagram(unit, bytes, Ipv4Address{});
        EXPECT_EQ(model.Settings().routing, c.routing) << c.text;
    }
}

} // namespace
} // namespace brenvik
