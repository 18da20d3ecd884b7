#include "multiviewer/core/unit_state_reader.h"
#include "multiviewer/core/multiviewer_opcodes.h"

#include "link/frame.h"

#include <algorithm>
#include <array>
#include <thread>

namespace brenvik {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kLanReceiveSize = 1024;
// Every wait of a read is cut into slices this long, so that a stop request is seen in time.
constexpr std::chrono::milliseconds kStopSlice{20};
constexpr std::chrono::milliseconds kSerialSettle{20};
constexpr std::chrono::milliseconds kSerialPoll{10};

StateBlock BlockOf(std::span<const std::uint8_t> answer) {
    StateBlock block{};
    std::copy_n(answer.begin() + frame_offset::kUnitData, block.size(), block.begin());
    return block;
}

bool IsStateAnswer(std::span<const std::uint8_t> datagram) {
    return datagram.size() >= kStateAnswerMinSize && datagram[frame_offset::kOpcode] == mv_opcode::kQueryState &&
           datagram[frame_offset::kTypeCode] == kTypeMultiviewer;
}

std::chrono::milliseconds Left(Clock::time_point deadline) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
}

StateRead QueryOverLan(ConsoleLink& link, const std::optional<DeviceEntry>& unit, const Frame& query,
                       std::stop_token stop, Clock::time_point deadline) {
    auto socket = link.Udp().OpenCommandSocket(unit);
    if (!socket) {
        return {};
    }
    socket->Send(query);
    std::array<std::uint8_t, kLanReceiveSize> buffer{};
    for (auto left = Left(deadline); left.count() >= 0; left = Left(deadline)) {
        if (stop.stop_requested()) {
            return {StateRead::Outcome::Stopped, std::nullopt};
        }
        if (!socket->WaitReadable(std::min(left, kStopSlice))) {
            continue;
        }
        // Drain everything that waits before the next wait: a burst of other datagrams must not
        // push the answer past the deadline.
        while (const auto received = socket->Receive(buffer)) {
            const auto datagram = std::span<const std::uint8_t>(buffer).first(*received);
            if (IsStateAnswer(datagram)) {
                return {StateRead::Outcome::Answered, BlockOf(datagram)};
            }
        }
    }
    return {StateRead::Outcome::TimedOut, std::nullopt};
}

// The serial line carries no datagram boundaries: the first 809 bytes that arrive are the answer.
StateRead QueryOverSerial(ConsoleLink& link, const Frame& query, std::stop_token stop,
                          Clock::time_point deadline) {
    auto session = link.OpenSerialSession();
    if (!session) {
        return {};
    }
    session->DrainInput();
    session->Write(query);
    std::this_thread::sleep_for(kSerialSettle);
    std::array<std::uint8_t, kStateAnswerMinSize> answer{};
    while (Clock::now() <= deadline) {
        if (stop.stop_requested()) {
            return {StateRead::Outcome::Stopped, std::nullopt};
        }
        const int waiting = session->InputCount();
        std::this_thread::sleep_for(kSerialPoll);
        if (waiting >= static_cast<int>(answer.size())) {
            const std::size_t read = session->Read(answer);
            if (read == answer.size()) {
                return {StateRead::Outcome::Answered, BlockOf(answer)};
            }
        }
    }
    return {StateRead::Outcome::TimedOut, std::nullopt};
}

} // namespace

StateRead QueryUnitState(ConsoleLink& link, const std::optional<DeviceEntry>& unit, std::stop_token stop,
                         std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    if (link.Mode() == LinkMode::Lan) {
        const Frame query =
            unit ? BuildFrame(unit->typeCode, unit->unitAddress, link.LinkByte(), mv_opcode::kQueryState)
                 : Frame{};
        return QueryOverLan(link, unit, query, stop, deadline);
    }
    // With no unit selected there is no addressing for the frame; nothing goes onto the line.
    if (!unit) {
        return {};
    }
    return QueryOverSerial(link,
                           BuildFrame(unit->typeCode, unit->unitAddress, link.LinkByte(), mv_opcode::kQueryState),
                           stop, deadline);
}

bool ApplyStateRead(const StateRead& read, MultiviewerState& state, bool consoleLocked,
                    MainWindowHooks& mainWindow) {
    if (read.outcome == StateRead::Outcome::NotSent || read.outcome == StateRead::Outcome::Stopped) {
        return false;
    }
    if (read.block) {
        state.stateBlock = *read.block;
    }
    const std::u16string nameText = DecodeStateBlock(state.stateBlock, state);
    state.stateLoaded = true;
    mainWindow.ShowCustomNameText(nameText);
    mainWindow.ShowLockPicture(consoleLocked ? kLockPictureLocked : kLockPictureUnlocked);
    return true;
}

bool ReadUnitState(ConsoleLink& link, const std::optional<DeviceEntry>& unit, MultiviewerState& state,
                   bool consoleLocked, MainWindowHooks& mainWindow) {
    return ApplyStateRead(QueryUnitState(link, unit), state, consoleLocked, mainWindow);
}

} // namespace brenvik
