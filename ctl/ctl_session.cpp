#include "ctl/ctl_session.h"

#include "link/platform/udp_socket.h"

namespace brenvik::ctl {

namespace {

bool LocalPortFree(std::uint16_t port) {
    auto probe = UdpSocket::Create();
    return probe && probe->Bind(Ipv4Address{{}, port});
}

// Long enough for a paced burst of every input name on the slowest line.
constexpr std::chrono::seconds kFlushBound{10};

} // namespace

CtlSession::CtlSession(const CtlOptions& options, std::ostream& err)
    : m_options(options), m_err(err), m_messages(err), m_link(options.endpoints, m_messages) {}

CtlSession::~CtlSession() {
    if (Serial()) {
        m_link.AttachSerialPort(nullptr);
        m_link.WaitUntilIdle(kFlushBound);
    }
}

bool CtlSession::Open(bool sendsCommands) {
    if (!Serial()) {
        // The link drops a command without a word when its socket cannot bind the local port (the
        // window console holds it while it searches, for instance); a program must not report such
        // a command as sent, so it makes sure the port is free before it starts.
        const std::uint16_t port = m_options.endpoints.localPort;
        if (sendsCommands && !LocalPortFree(port)) {
            m_err << "brenvik-ctl: local UDP port " << port << " is held by another program\n";
            return false;
        }
        m_link.SetMode(LinkMode::Lan);
        return true;
    }
    if (!m_port.Open(*m_options.serialPort, m_options.baud)) {
        m_err << "brenvik-ctl: cannot open serial port " << *m_options.serialPort << '\n';
        return false;
    }
    m_link.AttachSerialPort(&m_port);
    m_link.SetMode(LinkMode::Serial);
    return true;
}

DeviceEntry CtlSession::Unit(std::uint8_t typeCode) const {
    DeviceEntry unit;
    if (m_options.unit) {
        unit.SetIp(*m_options.unit);
    }
    unit.typeCode = typeCode;
    unit.unitAddress = m_options.unitAddress;
    if (m_options.unitId) {
        unit.unitId = *m_options.unitId;
    }
    return unit;
}

bool CtlSession::Flush() {
    return m_link.WaitUntilIdle(kFlushBound);
}

} // namespace brenvik::ctl
