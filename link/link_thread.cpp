#include "link/link_thread.h"

#include <poll.h>

namespace brenvik {

namespace {

void WaitForWakeup(const WakeupEvent& wakeup, std::chrono::milliseconds timeout) {
    pollfd entry{wakeup.Handle(), POLLIN, 0};
    poll(&entry, 1, timeout.count() < 0 ? -1 : static_cast<int>(timeout.count()));
}

constexpr std::chrono::milliseconds kForever{-1};

void Finish(const Exchange& exchange, ExchangeOutcome outcome) {
    if (exchange.done) {
        exchange.done(outcome);
    }
}

} // namespace

LinkThread::LinkThread() : m_thread([this](std::stop_token stop) { Run(stop); }) {}

LinkThread::~LinkThread() {
    m_thread.request_stop();
    m_thread.join();
}

void LinkThread::Queue(LinkOperation operation) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(operation));
    }
    m_wakeup.Notify();
}

bool LinkThread::WaitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_queue.empty() && !m_busy; });
}

std::optional<LinkOperation> LinkThread::Pop() {
    std::lock_guard lock(m_mutex);
    if (m_queue.empty()) {
        return std::nullopt;
    }
    LinkOperation operation = std::move(m_queue.front());
    m_queue.pop_front();
    m_busy = true;
    return operation;
}

void LinkThread::FinishOperation() {
    {
        std::lock_guard lock(m_mutex);
        m_busy = false;
        if (!m_queue.empty()) {
            return;
        }
    }
    m_idle.notify_all();
}

void LinkThread::Run(std::stop_token stop) {
    const std::stop_callback wakeOnStop(stop, [this] { m_wakeup.Notify(); });
    while (!stop.stop_requested()) {
        // Cleared before the queue is looked at, so a queued operation's notice is never lost.
        m_wakeup.Reset();
        auto operation = Pop();
        if (!operation) {
            WaitForWakeup(m_wakeup, kForever);
            continue;
        }
        Carry(*operation, stop);
        FinishOperation();
    }
    StopAndFlush();
}

void LinkThread::Carry(LinkOperation& operation, const std::stop_token& stop) {
    switch (operation.kind) {
    case LinkOperation::Kind::Task:
        operation.task();
        break;
    case LinkOperation::Kind::Send:
        if (PaceUntilFree(stop)) {
            operation.transport->Send(operation.unit, operation.bytes);
            MarkFrameSent(*operation.transport);
        }
        break;
    case LinkOperation::Kind::Exchange:
        RunExchange(operation, stop);
        break;
    }
}

void LinkThread::RunExchange(LinkOperation& operation, const std::stop_token& stop) {
    const Exchange& exchange = operation.exchange;
    if (operation.cancel.stop_requested() || !PaceUntilFree(stop)) {
        Finish(exchange, ExchangeOutcome::Cancelled);
        return;
    }
    LinkTransport& transport = *operation.transport;
    auto open = transport.Begin(operation.unit, exchange);
    MarkFrameSent(transport);
    if (!open) {
        Finish(exchange, transport.Unavailable());
        return;
    }
    const std::stop_callback wakeOnCancel(operation.cancel, [this] { m_wakeup.Notify(); });
    const auto deadline = Clock::now() + transport.ReplyWindow(exchange);
    ExchangeOutcome outcome = ExchangeOutcome::WindowEnded;
    while (true) {
        m_wakeup.Reset();
        if (stop.stop_requested() || operation.cancel.stop_requested()) {
            outcome = ExchangeOutcome::Cancelled;
            break;
        }
        if (open->Collect(exchange, deadline)) {
            outcome = ExchangeOutcome::Completed;
            break;
        }
        auto now = Clock::now();
        if (now >= deadline) {
            break;
        }
        Clock::time_point wakeAt = deadline;
        if (open->CarriesSends()) {
            if (const auto nextSend = CarrySends(*open, transport)) {
                wakeAt = std::min(wakeAt, *nextSend);
            }
            now = Clock::now();
        }
        open->Wait(std::chrono::ceil<std::chrono::milliseconds>(std::max(wakeAt - now, Clock::duration::zero())),
                   m_wakeup);
    }
    open.reset(); // closes the socket, or frees the line, before the caller hears of the end
    Finish(exchange, outcome);
}

std::optional<LinkThread::Clock::time_point> LinkThread::CarrySends(OpenExchange& open, LinkTransport& transport) {
    while (true) {
        std::unique_lock lock(m_mutex);
        // The next send for this medium, in queue order. It may pass exchanges queued before it that
        // have not started (another re-read behind this one must not hold the operator's commands
        // for its whole window too); it never passes another send or a change of the link.
        auto next = m_queue.begin();
        while (next != m_queue.end() && next->kind == LinkOperation::Kind::Exchange) {
            ++next;
        }
        if (next == m_queue.end() || next->kind != LinkOperation::Kind::Send || next->transport != &transport) {
            return std::nullopt;
        }
        if (Clock::now() < m_nextFrameAt) {
            return m_nextFrameAt;
        }
        LinkOperation send = std::move(*next);
        m_queue.erase(next);
        lock.unlock();
        open.Send(send.unit, send.bytes);
        MarkFrameSent(transport);
    }
}

bool LinkThread::PaceUntilFree(const std::stop_token& stop) {
    for (auto now = Clock::now(); now < m_nextFrameAt; now = Clock::now()) {
        if (stop.stop_requested()) {
            return false;
        }
        // Other operations queued meanwhile wake the wait; they wait their turn all the same.
        m_wakeup.Reset();
        WaitForWakeup(m_wakeup, std::chrono::ceil<std::chrono::milliseconds>(m_nextFrameAt - now));
    }
    return !stop.stop_requested();
}

void LinkThread::MarkFrameSent(const LinkTransport& transport) {
    m_nextFrameAt = Clock::now() + transport.SendPause();
}

void LinkThread::StopAndFlush() {
    // An operator's last commands (a name committed as the console closes) still leave, each at its
    // pace, as long as the budget lasts; exchanges end cancelled; the link's own changes are made.
    const auto budgetEnd = Clock::now() + kStopBudget;
    while (auto operation = Pop()) {
        switch (operation->kind) {
        case LinkOperation::Kind::Task:
            operation->task();
            break;
        case LinkOperation::Kind::Send:
            if (std::max(Clock::now(), m_nextFrameAt) < budgetEnd) {
                std::this_thread::sleep_until(m_nextFrameAt);
                operation->transport->Send(operation->unit, operation->bytes);
                MarkFrameSent(*operation->transport);
            }
            break;
        case LinkOperation::Kind::Exchange:
            Finish(operation->exchange, ExchangeOutcome::Cancelled);
            break;
        }
        FinishOperation();
    }
}

} // namespace brenvik
