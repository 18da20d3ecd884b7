#pragma once

#include "link/task_queue.h"
#include "link/unit_link.h"
#include "multiviewer/core/multiviewer_session.h"
#include "multiviewer/core/state_block.h"
#include "report_frames.h"
#include "support/holding_link.h"
#include "support/recording_console.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace brenvik::test {

using namespace std::chrono_literals;

inline constexpr std::uint8_t kSessionUnitAddress = 0x01;

// A state block of zeros with the changes of `fill`.
inline StateBlock BlockOf(const std::function<void(StateBlock&)>& fill) {
    StateBlock block{};
    fill(block);
    return block;
}

// The unit's answer to the state query, as a datagram.
inline Frame StateAnswer(const StateBlock& block) {
    return Report(0x0A, std::vector<std::uint8_t>(block.begin(), block.end()));
}

// One multiviewer session against a holding link, with the selected unit at 127.0.0.2; the test
// thread owns the session and runs what the link posts back with `queue`. The unit settles in
// moments here: waits end when the queue's timers run, which the test drives.
struct SessionRig {
    static constexpr MultiviewerSession::Timing kTiming{2000ms, 5ms};

    explicit SessionRig(MultiviewerSession::Timing timing = kTiming) {
        DeviceEntry unit;
        unit.SetIp("127.0.0.2");
        unit.typeCode = kTypeMultiviewer;
        unit.unitAddress = kSessionUnitAddress;
        unit.unitId = kReportUnitId;
        devices.At(0) = unit;
        devices.SetSelectedIndex(0);
        session = std::make_unique<MultiviewerSession>(link, devices, locked, queue, timing);
        session->AddObserver(observer);
    }
    ~SessionRig() {
        if (session) {
            session->RemoveObserver(observer);
        }
    }

    // The link thread's part of exchange `index`: the unit's answer, then the end of the exchange.
    void Answer(std::size_t index, const StateBlock& block) {
        Exchange& exchange = link.exchanges.at(index);
        exchange.takeDatagram(StateAnswer(block), *Ipv4Address::Parse("127.0.0.2", 7000));
        exchange.done(ExchangeOutcome::Completed);
    }
    void End(std::size_t index, ExchangeOutcome outcome) { link.exchanges.at(index).done(outcome); }

    // Runs what the link and the timers post until `done` holds; false when it did not in time.
    bool RunUntil(const std::function<bool()>& done) { return queue.RunUntil(done, 10s); }

    // The unit's page opens on a unit holding `block`; the test starts from there, with nothing
    // sent or told yet.
    void Open(const StateBlock& block) {
        const std::size_t index = link.exchanges.size();
        bool ended = false;
        session->Reread(RereadCause::Opening, {}, [&ended](RereadResult) { ended = true; });
        Answer(index, block);
        RunUntil([&] { return ended; });
        link.sent.clear();
        observer.Clear();
    }

    HoldingLink link;
    DeviceTable devices;
    bool locked = false;
    TaskQueue queue; // before the session: the session goes first
    RecordingObserver observer;
    std::unique_ptr<MultiviewerSession> session;
};

} // namespace brenvik::test
