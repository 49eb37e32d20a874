#include "TestSupport.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace kvort::test {

bool pumpUntil(const std::function<bool()>& pred, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void pumpFor(int ms) {
    pumpUntil([] { return false; }, ms);
}

Pty::Pty() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    ::ptsname_r(m_master, name, sizeof name);
    m_path = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slave, TCSANOW, &tio);
}

Pty::~Pty() {
    hangUp();
}

void Pty::hangUp() {
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}

void Pty::write(const std::vector<std::uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (w <= 0)
            throw std::runtime_error("pty write failed");
        done += static_cast<size_t>(w);
    }
}

std::vector<std::uint8_t> Pty::read(size_t n, int ms) {
    std::vector<std::uint8_t> out;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (out.size() < n) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        end - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0)
            break;
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        std::uint8_t buf[4096];
        ssize_t got = ::read(m_master, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0)
            break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

SimRunner::SimRunner(sim::SimOptions options)
    : m_sim(std::move(options)), m_thread([this] {
          m_sim.run();
          m_finished = true;
      }) {}

SimRunner::~SimRunner() {
    m_sim.stop();
    m_thread.join();
}

LinkTimings fastTimings() {
    LinkTimings t;
    t.writeSearchReply = 500;
    t.readSearchBlock = 1000;
    t.writeReply = 1000;
    t.readBlock = 1000;
    t.writePause = 1;
    t.readPause = 1;
    return t;
}

std::vector<std::uint8_t> patternImage(unsigned seed) {
    std::vector<std::uint8_t> image(65536);
    std::uint32_t x = 2463534242u ^ seed;
    for (auto& b : image) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    return image;
}

} // namespace kvort::test
