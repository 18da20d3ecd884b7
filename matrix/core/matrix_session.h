#pragma once

#include "link/device_table.h"
#include "link/post_gate.h"
#include "link/ui_dispatcher.h"
#include "link/unit_link.h"
#include "matrix/core/matrix_model.h"
#include "matrix/core/matrix_queries.h"
#include "matrix/core/matrix_routing.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace brenvik {

// What changed in a matrix switcher's model.
enum class MatrixField : std::uint8_t {
    Routing,     // sentRouting or statusRouting of one output (index 1..8) or of all (index 0)
    Backlight,   // backlightTime and backlightBrightness
    Lock,        // the console's lock, as the unit's state reply set it
    AddressMode, // the unit's address mode (1 DHCP, 0 static)
    Name,        // the unit's name, as Name() holds it
};

struct MatrixChange {
    MatrixField field;
    int index = 0; // Routing: output 1..8, 0 = every output
    bool operator==(const MatrixChange&) const = default;
};

// Told what changed, on the thread that owns the session (the UI thread), after the model holds it.
class MatrixObserver {
public:
    virtual ~MatrixObserver() = default;
    virtual void MatrixChanged(const MatrixChange& change) = 0;
};

// One matrix switcher as the console knows it: its model, the routing and backlight senders, and
// the two reads of the unit. Qt-free; every call and every observer call happens on the owning
// thread, and link results come back to it through the dispatcher. Every send and read goes to the
// unit the device table has selected at the time of the call.
//
// A sender stores what it sends, tells the observers, then queues the bytes; the model keeps what
// was sent also when the link refuses it, so that the console shows what the operator chose.
// Nothing is stored, told or sent while the console is locked.
//
// A state reply is applied whole: the status routing, the lock, the address mode, and the name
// when the reply carries one (a reply without one leaves the name as it was); the observers hear
// Routing 0, Lock, AddressMode and Name. A backlight reply sets both backlight values (Backlight).
// Destroying the session cancels its reads; their results are dropped.
class MatrixSession {
public:
    MatrixSession(UnitLink& link, const DeviceTable& devices, bool& consoleLocked, UiDispatcher& ui);
    ~MatrixSession();
    MatrixSession(const MatrixSession&) = delete;
    MatrixSession& operator=(const MatrixSession&) = delete;

    void AddObserver(MatrixObserver& observer);
    void RemoveObserver(MatrixObserver& observer);

    const MatrixModel& Model() const { return m_model; }
    // The unit's name as the last state reply gave it (nothing when it carried none), or as
    // SetName last sent it.
    const std::optional<std::u16string>& Name() const { return m_name; }
    std::uint8_t AddressMode() const { return m_addressMode; }

    // The unit's page opens: the backlight starts from zero (Backlight), then the state and the
    // backlight are read one after the other on the link; `done(ran)` on the owning thread once
    // both have ended (ran: something went out to the unit). A new read supersedes the one under
    // way: that one applies nothing more and ends with done(false). A read cancelled through
    // `cancel` applies nothing more and never calls `done`; nor does one whose session went.
    void ReadUnit(std::stop_token cancel, std::function<void(bool ran)> done);
    // REFRESH: the state alone, with the same rules.
    void ReadRouting(std::stop_token cancel, std::function<void(bool ran)> done);

    // The routing commands: Apply routes `input` to the outputs set, OneToAll to every output,
    // OneToOne every input to the output of its number. Both routings of the outputs concerned
    // take the new input (Routing of each output for Apply, Routing 0 for the other two).
    RoutingOutcome Apply(std::uint8_t input, MatrixOutputs outputs);
    RoutingOutcome OneToAll(std::uint8_t input);
    RoutingOutcome OneToOne();
    // Backlight time (list position) and brightness (0..100); false when nothing was queued.
    bool SetBacklightTime(std::uint8_t value);
    bool SetBacklightBrightness(std::uint8_t value);
    // The operator is moving the brightness: the model follows (Backlight), nothing is sent, since
    // SetBacklightBrightness sends where the operator lets go. Nothing while locked.
    void MoveBacklightBrightness(std::uint8_t value);
    // The unit's name (custom name frame, as for the multiviewer), stored (Name) and sent.
    bool SetName(const std::u16string& name);

private:
    struct Read;

    std::shared_ptr<Read> BeginRead(std::stop_token cancel, std::function<void(bool)> done);
    // Whether a result of `read` may still be applied; a superseded read ends here with done(false).
    bool Current(Read& read, bool last);
    void TakeState(const MatrixStateRead& state);
    void TakeBacklight(const BacklightRead& backlight);
    void Notify(MatrixChange change);
    RoutingOutcome SendRouting(Frame text);
    bool SendFrame(Frame frame);

    UnitLink& m_link;
    const DeviceTable& m_devices;
    bool& m_locked;
    PostGate m_gate; // the link thread's way back to the owning thread
    MatrixModel m_model;
    std::optional<std::u16string> m_name;
    std::uint8_t m_addressMode = 1;
    std::vector<MatrixObserver*> m_observers;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0); // tasks posted back hold a weak copy
    std::stop_source m_reads;                                // the read under way
    std::uint64_t m_readRuns = 0;                            // numbers each read; an older one is dropped
    // Forwards the caller's cancel of the read under way to m_reads, which the link's exchanges watch.
    std::optional<std::stop_callback<std::function<void()>>> m_forwardCancel;
};

} // namespace brenvik
