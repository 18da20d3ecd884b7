#pragma once

#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace brenvik::test {

// A pseudo-terminal pair: the test plays the far end on the master while the console opens the
// slave by its path, as it would open a real port. The pair keeps a slave descriptor of its own so
// that the line stays up between the console's opens.
class PtyPair {
public:
    PtyPair() {
        char name[128] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_path = name;
            termios raw{};
            tcgetattr(m_slave, &raw);
            cfmakeraw(&raw);
            tcsetattr(m_slave, TCSANOW, &raw);
        }
    }
    ~PtyPair() {
        close(m_master);
        close(m_slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return !m_path.empty(); }
    const std::string& SlavePath() const { return m_path; }
    int Master() const { return m_master; }
    int Slave() const { return m_slave; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

} // namespace brenvik::test
