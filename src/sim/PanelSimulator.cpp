#include "sim/PanelSimulator.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace kvort::sim {

namespace {

constexpr std::uint8_t kReadRequest = 0xAA;
constexpr std::uint8_t kStrayByte = 0x3F; // neither "Y" nor "I"
constexpr std::uint8_t kExtraByte = 0x00;
// A program waits at most 2 s for a block; longer silence in the middle of
// a transfer means it gave up, and a serving panel starts over.
constexpr int kServeIdleMs = 3000;
constexpr int kLingerMs = 2000;
// The same noise every run: a failure can be replayed.
constexpr std::uint32_t kNoiseSeed = 0x4B564E31;

struct FaultNameRow {
    SimFault fault;
    std::string_view name;
};
constexpr FaultNameRow kFaultNames[] = {
    {SimFault::None, "none"},        {SimFault::Silent, "silent"},  {SimFault::Garbage, "garbage"},
    {SimFault::ShortBlock, "short"}, {SimFault::LongBlock, "long"}, {SimFault::HangUp, "hangup"},
    {SimFault::SlowReply, "slow"},   {SimFault::Noise, "noise"},
};

std::runtime_error sysError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

std::string_view faultName(SimFault f) {
    for (const auto& row : kFaultNames)
        if (row.fault == f)
            return row.name;
    return "?";
}

std::optional<SimFault> faultFromName(std::string_view name) {
    for (const auto& row : kFaultNames)
        if (row.name == name)
            return row.fault;
    return std::nullopt;
}

bool faultApplies(SimFault f, SimMode mode) {
    if (f == SimFault::ShortBlock || f == SimFault::LongBlock)
        return mode == SimMode::Read;
    return true;
}

PanelSimulator::PanelSimulator(SimOptions options) : m_opt(std::move(options)) {
    if (m_opt.blockSize != 64 && m_opt.blockSize != 256)
        throw std::runtime_error("block size must be 64 or 256");
    if (!faultApplies(m_opt.fault, m_opt.mode))
        throw std::runtime_error("short and long blocks exist only in read mode");
    if (m_opt.faultBlock < 0 || m_opt.faultBlock >= kImageBytes / m_opt.blockSize)
        throw std::runtime_error("fault block outside the image");
    if (m_opt.mode == SimMode::Read && m_opt.image.size() < static_cast<size_t>(kImageBytes))
        throw std::runtime_error("read mode needs an image of 65536 bytes");
    if (m_opt.baud <= 0)
        throw std::runtime_error("baud rate must be positive");
    // 10 bits a byte: start, 8 data, stop.
    m_byteTime = std::chrono::nanoseconds(10'000'000'000LL / m_opt.baud);

    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        throw sysError("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        ::close(m_master);
        throw sysError("grantpt/unlockpt");
    }
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        ::close(m_master);
        throw sysError("ptsname");
    }
    m_slavePath = name;
    m_slaveHold = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slaveHold < 0) {
        ::close(m_master);
        throw sysError(std::string("open ") + name);
    }
    // Raw from the start: an echoing slave would hand our own bytes back.
    termios tio{};
    ::tcgetattr(m_slaveHold, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slaveHold, TCSANOW, &tio);
    m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (!m_opt.linkPath.empty()) {
        ::unlink(m_opt.linkPath.c_str());
        if (::symlink(name, m_opt.linkPath.c_str()) != 0) {
            int e = errno;
            ::close(m_slaveHold);
            ::close(m_master);
            ::close(m_stopFd);
            errno = e;
            throw sysError("symlink " + m_opt.linkPath);
        }
    }
}

PanelSimulator::~PanelSimulator() {
    if (!m_opt.linkPath.empty())
        ::unlink(m_opt.linkPath.c_str());
    for (int fd : {m_master, m_slaveHold, m_stopFd})
        if (fd >= 0)
            ::close(fd);
}

std::string PanelSimulator::devicePath() const {
    return m_opt.linkPath.empty() ? m_slavePath : m_opt.linkPath;
}

void PanelSimulator::stop() {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t r = ::write(m_stopFd, &one, sizeof one);
}

std::optional<std::uint8_t> PanelSimulator::nextByte(int idleMs, bool* idle) {
    *idle = false;
    while (m_pendingPos >= m_pending.size()) {
        if (m_master < 0)
            return std::nullopt;
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        int r = ::poll(fds, 2, idleMs > 0 ? idleMs : -1);
        if (r < 0 && errno == EINTR)
            continue;
        if (r == 0) {
            *idle = true;
            return std::nullopt;
        }
        if (fds[1].revents != 0)
            return std::nullopt;
        std::uint8_t buf[4096];
        ssize_t got = ::read(m_master, buf, sizeof buf);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0)
            return std::nullopt;
        m_pending.assign(buf, buf + got);
        m_pendingPos = 0;
        m_rxClock = std::max(m_rxClock, Clock::now());
    }
    // A UART takes one byte per frame, however fast the program hands them over.
    m_rxClock += m_byteTime;
    return m_pending[m_pendingPos++];
}

void PanelSimulator::send(const std::uint8_t* data, size_t n) {
    if (m_master < 0)
        return;
    if (m_opt.pacing) {
        std::this_thread::sleep_until(m_rxClock); // the request has to arrive first
        m_txClock = std::max(m_txClock, Clock::now());
        for (size_t i = 0; i < n; ++i) {
            m_txClock += m_byteTime;
            std::this_thread::sleep_until(m_txClock);
            if (::write(m_master, data + i, 1) != 1)
                return;
        }
        return;
    }
    size_t done = 0;
    while (done < n) {
        ssize_t w = ::write(m_master, data + done, n - done);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return;
        done += static_cast<size_t>(w);
    }
}

void PanelSimulator::hangUp() {
    // Closing the master hangs up every open of the slave, as a pulled
    // adapter does.
    ::close(m_master);
    m_master = -1;
    ::close(m_slaveHold);
    m_slaveHold = -1;
}

bool PanelSimulator::faultAt(SimFault f, int block) const {
    if (m_opt.fault != f)
        return false;
    if (f == SimFault::Silent || f == SimFault::Noise)
        return block >= m_opt.faultBlock;
    return block == m_opt.faultBlock;
}

SimOutcome PanelSimulator::run() {
    SimOutcome outcome = m_opt.mode == SimMode::Write ? runWrite() : runRead();
    if (outcome == SimOutcome::Completed)
        linger();
    return outcome;
}

void PanelSimulator::linger() {
    // Closing the master now would hang up the program's side and flush the
    // last answer before it was read. Wait for the program to close the
    // device (the master then reports a hang-up), but not for ever: a window
    // keeps its port open after a transfer.
    if (m_master < 0)
        return;
    ::close(m_slaveHold);
    m_slaveHold = -1;
    pollfd fds[2] = {{m_master, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
    auto end = Clock::now() + std::chrono::milliseconds(kLingerMs);
    while (Clock::now() < end) {
        int left = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
        if (::poll(fds, 2, std::max(left, 1)) <= 0 || fds[1].revents != 0)
            return;
        if (fds[0].revents & POLLHUP)
            return;
        std::uint8_t buf[256];
        if (::read(m_master, buf, sizeof buf) < 0 && errno != EAGAIN && errno != EINTR)
            return;
    }
}

SimOutcome PanelSimulator::streamNoise() {
    // A line with something else on it: random bytes at the line rate, paced
    // or not, whatever the program sends (taken and dropped), until stopped.
    // Bytes the program's side has no room for are lost, as on a wire.
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    std::uint32_t x = kNoiseSeed;
    Clock::time_point due = Clock::now();
    while (true) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        if (::poll(fds, 2, 1) < 0 && errno != EINTR)
            return SimOutcome::Stopped;
        if (fds[1].revents != 0)
            return SimOutcome::Stopped;
        if (fds[0].revents & POLLIN) {
            std::uint8_t sink[4096];
            [[maybe_unused]] ssize_t got = ::read(m_master, sink, sizeof sink);
        }
        std::uint8_t out[256];
        size_t n = 0;
        const Clock::time_point now = Clock::now();
        for (; due <= now && n < sizeof out; ++n) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            out[n] = static_cast<std::uint8_t>(x >> 24);
            due += m_byteTime;
        }
        due = std::max(due, now); // a line does not catch up on lost time
        if (n > 0) {
            [[maybe_unused]] ssize_t w = ::write(m_master, out, n);
        }
    }
}

SimOutcome PanelSimulator::runWrite() {
    const int bs = m_opt.blockSize;
    const int blocks = kImageBytes / bs;
    const std::uint8_t reply = m_opt.series == SimSeries::I ? 'I' : 'Y';
    do {
        m_received.clear();
        m_blocksDone = 0;
        int block = 0;
        int pos = 0;
        while (block < blocks) {
            bool idle = false;
            std::optional<std::uint8_t> b = nextByte(m_opt.serve ? kServeIdleMs : 0, &idle);
            if (!b) {
                if (!idle)
                    return SimOutcome::Stopped;
                // A block left half-sent will never be finished.
                m_received.resize(static_cast<size_t>(block) * bs);
                pos = 0;
                continue;
            }
            m_received.push_back(*b);
            if (++pos < bs)
                continue;
            pos = 0;
            int done = block++;
            m_blocksDone = block;
            // A panel of 256-byte blocks says nothing after the first 64
            // bytes; it just goes on counting.
            if (faultAt(SimFault::HangUp, done)) {
                hangUp();
                return SimOutcome::HungUp;
            }
            if (faultAt(SimFault::Silent, done))
                continue;
            if (faultAt(SimFault::Noise, done))
                return streamNoise();
            std::this_thread::sleep_until(m_opt.pacing ? m_rxClock : Clock::now());
            if (faultAt(SimFault::SlowReply, done))
                std::this_thread::sleep_for(std::chrono::milliseconds(m_opt.slowMs));
            if (faultAt(SimFault::Garbage, done))
                send(&kStrayByte, 1);
            send(&reply, 1);
        }
        ++m_transfersDone;
        if (m_opt.onTransfer)
            m_opt.onTransfer(*this);
    } while (m_opt.serve);
    return SimOutcome::Completed;
}

SimOutcome PanelSimulator::runRead() {
    const int bs = m_opt.blockSize;
    const int blocks = kImageBytes / bs;
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<size_t>(bs) + 2);
    do {
        m_blocksDone = 0;
        int block = 0;
        while (block < blocks) {
            bool idle = false;
            std::optional<std::uint8_t> b = nextByte(m_opt.serve ? kServeIdleMs : 0, &idle);
            if (!b) {
                if (!idle)
                    return SimOutcome::Stopped;
                block = 0; // the program gave up; its next search starts afresh
                continue;
            }
            if (*b != kReadRequest)
                continue;
            if (faultAt(SimFault::HangUp, block)) {
                hangUp();
                return SimOutcome::HungUp;
            }
            if (faultAt(SimFault::Silent, block))
                continue;
            if (faultAt(SimFault::Noise, block))
                return streamNoise();
            if (faultAt(SimFault::SlowReply, block))
                std::this_thread::sleep_for(std::chrono::milliseconds(m_opt.slowMs));
            const std::uint8_t* data = m_opt.image.data() + static_cast<size_t>(block) * bs;
            out.clear();
            if (faultAt(SimFault::Garbage, block))
                out.push_back(kStrayByte);
            out.insert(out.end(), data, data + bs);
            if (faultAt(SimFault::ShortBlock, block))
                out.pop_back();
            if (faultAt(SimFault::LongBlock, block))
                out.push_back(kExtraByte);
            send(out.data(), out.size());
            m_blocksDone = ++block;
        }
        ++m_transfersDone;
        if (m_opt.onTransfer)
            m_opt.onTransfer(*this);
    } while (m_opt.serve);
    return SimOutcome::Completed;
}

} // namespace kvort::sim
