#include "link/task_queue.h"
#include "link/text_codec.h"
#include "matrix/core/matrix_session.h"
#include "matrix_reply_bytes.h"
#include "support/holding_link.h"
#include "support/hex.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brenvik {
namespace {

using test::Hex;

constexpr MatrixRouting kRouting{3, 1, 4, 1, 5, 9, 2, 6};

struct RecordingObserver : MatrixObserver {
    void MatrixChanged(const MatrixChange& change) override { changes.push_back(change); }
    std::vector<MatrixChange> changes;
};

MatrixChange Routing(int output) {
    return {MatrixField::Routing, output};
}
const MatrixChange kBacklight{MatrixField::Backlight};
const MatrixChange kLock{MatrixField::Lock};
const MatrixChange kAddressMode{MatrixField::AddressMode};
const MatrixChange kName{MatrixField::Name};
const std::vector<MatrixChange> kStateReplyChanges{Routing(0), kLock, kAddressMode, kName};

// The session with the selected unit 127.0.0.11 at unit address 7, on a link that holds what it is
// given; the link's results come back through `queue`.
struct Rig {
    Rig() {
        DeviceEntry unit;
        unit.SetIp("127.0.0.11");
        unit.typeCode = kTypeMatrixSwitcher;
        unit.unitAddress = 0x07;
        devices.At(0) = unit;
        devices.SetSelectedIndex(0);
        session = std::make_unique<MatrixSession>(link, devices, locked, queue);
        session->AddObserver(observer);
    }
    // The link thread's part of exchange `index`: one datagram from the unit, then the end.
    void Answer(std::size_t index, const Frame& reply) {
        Exchange& exchange = link.exchanges.at(index);
        exchange.takeDatagram(reply, *Ipv4Address::Parse("127.0.0.11", 7000));
        exchange.done(ExchangeOutcome::Completed);
    }

    test::HoldingLink link;
    DeviceTable devices;
    bool locked = false;
    TaskQueue queue;
    RecordingObserver observer;
    std::unique_ptr<MatrixSession> session;
};

TEST(MatrixSession, SendersStoreTellThenSend) {
    const struct {
        const char* name;
        std::function<bool(MatrixSession&)> command;
        bool queued;
        std::vector<MatrixChange> changes;
        Frame sent; // empty: nothing
        MatrixModel model;
    } cases[] = {
        {"Apply3To148",
         [](MatrixSession& s) { return s.Apply(3, 0b10001001) == RoutingOutcome::Sent; },
         true,
         {Routing(1), Routing(4), Routing(8)},
         Hex("33 56 31 2C 34 2C 38 2E"),
         {{3, 0, 0, 3, 0, 0, 0, 3}, {3, 0, 0, 3, 0, 0, 0, 3}, 0, 0}},
        {"ApplyNothing",
         [](MatrixSession& s) { return s.Apply(3, 0) == RoutingOutcome::Sent; },
         false,
         {},
         {},
         {}},
        {"OneToAll5",
         [](MatrixSession& s) { return s.OneToAll(5) == RoutingOutcome::Sent; },
         true,
         {Routing(0)},
         Hex("35 41 6C 6C 2E"),
         {{5, 5, 5, 5, 5, 5, 5, 5}, {5, 5, 5, 5, 5, 5, 5, 5}, 0, 0}},
        {"OneToOne",
         [](MatrixSession& s) { return s.OneToOne() == RoutingOutcome::Sent; },
         true,
         {Routing(0)},
         Hex("41 6C 6C 23 2E"),
         {{1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}, 0, 0}},
        {"BacklightTime",
         [](MatrixSession& s) { return s.SetBacklightTime(4); },
         true,
         {kBacklight},
         Hex("A5 6C 15 00 03 07 01 00 00 00 00 00 00 00 00 00 51 04 86 01 AE"),
         {{}, {}, 4, 0}},
        {"BacklightBrightness",
         [](MatrixSession& s) { return s.SetBacklightBrightness(100); },
         true,
         {kBacklight},
         Hex("A5 6C 15 00 03 07 01 00 00 00 00 00 00 00 00 00 52 64 E7 01 AE"),
         {{}, {}, 0, 100}},
        {"BrightnessMoved",
         [](MatrixSession& s) {
             s.MoveBacklightBrightness(60);
             return false;
         },
         false,
         {kBacklight},
         {},
         {{}, {}, 0, 60}},
        {"Name",
         [](MatrixSession& s) { return s.SetName(u"AB"); },
         true,
         {kName},
         BuildCustomNameFrame(kTypeMatrixSwitcher, 0x07, 1, ToUtf16le(u"AB")),
         {}},
    };
    for (const auto& c : cases) {
        Rig rig;
        EXPECT_EQ(c.command(*rig.session), c.queued) << c.name;
        EXPECT_EQ(rig.observer.changes, c.changes) << c.name;
        EXPECT_EQ(rig.link.sent, c.sent.empty() ? std::vector<Frame>{} : std::vector<Frame>{c.sent})
            << c.name;
        const MatrixModel& model = rig.session->Model();
        EXPECT_EQ(model.sentRouting, c.model.sentRouting) << c.name;
        EXPECT_EQ(model.statusRouting, c.model.statusRouting) << c.name;
        EXPECT_EQ(model.backlightTime, c.model.backlightTime) << c.name;
        EXPECT_EQ(model.backlightBrightness, c.model.backlightBrightness) << c.name;
    }
    Rig named;
    named.session->SetName(u"AB");
    EXPECT_EQ(named.session->Name(), u"AB");
}

TEST(MatrixSession, LockedSessionStoresTellsAndSendsNothing) {
    Rig rig;
    rig.locked = true;
    MatrixSession& session = *rig.session;
    EXPECT_EQ(session.Apply(3, 0b1), RoutingOutcome::Locked);
    EXPECT_EQ(session.OneToAll(3), RoutingOutcome::Locked);
    EXPECT_EQ(session.OneToOne(), RoutingOutcome::Locked);
    EXPECT_FALSE(session.SetBacklightTime(2));
    EXPECT_FALSE(session.SetBacklightBrightness(20));
    session.MoveBacklightBrightness(30);
    EXPECT_FALSE(session.SetName(u"X"));
    EXPECT_TRUE(rig.link.sent.empty());
    EXPECT_TRUE(rig.observer.changes.empty());
    EXPECT_EQ(session.Model().sentRouting, MatrixRouting{});
    EXPECT_EQ(session.Model().statusRouting, MatrixRouting{});
    EXPECT_EQ(session.Model().backlightTime, 0);
    EXPECT_EQ(session.Model().backlightBrightness, 0);
    EXPECT_EQ(session.Name(), std::nullopt);
}

// A text the link refuses still leaves the routing the operator chose in the model, and the
// observers hear of it, so the console shows it.
TEST(MatrixSession, RefusedTextKeepsTheRoutingAndTellsTheObservers) {
    Rig rig;
    rig.link.refuseSends = true;
    EXPECT_EQ(rig.session->OneToAll(2), RoutingOutcome::LinkUnavailable);
    EXPECT_TRUE(rig.link.sent.empty());
    EXPECT_EQ(rig.session->Model().statusRouting, (MatrixRouting{2, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(rig.observer.changes, std::vector<MatrixChange>{Routing(0)});
}

// Opening: the backlight starts from zero, both replies are applied on the owning thread, each
// whole; a later reply without a name leaves the name as it was.
TEST(MatrixSession, RepliesReachTheModelAndTheObservers) {
    Rig rig;
    rig.session->SetBacklightBrightness(50);
    rig.observer.changes.clear();
    std::vector<bool> done;
    rig.session->ReadUnit({}, [&done](bool ran) { done.push_back(ran); });
    EXPECT_EQ(rig.observer.changes, std::vector<MatrixChange>{kBacklight});
    EXPECT_EQ(rig.session->Model().backlightBrightness, 0);
    ASSERT_EQ(rig.link.exchanges.size(), 2U);
    EXPECT_EQ(rig.link.exchanges[0].request[frame_offset::kOpcode], 0x53);
    EXPECT_EQ(rig.link.exchanges[1].request[frame_offset::kOpcode], 0x50);

    rig.Answer(0, test::StateReply(kRouting, 1, 8, u"Rack", 0));
    rig.Answer(1, test::BacklightReplyBytes(2, 150));
    EXPECT_EQ(rig.session->Model().statusRouting, MatrixRouting{}); // nothing before the owning thread runs
    rig.queue.RunPending();
    std::vector<MatrixChange> expected{kBacklight};
    expected.insert(expected.end(), kStateReplyChanges.begin(), kStateReplyChanges.end());
    expected.push_back(kBacklight);
    EXPECT_EQ(rig.observer.changes, expected);
    EXPECT_EQ(done, std::vector<bool>{true});
    const MatrixModel& model = rig.session->Model();
    EXPECT_EQ(model.statusRouting, kRouting);
    EXPECT_EQ(model.sentRouting, MatrixRouting{});
    EXPECT_EQ(model.backlightTime, 2);
    EXPECT_EQ(model.backlightBrightness, 150);
    EXPECT_TRUE(rig.locked);
    EXPECT_EQ(rig.session->AddressMode(), 0);
    EXPECT_EQ(rig.session->Name(), u"Rack");

    rig.observer.changes.clear();
    rig.session->ReadRouting({}, [&done](bool ran) { done.push_back(ran); });
    ASSERT_EQ(rig.link.exchanges.size(), 3U);
    rig.Answer(2, test::StateReply({1, 1, 1, 1, 1, 1, 1, 1}, 0, 0));
    rig.queue.RunPending();
    EXPECT_EQ(rig.observer.changes, kStateReplyChanges);
    EXPECT_EQ(done, (std::vector<bool>{true, true}));
    EXPECT_EQ(rig.session->Model().statusRouting, (MatrixRouting{1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_FALSE(rig.locked);
    EXPECT_EQ(rig.session->AddressMode(), 1);
    EXPECT_EQ(rig.session->Name(), std::nullopt) << "a reply without a name shows none";
}

// A read superseded by a newer one applies nothing and ends with done(false); a cancelled one
// applies nothing and never calls done. Either way the link is told to stop.
TEST(MatrixSession, ResultsOfAnOlderOrCancelledReadAreDropped) {
    for (const bool superseded : {true, false}) {
        Rig rig;
        std::stop_source cancel;
        std::vector<bool> done;
        rig.session->ReadRouting(cancel.get_token(), [&done](bool ran) { done.push_back(ran); });
        if (superseded) {
            rig.session->ReadRouting({}, [](bool) {});
        } else {
            cancel.request_stop();
        }
        EXPECT_TRUE(rig.link.cancels.at(0).stop_requested()) << superseded;
        rig.Answer(0, test::StateReply(kRouting, 1, 0));
        rig.queue.RunPending();
        EXPECT_EQ(rig.session->Model().statusRouting, MatrixRouting{}) << superseded;
        EXPECT_FALSE(rig.locked) << superseded;
        EXPECT_TRUE(rig.observer.changes.empty()) << superseded;
        EXPECT_EQ(done, superseded ? std::vector<bool>{false} : std::vector<bool>{}) << superseded;
    }
}

TEST(MatrixSession, ResultAfterTheSessionWentIsDropped) {
    Rig rig;
    bool called = false;
    rig.session->ReadUnit({}, [&called](bool) { called = true; });
    rig.observer.changes.clear();
    rig.session.reset();
    EXPECT_TRUE(rig.link.cancels.at(0).stop_requested());
    rig.Answer(0, test::StateReply(kRouting, 1, 0));
    rig.Answer(1, test::BacklightReplyBytes(1, 1));
    rig.queue.RunPending();
    EXPECT_FALSE(called);
    EXPECT_FALSE(rig.locked);
    EXPECT_TRUE(rig.observer.changes.empty());
}

} // namespace
} // namespace brenvik
