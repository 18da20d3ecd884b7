#include "link/console_link.h"

namespace brenvik {

ConsoleLink::ConsoleLink(Endpoints endpoints, OperatorMessages& messages) : m_udp(std::move(endpoints), messages) {}

LinkTransport& ConsoleLink::Current() {
    return Mode() == LinkMode::Lan ? static_cast<LinkTransport&>(m_udp) : static_cast<LinkTransport&>(m_serial);
}

void ConsoleLink::RunOnLinkThread(std::function<void()> task) {
    LinkOperation operation;
    operation.kind = LinkOperation::Kind::Task;
    operation.task = std::move(task);
    m_thread.Queue(std::move(operation));
}

void ConsoleLink::AttachSerialPort(SerialPortLink* port, std::function<void()> attached) {
    m_serial.Attach(port);
    // Queued behind everything queued so far, so it runs once nothing uses the port replaced.
    if (attached) {
        RunOnLinkThread(std::move(attached));
    }
}

bool ConsoleLink::Send(const std::optional<DeviceEntry>& unit, Frame bytes) {
    LinkTransport& transport = Current();
    if (!transport.AcceptsSend(unit)) {
        return false;
    }
    LinkOperation operation;
    operation.kind = LinkOperation::Kind::Send;
    operation.transport = &transport;
    operation.unit = unit;
    operation.bytes = std::move(bytes);
    m_thread.Queue(std::move(operation));
    return true;
}

void ConsoleLink::StartExchange(const std::optional<DeviceEntry>& unit, Exchange exchange, std::stop_token cancel) {
    LinkTransport& transport = Current();
    if (!transport.AcceptsExchange(unit, exchange)) {
        if (exchange.done) {
            exchange.done(ExchangeOutcome::NotAddressed);
        }
        return;
    }
    LinkOperation operation;
    operation.kind = LinkOperation::Kind::Exchange;
    operation.transport = &transport;
    operation.unit = unit;
    operation.exchange = std::move(exchange);
    operation.cancel = std::move(cancel);
    m_thread.Queue(std::move(operation));
}

std::optional<StatusSocket> ConsoleLink::OpenStatusSocket(const std::optional<DeviceEntry>& unit) {
    return m_udp.OpenStatusSocket(unit);
}

} // namespace brenvik
