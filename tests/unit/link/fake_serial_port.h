#pragma once

#include "link/serial_port_link.h"

#include <atomic>
#include <deque>
#include <string>
#include <vector>

namespace brenvik::test {

// A serial port that keeps what the console wrote and hands out bytes a test put into its input.
class FakeSerialPort : public SerialPortLink {
public:
    bool IsOpen() const override { return m_open.load(); }
    int InputCount() override { return m_open ? static_cast<int>(m_input.size()) : -1; }
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override {
        std::size_t taken = 0;
        while (m_open && taken < count && !m_input.empty()) {
            buffer[taken++] = m_input.front();
            m_input.pop_front();
        }
        m_log.push_back("read " + std::to_string(taken));
        return taken;
    }
    std::size_t Write(const std::uint8_t* bytes, std::size_t count) override {
        if (!m_open) {
            return 0;
        }
        m_written.insert(m_written.end(), bytes, bytes + count);
        m_log.push_back("write " + std::to_string(count));
        return count;
    }

    void SetOpen(bool open) { m_open = open; }
    void Arrive(const std::vector<std::uint8_t>& bytes) {
        m_input.insert(m_input.end(), bytes.begin(), bytes.end());
    }
    const std::vector<std::uint8_t>& Written() const { return m_written; }
    const std::vector<std::string>& Log() const { return m_log; }
    std::size_t Waiting() const { return m_input.size(); }

private:
    std::atomic<bool> m_open{true};
    std::deque<std::uint8_t> m_input;
    std::vector<std::uint8_t> m_written;
    std::vector<std::string> m_log;
};

} // namespace brenvik::test
