#include "matrix/core/matrix_backlight.h"
#include "matrix/core/matrix_routing.h"
#include "support/hex.h"

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

using test::Hex;

TEST(MatrixRouting, TextsByCommand) {
    const struct {
        const char* name;
        Frame text;
        const char* bytes; // empty: nothing to send
    } cases[] = {
        {"Apply3To148", MatrixApplyText(3, 0b10001001), "33 56 31 2C 34 2C 38 2E"},
        {"ApplyNothing", MatrixApplyText(3, 0), ""},
        {"OneToAll5", MatrixOneToAllText(5), "35 41 6C 6C 2E"},
        {"OneToOne", MatrixOneToOneText(), "41 6C 6C 23 2E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, Hex(c.bytes)) << c.name;
    }
}

// A backlight time the list lacks never picks a list position.
TEST(MatrixBacklight, TimesOutsideTheListPickNoPosition) {
    EXPECT_EQ(BacklightTimePosition(0), 0);
    EXPECT_EQ(BacklightTimePosition(4), 4);
    EXPECT_EQ(BacklightTimePosition(5), std::nullopt);
    EXPECT_EQ(BacklightTimePosition(255), std::nullopt);
}

} // namespace
} // namespace brenvik
