#include "matrix/core/matrix_backlight.h"
#include "matrix/core/matrix_pictures.h"
#include "matrix/core/matrix_routing.h"
#include "matrix_test_link.h"
#include "support/hex.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace brenvik {
namespace {

using test::Hex;

DeviceEntry Unit() {
    DeviceEntry unit;
    unit.SetIp("127.0.0.11");
    unit.typeCode = kTypeMatrixSwitcher;
    unit.unitAddress = 0x07;
    return unit;
}

TEST(MatrixRouting, TextsAndModelByCommand) {
    const struct {
        const char* name;
        std::function<RoutingOutcome(UnitLink&, MatrixModel&)> command;
        RoutingOutcome outcome;
        const char* text; // empty: nothing sent
        MatrixRouting routing;
    } cases[] = {
        {"Apply3To148",
         [](UnitLink& l, MatrixModel& m) { return MatrixApply(l, Unit(), m, 3, 0b10001001); },
         RoutingOutcome::Sent,
         "33 56 31 2C 34 2C 38 2E",
         {3, 0, 0, 3, 0, 0, 0, 3}},
        {"ApplyNothing",
         [](UnitLink& l, MatrixModel& m) { return MatrixApply(l, Unit(), m, 3, 0); },
         RoutingOutcome::NothingToSend,
         "",
         {}},
        {"OneToAll5",
         [](UnitLink& l, MatrixModel& m) { return MatrixOneToAll(l, Unit(), m, 5); },
         RoutingOutcome::Sent,
         "35 41 6C 6C 2E",
         {5, 5, 5, 5, 5, 5, 5, 5}},
        {"OneToOne",
         [](UnitLink& l, MatrixModel& m) { return MatrixOneToOne(l, Unit(), m); },
         RoutingOutcome::Sent,
         "41 6C 6C 23 2E",
         {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        test::HoldingLink link;
        MatrixModel model;
        EXPECT_EQ(c.command(link, model), c.outcome) << c.name;
        const std::string text = c.text;
        EXPECT_EQ(link.sent, text.empty() ? std::vector<Frame>{} : std::vector<Frame>{Hex(text)}) << c.name;
        EXPECT_EQ(model.sentRouting, c.routing) << c.name;
        EXPECT_EQ(model.statusRouting, c.routing) << c.name;
    }
}

// Whatever the link does with it, the model holds the routing the operator chose.
TEST(MatrixRouting, UnavailableLinkKeepsTheNewRoutingAndSendsNothing) {
    const struct {
        const char* name;
        LinkMode mode;
        bool refuseSends;
    } cases[] = {{"SerialPortClosed", LinkMode::Serial, true}, {"LanRefused", LinkMode::Lan, true}};
    for (const auto& c : cases) {
        test::HoldingLink link;
        link.mode = c.mode;
        link.refuseSends = c.refuseSends;
        MatrixModel model;
        EXPECT_EQ(MatrixOneToAll(link, Unit(), model, 2), RoutingOutcome::LinkUnavailable) << c.name;
        EXPECT_TRUE(link.sent.empty()) << c.name;
        EXPECT_EQ(model.statusRouting, (MatrixRouting{2, 2, 2, 2, 2, 2, 2, 2})) << c.name;
    }
}

TEST(MatrixBacklight, SetFramesCarryTheUnitsAddressAndStayHomeWhileLocked) {
    for (const bool locked : {false, true}) {
        test::HoldingLink link;
        SetBacklightTime(link, Unit(), locked, 4);
        SetBacklightBrightness(link, Unit(), locked, 100);
        if (locked) {
            EXPECT_TRUE(link.sent.empty());
            continue;
        }
        ASSERT_EQ(link.sent.size(), 2U);
        EXPECT_EQ(link.sent[0], Hex("A5 6C 15 00 03 07 01 00 00 00 00 00 00 00 00 00 51 04 86 01 AE"));
        EXPECT_EQ(link.sent[1], Hex("A5 6C 15 00 03 07 01 00 00 00 00 00 00 00 00 00 52 64 E7 01 AE"));
    }
}

// A reported value that is no input, and a backlight time the list lacks, never index a picture or
// a list position.
TEST(MatrixPictures, OutOfRangeValuesPickNothing) {
    EXPECT_EQ(matrix_picture::StatusKey(3), 180);
    EXPECT_EQ(matrix_picture::StatusKey(8), 190);
    for (const std::uint8_t value : {0, 9, 255}) {
        EXPECT_EQ(matrix_picture::StatusKey(value), std::nullopt) << int(value);
    }
    EXPECT_EQ(BacklightTimePosition(4), 4);
    EXPECT_EQ(BacklightTimePosition(5), std::nullopt);
    EXPECT_EQ(BacklightTimePosition(255), std::nullopt);
}

} // namespace
} // namespace brenvik
