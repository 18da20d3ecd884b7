// The session's one workflow that reads the unit's whole state again: when the page opens, after the
// unit reports that it replaced its settings, and after the console's loads; the reports held
// meanwhile, a newer read taking over, cancels, and results that come after the session went.
#include "link/text_codec.h"
#include "multiviewer/core/layout_geometry.h"
#include "session_rig.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace brenvik {
namespace {

using namespace std::chrono_literals;
using test::Report;
using F = MultiviewerField;
using Changes = std::vector<MultiviewerChange>;
using Results = std::vector<RereadResult>;

// A unit showing `layout`, with the name `name` (none when empty).
StateBlock UnitBlock(std::uint8_t layout, std::u16string name = {}) {
    return test::BlockOf([&](StateBlock& b) {
        b[block_offset::kLayoutCode] = layout;
        const std::vector<std::uint8_t> bytes = ToUtf16le(name);
        b[block_offset::kCustomNameLength] = static_cast<std::uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), b.begin() + block_offset::kCustomName);
    });
}

// Keeps how each re-read ended for the one who asked for it.
struct Ends {
    std::function<void(RereadResult)> Done() {
        return [this](RereadResult result) { results.push_back(result); };
    }
    Results results;
};

// Everything the observers hear of one re-read, after the record holds it.
void ExpectReplacedTold(const test::RecordingObserver& observer, RereadCause cause,
                        const std::optional<std::u16string>& name, bool locked) {
    EXPECT_EQ(observer.replaced, std::vector<RereadCause>{cause});
    EXPECT_EQ(observer.names, std::vector<std::optional<std::u16string>>{name});
    EXPECT_EQ(observer.locks, std::vector<bool>{locked});
}

TEST(MultiviewerReread, OpeningReadAppliesTheAnswerAndTellsEverything) {
    for (const bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "locked" : "unlocked");
        test::SessionRig rig;
        rig.locked = locked;
        Ends ends;
        rig.session->Reread(RereadCause::Opening, {}, ends.Done());
        EXPECT_TRUE(rig.session->Rereading());
        ASSERT_EQ(rig.link.exchanges.size(), 1U);
        EXPECT_EQ(rig.link.exchanges[0].request, BuildFrame(kTypeMultiviewer, 0x01, 1, 0x0A));

        const StateBlock block = UnitBlock(160, u"Rack 7");
        rig.Answer(0, block);
        // The link thread only hands the answer on; the owning thread applies it.
        EXPECT_EQ(rig.session->State().layoutCode, 0);
        ASSERT_TRUE(rig.RunUntil([&] { return !ends.results.empty(); }));

        EXPECT_EQ(ends.results, Results{RereadResult::Answered});
        const MultiviewerState& state = rig.session->State();
        EXPECT_EQ(state.stateBlock, block);
        EXPECT_EQ(state.layoutCode, 160);
        EXPECT_EQ(state.windowRects, ComputeLayoutGeometry(160));
        EXPECT_EQ(state.customName, u"Rack 7");
        ExpectReplacedTold(rig.observer, RereadCause::Opening, u"Rack 7", locked);
        EXPECT_TRUE(rig.observer.changes.empty());
        EXPECT_FALSE(rig.session->Rereading());
    }
}

TEST(MultiviewerReread, UnitWithoutANameShowsNone) {
    test::SessionRig rig;
    rig.Open(UnitBlock(40, u"Old"));
    Ends ends;
    rig.session->Reread(RereadCause::Opening, {}, ends.Done());
    rig.Answer(1, UnitBlock(40));
    ASSERT_TRUE(rig.RunUntil([&] { return !ends.results.empty(); }));
    ExpectReplacedTold(rig.observer, RereadCause::Opening, std::nullopt, false);
}

// Without an answer the record decodes the block it holds once more, so that whatever the console
// changed since shows the unit's last known state again; a serial search's state frame is such a
// block.
TEST(MultiviewerReread, TimedOutReadDecodesTheBlockHeld) {
    test::SessionRig rig;
    rig.Open(UnitBlock(92, u"Rack 7"));
    rig.session->SetLayoutCode(40);
    rig.observer.Clear();

    Ends ends;
    rig.session->Reread(RereadCause::Opening, {}, ends.Done());
    rig.End(1, ExchangeOutcome::WindowEnded);
    ASSERT_TRUE(rig.RunUntil([&] { return !ends.results.empty(); }));
    EXPECT_EQ(ends.results, Results{RereadResult::TimedOut});
    EXPECT_EQ(rig.session->State().layoutCode, 92);
    EXPECT_EQ(rig.session->State().windowRects, ComputeLayoutGeometry(92));
    ExpectReplacedTold(rig.observer, RereadCause::Opening, u"Rack 7", false);

    const Frame searchAnswer = test::StateAnswer(UnitBlock(111));
    EXPECT_FALSE(rig.session->StoreStateFrame(std::span(searchAnswer).first(18 + 788)));
    EXPECT_TRUE(rig.session->StoreStateFrame(searchAnswer));
    EXPECT_EQ(rig.session->State().layoutCode, 92) << "a stored frame waits for the next read";
    rig.session->Reread(RereadCause::Opening, {}, ends.Done());
    rig.End(2, ExchangeOutcome::WindowEnded);
    ASSERT_TRUE(rig.RunUntil([&] { return ends.results.size() == 2; }));
    EXPECT_EQ(rig.session->State().layoutCode, 111);
}

TEST(MultiviewerReread, ReadNotSentLeavesTheRecordAsItWas) {
    for (const ExchangeOutcome outcome :
         {ExchangeOutcome::NotAddressed, ExchangeOutcome::SocketUnavailable, ExchangeOutcome::PortClosed}) {
        SCOPED_TRACE(static_cast<int>(outcome));
        test::SessionRig rig;
        rig.Open(UnitBlock(92));
        rig.session->SetLayoutCode(40);
        rig.observer.Clear();
        const MultiviewerState before = rig.session->State();

        Ends ends;
        rig.session->Reread(RereadCause::Opening, {}, ends.Done());
        rig.End(1, outcome);
        ASSERT_TRUE(rig.RunUntil([&] { return !ends.results.empty(); }));
        EXPECT_EQ(ends.results, Results{RereadResult::NotRead});
        EXPECT_EQ(rig.session->State(), before);
        EXPECT_TRUE(rig.observer.replaced.empty());
        EXPECT_TRUE(rig.observer.names.empty());
        EXPECT_FALSE(rig.session->Rereading());
    }
}

// A report that the unit replaced its settings starts the re-read at once. Every report that comes
// while it reads, and for the unit's settling time after, waits and is applied afterwards, in its
// order, on top of the state read. Default settings bring the console's selections back to "all";
// a custom memory keeps them.
TEST(MultiviewerReread, SettingsReplacedReportReadsAgainAndAppliesTheReportsHeldAfter) {
    const struct {
        std::uint8_t opcode;
        std::vector<std::uint8_t> values;
        RereadCause cause;
        bool selectionsReset;
    } cases[] = {
        {0x0B, {}, RereadCause::UnitReplaced, true},
        {0x38, {}, RereadCause::UnitReplaced, true},
        {0x59, {1}, RereadCause::UnitLoadedCustom, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "opcode " << int(c.opcode));
        test::SessionRig rig;
        rig.Open(UnitBlock(40));
        rig.session->SelectColourInput(5);
        rig.session->SelectColourWindow(6);
        rig.session->SelectMeterWindow(3);
        rig.observer.Clear();

        rig.session->ApplyReport(Report(c.opcode, c.values));
        EXPECT_TRUE(rig.session->Rereading());
        ASSERT_EQ(rig.link.exchanges.size(), 2U);
        rig.session->ApplyReport(Report(0x33, {7}));
        rig.session->ApplyReport(Report(0x3F, {1}));
        rig.session->ApplyReport(Report(0x33, {90}));
        EXPECT_EQ(rig.session->State().layoutCode, 40);
        EXPECT_TRUE(rig.observer.changes.empty());

        rig.Answer(1, UnitBlock(160));
        ASSERT_TRUE(rig.RunUntil([&] { return !rig.observer.replaced.empty(); }));
        EXPECT_EQ(rig.observer.replaced, std::vector<RereadCause>{c.cause});
        EXPECT_EQ(rig.session->State().layoutCode, 160);
        const MultiviewerState& state = rig.session->State();
        EXPECT_EQ(state.umdColorInput == 0 && state.formatColorWindow == 0 && state.meterWindow == 0,
                  c.selectionsReset);
        EXPECT_EQ(state.umdColorInput == 5 && state.formatColorWindow == 6 && state.meterWindow == 3,
                  !c.selectionsReset);
        // The unit is still settling: what it reports now waits too.
        EXPECT_TRUE(rig.session->Rereading());
        rig.session->ApplyReport(Report(0x39, {5}));
        EXPECT_TRUE(rig.observer.changes.empty());

        ASSERT_TRUE(rig.RunUntil([&] { return !rig.session->Rereading(); }));
        EXPECT_EQ(rig.observer.changes,
                  (Changes{{F::LayoutCode}, {F::Border}, {F::LayoutCode}, {F::AudioSource}}));
        EXPECT_EQ(state.layoutCode, 90);
        EXPECT_EQ(state.windowRects, ComputeLayoutGeometry(90));
        EXPECT_EQ(state.borderOn, 1);
        EXPECT_EQ(state.audioSource, 5);
        EXPECT_EQ(rig.link.exchanges.size(), 2U);
    }
}

// A held report that replaces the settings again starts the next re-read, and the reports after it
// wait for that one.
TEST(MultiviewerReread, HeldSettingsReplacedReportStartsTheNextRead) {
    test::SessionRig rig;
    rig.Open(UnitBlock(40));
    rig.session->ApplyReport(Report(0x38, {}));
    rig.session->ApplyReport(Report(0x3F, {1}));
    rig.session->ApplyReport(Report(0x38, {}));
    rig.session->ApplyReport(Report(0x33, {90}));
    rig.Answer(1, UnitBlock(60));
    ASSERT_TRUE(rig.RunUntil([&] { return rig.link.exchanges.size() == 3; }));
    EXPECT_EQ(rig.session->State().borderOn, 1);
    EXPECT_EQ(rig.session->State().layoutCode, 60);
    rig.Answer(2, UnitBlock(80));
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.session->Rereading(); }));
    EXPECT_EQ(rig.session->State().layoutCode, 90);
    EXPECT_EQ(rig.session->State().borderOn, 0) << "the second read brought the unit's border back";
}

// The loads send their frame, give the unit its time to settle, then read; Load Default brings the
// selections back to "all", Load Custom keeps them. While locked Load Default does nothing and Load
// Custom reads without sending.
TEST(MultiviewerReread, LoadsSendWaitForTheUnitThenRead) {
    const struct {
        const char* name;
        bool locked;
        std::function<bool(MultiviewerSession&, std::function<void(RereadResult)>)> load;
        bool queued;
        std::vector<Frame> sent;
        bool reads;
        bool selectionsReset;
        RereadCause cause;
    } cases[] = {
        {"LoadDefault",
         false,
         [](auto& s, auto done) { return s.LoadDefault({}, std::move(done)); },
         true,
         {BuildFrame(kTypeMultiviewer, 0x01, 1, 0x0B, std::vector<std::uint8_t>{0})},
         true,
         true,
         RereadCause::LoadDefault},
        {"LoadCustom",
         false,
         [](auto& s, auto done) { return s.LoadCustom(2, {}, std::move(done)); },
         true,
         {BuildFrame(kTypeMultiviewer, 0x01, 1, 0x59, std::vector<std::uint8_t>{2})},
         true,
         false,
         RereadCause::LoadCustom},
        {"LockedLoadDefault",
         true,
         [](auto& s, auto done) { return s.LoadDefault({}, std::move(done)); },
         false,
         {},
         false,
         false,
         RereadCause::LoadDefault},
        {"LockedLoadCustom",
         true,
         [](auto& s, auto done) { return s.LoadCustom(1, {}, std::move(done)); },
         false,
         {},
         true,
         false,
         RereadCause::LoadCustom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::SessionRig rig;
        rig.Open(UnitBlock(40));
        rig.session->SelectColourInput(5);
        rig.session->SelectMeterWindow(3);
        rig.observer.Clear();
        rig.locked = c.locked;

        Ends ends;
        EXPECT_EQ(c.load(*rig.session, ends.Done()), c.queued);
        EXPECT_EQ(rig.link.sent, c.sent);
        if (!c.reads) {
            EXPECT_EQ(ends.results, Results{RereadResult::NotRead});
            EXPECT_FALSE(rig.session->Rereading());
            EXPECT_EQ(rig.link.exchanges.size(), 1U);
            continue;
        }
        // The unit settles before anything is read.
        EXPECT_TRUE(rig.session->Rereading());
        EXPECT_EQ(rig.link.exchanges.size(), 1U);
        ASSERT_TRUE(rig.RunUntil([&] { return rig.link.exchanges.size() == 2; }));
        rig.Answer(1, UnitBlock(160));
        ASSERT_TRUE(rig.RunUntil([&] { return !ends.results.empty(); }));
        EXPECT_EQ(ends.results, Results{RereadResult::Answered});
        EXPECT_EQ(rig.observer.replaced, std::vector<RereadCause>{c.cause});
        EXPECT_EQ(rig.session->State().layoutCode, 160);
        EXPECT_EQ(rig.session->State().umdColorInput == 0 && rig.session->State().meterWindow == 0,
                  c.selectionsReset);
        EXPECT_EQ(rig.session->State().umdColorInput == 5 && rig.session->State().meterWindow == 3,
                  !c.selectionsReset);
        EXPECT_FALSE(rig.session->Rereading());
    }
}

// A newer re-read takes over: the older one ends with NotRead, the link stops its read, and its
// answer, should it still come, is dropped.
TEST(MultiviewerReread, NewerReadSupersedesTheOlder) {
    test::SessionRig rig;
    Ends older;
    Ends newer;
    rig.session->Reread(RereadCause::Opening, {}, older.Done());
    rig.session->Reread(RereadCause::Opening, {}, newer.Done());
    EXPECT_EQ(older.results, Results{RereadResult::NotRead});
    ASSERT_EQ(rig.link.exchanges.size(), 2U);
    EXPECT_TRUE(rig.link.cancels[0].stop_requested());
    EXPECT_FALSE(rig.link.cancels[1].stop_requested());

    rig.Answer(1, UnitBlock(160));
    rig.Answer(0, UnitBlock(90));
    ASSERT_TRUE(rig.RunUntil([&] { return !newer.results.empty(); }));
    rig.queue.RunPending();
    EXPECT_EQ(newer.results, Results{RereadResult::Answered});
    EXPECT_EQ(older.results, Results{RereadResult::NotRead});
    EXPECT_EQ(rig.session->State().layoutCode, 160);
    EXPECT_EQ(rig.observer.replaced, std::vector<RereadCause>{RereadCause::Opening});
}

// The unit answers Load Default with its own report that it replaced its settings. That report
// comes while the load's re-read waits for the unit: the load's read answers it, so it reads the
// state no second time, while the other reports held meanwhile are applied after the read.
TEST(MultiviewerReread, UnitsReportOfALoadIsAnsweredByTheLoadsRead) {
    test::SessionRig rig;
    rig.Open(UnitBlock(40));
    Ends load;
    ASSERT_TRUE(rig.session->LoadDefault({}, load.Done()));
    rig.session->ApplyReport(Report(0x0B, {}));
    rig.session->ApplyReport(Report(0x3F, {1}));
    EXPECT_EQ(rig.link.exchanges.size(), 1U);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.link.exchanges.size() == 2; }));
    rig.Answer(1, UnitBlock(40));
    ASSERT_TRUE(rig.RunUntil([&] { return !load.results.empty(); }));
    EXPECT_EQ(load.results, Results{RereadResult::Answered});
    rig.queue.RunPending();
    EXPECT_FALSE(rig.session->Rereading());
    EXPECT_EQ(rig.link.exchanges.size(), 2U) << "the unit's word for the load starts no second read";
    EXPECT_EQ(rig.session->State().borderOn, 1) << "the other reports held are applied after the read";
    EXPECT_EQ(rig.observer.replaced, std::vector<RereadCause>{RereadCause::LoadDefault});
}

// A cancel through the caller's stop token ends the re-read without `done` and without applying
// anything, whether it comes while the unit settles, while the link reads, or after the answer was
// already on its way to the owning thread. Reports held for it are applied once it has ended.
TEST(MultiviewerReread, CancelEndsTheReadWithoutDone) {
    enum class When { Settling, Reading, AnswerOnItsWay };
    for (const When when : {When::Settling, When::Reading, When::AnswerOnItsWay}) {
        SCOPED_TRACE(static_cast<int>(when));
        test::SessionRig rig;
        rig.Open(UnitBlock(40));
        std::stop_source cancel;
        Ends ends;
        if (when == When::Settling) {
            rig.session->LoadCustom(1, cancel.get_token(), ends.Done());
        } else {
            rig.session->Reread(RereadCause::Opening, cancel.get_token(), ends.Done());
        }
        rig.session->ApplyReport(Report(0x3F, {1}));
        if (when == When::AnswerOnItsWay) {
            rig.Answer(1, UnitBlock(160));
        }
        cancel.request_stop();
        if (when == When::Settling) {
            rig.queue.RunPending();
            EXPECT_FALSE(rig.session->Rereading()) << "ended at the owning thread's next turn";
        }
        if (when == When::Reading) {
            EXPECT_TRUE(rig.link.cancels.at(1).stop_requested());
            rig.End(1, ExchangeOutcome::Cancelled);
        }
        ASSERT_TRUE(rig.RunUntil([&] { return !rig.session->Rereading(); }));
        rig.queue.RunPending();
        EXPECT_TRUE(ends.results.empty());
        EXPECT_TRUE(rig.observer.replaced.empty());
        EXPECT_EQ(rig.session->State().layoutCode, 40);
        EXPECT_EQ(rig.session->State().borderOn, 1) << "the report held for the read is applied";
        EXPECT_EQ(rig.link.exchanges.size(), when == When::Settling ? 1U : 2U);
    }
}

// The page of the unit goes: the re-read ends at once, the reports held for it are dropped, and its
// answer changes nothing.
TEST(MultiviewerReread, CancelRereadDropsTheReadAndItsHeldReports) {
    test::SessionRig rig;
    rig.Open(UnitBlock(40));
    Ends ends;
    rig.session->Reread(RereadCause::Opening, {}, ends.Done());
    rig.session->ApplyReport(Report(0x3F, {1}));
    rig.session->CancelReread();
    EXPECT_FALSE(rig.session->Rereading());
    EXPECT_TRUE(rig.link.cancels.at(1).stop_requested());
    rig.Answer(1, UnitBlock(160));
    rig.queue.RunPending();
    EXPECT_TRUE(ends.results.empty());
    EXPECT_EQ(rig.session->State().layoutCode, 40);
    EXPECT_EQ(rig.session->State().borderOn, 0);
    EXPECT_TRUE(rig.observer.replaced.empty());
    EXPECT_TRUE(rig.observer.changes.empty());
}

// Whatever comes after the session went does nothing: an answer from the link thread, one already
// posted to the owning thread, and the end of the unit's settling time.
TEST(MultiviewerReread, ResultsAfterTheSessionWentDoNothing) {
    enum class Late { FromTheLinkThread, AlreadyPosted, SettlingEnds };
    for (const Late late : {Late::FromTheLinkThread, Late::AlreadyPosted, Late::SettlingEnds}) {
        SCOPED_TRACE(static_cast<int>(late));
        test::SessionRig rig(MultiviewerSession::Timing{2000ms, 0ms});
        Ends ends;
        if (late == Late::SettlingEnds) {
            rig.session->LoadDefault({}, ends.Done());
        } else {
            rig.session->Reread(RereadCause::Opening, {}, ends.Done());
        }
        if (late == Late::AlreadyPosted) {
            rig.Answer(0, UnitBlock(160));
        }
        rig.session.reset();
        if (late == Late::FromTheLinkThread) {
            EXPECT_TRUE(rig.link.cancels.at(0).stop_requested());
            std::thread linkThread([&rig] { rig.Answer(0, UnitBlock(160)); });
            linkThread.join();
        }
        rig.queue.RunPending();
        EXPECT_TRUE(ends.results.empty());
        EXPECT_TRUE(rig.observer.replaced.empty());
        EXPECT_TRUE(rig.observer.changes.empty());
        EXPECT_EQ(rig.link.exchanges.size(), late == Late::SettlingEnds ? 0U : 1U);
    }
}

} // namespace
} // namespace brenvik
