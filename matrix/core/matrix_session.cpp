#include "matrix/core/matrix_session.h"

#include "link/frame.h"
#include "link/text_codec.h"
#include "matrix/core/matrix_backlight.h"
#include "matrix/core/matrix_frames.h"

#include <algorithm>
#include <utility>

namespace brenvik {

namespace {

constexpr bool IsPort(std::uint8_t number) {
    return number >= 1 && number <= kMatrixPorts;
}

} // namespace

// One read of the unit, shared by the results that come back for it.
struct MatrixSession::Read {
    std::uint64_t number = 0;
    std::stop_token cancel; // the caller's
    std::function<void(bool)> done;
    bool ran = false;
};

MatrixSession::MatrixSession(UnitLink& link, const DeviceTable& devices, bool& consoleLocked,
                             UiDispatcher& ui)
    : m_link(link), m_devices(devices), m_locked(consoleLocked), m_gate(ui) {}

MatrixSession::~MatrixSession() {
    // The exchanges still queued end on the link as cancelled; what they post back finds the
    // session gone.
    m_forwardCancel.reset();
    m_reads.request_stop();
    m_gate.Close();
}

void MatrixSession::AddObserver(MatrixObserver& observer) {
    if (std::find(m_observers.begin(), m_observers.end(), &observer) == m_observers.end()) {
        m_observers.push_back(&observer);
    }
}

void MatrixSession::RemoveObserver(MatrixObserver& observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), &observer), m_observers.end());
}

void MatrixSession::Notify(MatrixChange change) {
    // An observer may send from its call, or remove an observer; one removed meanwhile is not told.
    const std::vector<MatrixObserver*> observers = m_observers;
    for (MatrixObserver* observer : observers) {
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end()) {
            observer->MatrixChanged(change);
        }
    }
}

std::shared_ptr<MatrixSession::Read> MatrixSession::BeginRead(std::stop_token cancel,
                                                              std::function<void(bool)> done) {
    // The read under way stops on the link, and whatever it still posts back is dropped.
    m_forwardCancel.reset();
    m_reads.request_stop();
    m_reads = std::stop_source();
    auto read = std::make_shared<Read>(Read{++m_readRuns, cancel, std::move(done)});
    m_forwardCancel.emplace(std::move(cancel), [source = m_reads]() mutable { source.request_stop(); });
    return read;
}

bool MatrixSession::Current(Read& read, bool last) {
    if (read.cancel.stop_requested()) {
        return false;
    }
    if (read.number != m_readRuns) {
        if (last && read.done) {
            std::exchange(read.done, {})(false);
        }
        return false;
    }
    return true;
}

void MatrixSession::ReadUnit(std::stop_token cancel, std::function<void(bool ran)> done) {
    m_model.backlightTime = 0;
    m_model.backlightBrightness = 0;
    Notify({MatrixField::Backlight});

    const std::shared_ptr<Read> read = BeginRead(std::move(cancel), std::move(done));
    const std::optional<DeviceEntry> unit = m_devices.Selected();
    // Both queries are queued at once; the link runs them one after the other and posts their
    // results back in that order.
    QueryMatrixState(m_link, unit, m_reads.get_token(),
                     [this, alive = std::weak_ptr<int>(m_alive), read, gate = m_gate](MatrixStateRead state) {
                         // On the link thread: hand the result to the owning thread and nothing else.
                         gate.Post([this, alive, read, state = std::move(state)] {
                             if (alive.lock() && Current(*read, false)) {
                                 read->ran = state.ran;
                                 TakeState(state);
                             }
                         });
                     });
    QueryBacklight(m_link, unit, m_reads.get_token(),
                   [this, alive = std::weak_ptr<int>(m_alive), read, gate = m_gate](BacklightRead backlight) {
                       gate.Post([this, alive, read, backlight] {
                           if (alive.lock() && Current(*read, true)) {
                               TakeBacklight(backlight);
                               if (read->done) {
                                   std::exchange(read->done, {})(read->ran || backlight.ran);
                               }
                           }
                       });
                   });
}

void MatrixSession::ReadRouting(std::stop_token cancel, std::function<void(bool ran)> done) {
    const std::shared_ptr<Read> read = BeginRead(std::move(cancel), std::move(done));
    QueryMatrixState(m_link, m_devices.Selected(), m_reads.get_token(),
                     [this, alive = std::weak_ptr<int>(m_alive), read, gate = m_gate](MatrixStateRead state) {
                         gate.Post([this, alive, read, state = std::move(state)] {
                             if (alive.lock() && Current(*read, true)) {
                                 TakeState(state);
                                 if (read->done) {
                                     std::exchange(read->done, {})(state.ran);
                                 }
                             }
                         });
                     });
}

void MatrixSession::TakeState(const MatrixStateRead& state) {
    if (!state.reply) {
        return;
    }
    const MatrixStateReply& reply = *state.reply;
    m_model.statusRouting = reply.routing;
    m_locked = reply.locked;
    m_addressMode = reply.addressMode;
    // A length byte of 0 or above 32 brings no name: the unit has none to show.
    m_name = reply.name;
    Notify({MatrixField::Routing, 0});
    Notify({MatrixField::Lock});
    Notify({MatrixField::AddressMode});
    Notify({MatrixField::Name});
}

void MatrixSession::TakeBacklight(const BacklightRead& backlight) {
    if (!backlight.reply) {
        return;
    }
    m_model.backlightTime = backlight.reply->time;
    m_model.backlightBrightness = backlight.reply->brightness;
    Notify({MatrixField::Backlight});
}

RoutingOutcome MatrixSession::SendRouting(Frame text) {
    // The link refuses before queuing what it cannot carry (no unit on the LAN, a closed serial
    // port); a socket that cannot be bound later drops the text without a word.
    return m_link.Send(m_devices.Selected(), std::move(text)) ? RoutingOutcome::Sent
                                                              : RoutingOutcome::LinkUnavailable;
}

bool MatrixSession::SendFrame(Frame frame) {
    return m_link.Send(m_devices.Selected(), std::move(frame));
}

RoutingOutcome MatrixSession::Apply(std::uint8_t input, MatrixOutputs outputs) {
    if (m_locked) {
        return RoutingOutcome::Locked;
    }
    Frame text = MatrixApplyText(input, outputs);
    if (!IsPort(input) || text.empty()) {
        return RoutingOutcome::NothingToSend;
    }
    for (std::size_t m = 0; m < kMatrixPorts; ++m) {
        if (outputs.test(m)) {
            m_model.sentRouting[m] = input;
            m_model.statusRouting[m] = input;
        }
    }
    for (std::size_t m = 0; m < kMatrixPorts; ++m) {
        if (outputs.test(m)) {
            Notify({MatrixField::Routing, static_cast<int>(m) + 1});
        }
    }
    return SendRouting(std::move(text));
}

RoutingOutcome MatrixSession::OneToAll(std::uint8_t input) {
    if (m_locked) {
        return RoutingOutcome::Locked;
    }
    if (!IsPort(input)) {
        return RoutingOutcome::NothingToSend;
    }
    m_model.sentRouting.fill(input);
    m_model.statusRouting.fill(input);
    Notify({MatrixField::Routing, 0});
    return SendRouting(MatrixOneToAllText(input));
}

RoutingOutcome MatrixSession::OneToOne() {
    if (m_locked) {
        return RoutingOutcome::Locked;
    }
    for (std::size_t m = 0; m < kMatrixPorts; ++m) {
        m_model.sentRouting[m] = static_cast<std::uint8_t>(m + 1);
        m_model.statusRouting[m] = static_cast<std::uint8_t>(m + 1);
    }
    Notify({MatrixField::Routing, 0});
    return SendRouting(MatrixOneToOneText());
}

bool MatrixSession::SetBacklightTime(std::uint8_t value) {
    if (m_locked || !BacklightTimePosition(value)) {
        return false;
    }
    m_model.backlightTime = value;
    Notify({MatrixField::Backlight});
    const std::uint8_t address = m_devices.Selected().value_or(DeviceEntry{}).unitAddress;
    return SendFrame(BuildSetBacklightTime(address, m_link.LinkByte(), value));
}

bool MatrixSession::SetBacklightBrightness(std::uint8_t value) {
    if (m_locked || value > kBrightnessMax) {
        return false;
    }
    m_model.backlightBrightness = value;
    Notify({MatrixField::Backlight});
    const std::uint8_t address = m_devices.Selected().value_or(DeviceEntry{}).unitAddress;
    return SendFrame(BuildSetBacklightBrightness(address, m_link.LinkByte(), value));
}

void MatrixSession::MoveBacklightBrightness(std::uint8_t value) {
    if (m_locked || value > kBrightnessMax || value == m_model.backlightBrightness) {
        return;
    }
    m_model.backlightBrightness = value;
    Notify({MatrixField::Backlight});
}

bool MatrixSession::SetName(const std::u16string& name) {
    if (m_locked) {
        return false;
    }
    m_name = name;
    Notify({MatrixField::Name});
    const std::optional<DeviceEntry> unit = m_devices.Selected();
    const DeviceEntry addressing = unit.value_or(DeviceEntry{});
    return m_link.Send(unit, BuildCustomNameFrame(addressing.typeCode, addressing.unitAddress,
                                                  m_link.LinkByte(), ToUtf16le(name)));
}

} // namespace brenvik
