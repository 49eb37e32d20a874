#include "link/CommPort.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kvort {

namespace detail {
bool setCustomBaud(int fd, int baud);
}

namespace {

constexpr int kBaudTable[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                              19200, 38400, 56000, 57600, 115200, 128000, 256000};
constexpr std::uint32_t kEventBits[] = {kEvBreak, kEvCts,    kEvDsr,    kEvErr,    kEvRing,
                                        kEvRlsd,  kEvRxChar, kEvRxFlag, kEvTxEmpty};

speed_t standardSpeed(int baud) {
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

void signalFd(int fd) {
    if (fd < 0)
        return;
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t r = ::write(fd, &one, sizeof one);
}

void drainFd(int fd) {
    std::uint64_t v;
    [[maybe_unused]] ssize_t r = ::read(fd, &v, sizeof v);
}

using namespace std::chrono_literals;

} // namespace

std::uint32_t TC32EventState::lineMask() const {
    std::uint32_t mask = 0;
    for (int e = evBreak; e <= evTxEmpty; ++e)
        if (contains(static_cast<TC32EventType>(e)))
            mask |= kEventBits[e];
    return mask;
}

int baudOf(TBaudRate rate) {
    int i = static_cast<int>(rate);
    return i >= 0 && i < static_cast<int>(std::size(kBaudTable)) ? kBaudTable[i] : 0;
}

TCustomCommPort::TCustomCommPort(QObject* parent)
    : QObject(parent), m_portMap(PortMap::fromEnvironment()) {}

TCustomCommPort::~TCustomCommPort() {
    closePort();
}

void TCustomCommPort::setBaudRate(TBaudRate rate) {
    m_baudRate = rate;
    if (m_open)
        applyLine();
}

void TCustomCommPort::setParity(TParity parity) {
    m_parity = parity;
    if (m_open)
        applyLine();
}

void TCustomCommPort::setStopbits(TStopbits stopbits) {
    m_stopbits = stopbits;
    if (m_open)
        applyLine();
}

void TCustomCommPort::setDatabits(int bits) {
    m_databits = bits;
    if (m_open)
        applyLine();
}

void TCustomCommPort::setBaud(int baud) {
    auto it = std::find(std::begin(kBaudTable), std::end(kBaudTable), baud);
    if (it != std::end(kBaudTable))
        setBaudRate(static_cast<TBaudRate>(it - std::begin(kBaudTable)));
}

void TCustomCommPort::setOpen(bool open) {
    if (open)
        openPort();
    else
        closePort();
}

void TCustomCommPort::setDtr(bool on) {
    m_dtr = on;
    if (m_open && m_hasModemLines) {
        int bit = TIOCM_DTR;
        ::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit);
    }
    if (OnDTRSignal && m_statusThread.joinable())
        OnDTRSignal(*this);
}

void TCustomCommPort::setRts(bool on) {
    m_rts = on;
    if (m_open && m_hasModemLines) {
        int bit = TIOCM_RTS;
        ::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit);
    }
}

std::uint32_t TCustomCommPort::receiveFill() const {
    std::lock_guard lk(m_rxLock);
    return m_rxFill;
}

std::uint32_t TCustomCommPort::transmitFill() const {
    std::lock_guard lk(m_txLock);
    return m_txFill;
}

void TCustomCommPort::applyLine() {
    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0)
        return;
    // Binary, no parity checking, no software flow control, no character
    // replacement: the panel's image bytes must pass untouched.
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
    tio.c_cflag |= CLOCAL | CREAD;
    // Output waits for CTS, and RTS follows the receiver, where the device
    // has the lines at all.
    if (m_hasModemLines)
        tio.c_cflag |= CRTSCTS;
    else
        tio.c_cflag &= ~CRTSCTS;
    tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (m_parity) {
    case paNone:
        break;
    case paOdd:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case paEven:
        tio.c_cflag |= PARENB;
        break;
    case paMark:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case paSpace:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
    }
    // POSIX knows no 1.5 stop bits; UARTs give 1.5 for CSTOPB with 5 data bits.
    if (m_stopbits == sb1_0)
        tio.c_cflag &= ~CSTOPB;
    else
        tio.c_cflag |= CSTOPB;
    tcflag_t size = 0;
    switch (m_databits) {
    case 5:
        size = CS5;
        break;
    case 6:
        size = CS6;
        break;
    case 7:
        size = CS7;
        break;
    case 8:
        size = CS8;
        break;
    default:
        size = tio.c_cflag & CSIZE;
        break; // a width the line cannot have: kept
    }
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | size;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    int baud = baudOf(m_baudRate);
    speed_t speed = standardSpeed(baud);
    if (speed != B0) {
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
    }
    ::tcsetattr(m_fd, TCSANOW, &tio);
    if (speed == B0 && baud != 0)
        detail::setCustomBaud(m_fd, baud);
}

bool TCustomCommPort::readModemLines() {
    int lines = 0;
    if (::ioctl(m_fd, TIOCMGET, &lines) != 0)
        return false;
    m_cts = (lines & TIOCM_CTS) != 0;
    m_dsr = (lines & TIOCM_DSR) != 0;
    m_rlsd = (lines & TIOCM_CD) != 0;
    return true;
}

void TCustomCommPort::openPort() {
    if (m_open)
        return;
    std::string path = m_portMap.path(m_comNumber);
    if (path.empty()) {
        m_lastOpenError = ENOENT;
        return;
    }
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_lastOpenError = errno;
        return;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        m_lastOpenError = errno;
        ::close(fd);
        return;
    }
    // TIOCEXCL keeps other programs out (root excepted); the flock keeps out
    // every other open that asks, root and our own probe included.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_lastOpenError = EBUSY;
        ::close(fd);
        return;
    }
    ::ioctl(fd, TIOCEXCL);
    m_txBuf.assign(static_cast<size_t>(std::max(m_outSize, 0)), 0);
    m_rxBuf.assign(m_inSize, 0);
    m_txFill = 0;
    m_rxFill = 0;
    m_fd = fd;
    m_openPath = path;
    m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_rxWakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_lineLost = false;
    m_errorBits = 0;
    int lines = 0;
    m_hasModemLines = ::ioctl(fd, TIOCMGET, &lines) == 0;
    applyLine();
    if (!m_hasModemLines || !readModemLines()) {
        m_cts = true;
        m_dsr = true;
    }
    m_activeMask = m_monitorEvents.lineMask();
    m_closing = false;
    ++m_generation;
    m_statusThread = std::thread([this] { statusWorker(); });
    m_readThread = std::thread([this] { receiveWorker(); });
    m_writeThread = std::thread([this] { transmitWorker(); });
    m_open = true;
    m_lastOpenError = 0;
    if (OnOpen)
        OnOpen(*this, 0);
    std::this_thread::sleep_for(100ms);
}

void TCustomCommPort::wakeAll() {
    signalFd(m_stopFd);
    signalFd(m_rxWakeFd);
    { std::lock_guard lk(m_txLock); }
    m_txWake.notify_all();
}

void TCustomCommPort::loseLine() {
    m_lineLost = true;
    signalFd(m_rxWakeFd);
    { std::lock_guard lk(m_txLock); }
    m_txWake.notify_all();
}

void TCustomCommPort::closePort() {
    m_closing = true;
    if (!m_open)
        return;
    m_ring = false;
    m_rlsd = false;
    PurgeOutput();
    PurgeInput();
    wakeAll();
    // Transmit, receive, status: the order in which nothing is left waiting.
    for (std::thread* t : {&m_writeThread, &m_readThread, &m_statusThread})
        if (t->joinable())
            t->join();
    // The exclusive flag belongs to the tty, not to our open: a device that
    // stays open elsewhere (a simulator's pseudo-terminal) would keep it.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
    ::close(m_stopFd);
    m_stopFd = -1;
    ::close(m_rxWakeFd);
    m_rxWakeFd = -1;
    m_openPath.clear();
    m_dtr = false;
    {
        std::lock_guard lk(m_txLock);
        m_txBuf = {};
        m_txFill = 0;
    }
    {
        std::lock_guard lk(m_rxLock);
        m_rxBuf = {};
        m_rxFill = 0;
    }
    std::this_thread::sleep_for(100ms);
    m_open = false;
}

int TCustomCommPort::WriteData(const std::uint8_t* data, int length) {
    if (!m_open || length <= 0)
        return 0;
    int taken = 0;
    {
        std::lock_guard lk(m_txLock);
        std::uint32_t room = static_cast<std::uint32_t>(m_txBuf.size()) - m_txFill;
        taken = static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(length), room));
        std::memcpy(m_txBuf.data() + m_txFill, data, static_cast<size_t>(taken));
        m_txFill += static_cast<std::uint32_t>(taken);
    }
    // Queued bytes leave at once rather than at the writer's next poll.
    m_txWake.notify_all();
    return taken;
}

int TCustomCommPort::ReadData(std::uint8_t* data, int length) {
    if (!m_open || length <= 0)
        return 0;
    bool wasFull = false;
    int n = 0;
    {
        std::lock_guard lk(m_rxLock);
        wasFull = m_rxFill >= m_rxBuf.size();
        n = static_cast<int>(std::min<std::uint32_t>(static_cast<std::uint32_t>(length), m_rxFill));
        std::memcpy(data, m_rxBuf.data(), static_cast<size_t>(n));
        std::memmove(m_rxBuf.data(), m_rxBuf.data() + n, m_rxFill - static_cast<std::uint32_t>(n));
        m_rxFill -= static_cast<std::uint32_t>(n);
    }
    if (wasFull && n > 0)
        signalFd(m_rxWakeFd); // the receiver stopped reading; let it resume now
    return n;
}

std::uint8_t TCustomCommPort::ReadByte() {
    std::uint8_t b = 0;
    if (receiveFill() >= 1)
        ReadData(&b, 1);
    return b;
}

void TCustomCommPort::PurgeInput() {
    if (m_open)
        ::tcflush(m_fd, TCIFLUSH);
    std::lock_guard lk(m_rxLock);
    m_rxFill = 0;
}

void TCustomCommPort::PurgeOutput() {
    if (m_open)
        ::tcflush(m_fd, TCOFLUSH);
    std::lock_guard lk(m_txLock);
    m_txFill = 0;
}

struct TCustomCommPort::HandOff {
    std::function<void()> fn;
    std::uint64_t generation = 0;
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
};

bool TCustomCommPort::runOnOwner(std::function<void()> fn) {
    if (QThread::currentThread() == thread()) {
        fn();
        return true;
    }
    auto handOff = std::make_shared<HandOff>();
    handOff->fn = std::move(fn);
    handOff->generation = m_generation;
    {
        std::lock_guard lk(m_handOffLock);
        m_handOffs.push_back(handOff);
    }
    QMetaObject::invokeMethod(this, "runHandOffs", Qt::QueuedConnection);
    std::unique_lock lk(handOff->m);
    while (!handOff->done) {
        if (m_closing)
            return false;
        handOff->cv.wait_for(lk, 10ms);
    }
    return true;
}

void TCustomCommPort::runHandOffs() {
    std::deque<std::shared_ptr<HandOff>> due;
    {
        std::lock_guard lk(m_handOffLock);
        due.swap(m_handOffs);
    }
    for (const auto& handOff : due) {
        // A hand-off that outlived its open is dropped.
        if (handOff->generation == m_generation && !m_closing)
            handOff->fn();
        {
            std::lock_guard lk(handOff->m);
            handOff->done = true;
        }
        handOff->cv.notify_all();
    }
}

void TCustomCommPort::dispatch(std::uint32_t bits) {
    std::int32_t errors = m_errorBits.exchange(0);
    if ((bits & kEvRlsd) && OnRLSDSignal)
        OnRLSDSignal(*this);
    if ((bits & kEvBreak) && OnBreakSignal)
        OnBreakSignal(*this);
    if ((bits & kEvCts) && OnCTSSignal)
        OnCTSSignal(*this);
    if ((bits & kEvDsr) && OnDSRSignal)
        OnDSRSignal(*this);
    if ((bits & kEvErr) && OnErrorSignal)
        OnErrorSignal(*this, errors);
    if ((bits & kEvRing) && OnRingSignal)
        OnRingSignal(*this);
    if ((bits & kEvTxEmpty) && OnTxEmptySignal)
        OnTxEmptySignal(*this);
}

void TCustomCommPort::statusWorker() {
    if (m_hasModemLines && readModemLines()) {
        int lines = 0;
        ::ioctl(m_fd, TIOCMGET, &lines);
        m_ring = (lines & TIOCM_RI) != 0;
        runOnOwner([this] { dispatch(kEvCts | kEvDsr | kEvRlsd | kEvRing); });
    } else {
        // No modem lines to ask: the line counts as ready.
        m_cts = true;
        m_dsr = true;
    }
    serial_icounter_struct last{};
    bool haveCounters = ::ioctl(m_fd, TIOCGICOUNT, &last) == 0;
    bool ringing = m_ring;
    bool transmitting = false;
    // The modem lines and the error counters are sampled; TIOCMIWAIT would
    // block where only a signal can end it, and a close must never wait.
    while (!m_closing && !m_lineLost) {
        pollfd fds[2] = {{m_stopFd, POLLIN, 0}, {m_fd, 0, 0}};
        int r = ::poll(fds, 2, 50);
        if (m_closing)
            break;
        std::uint32_t bits = 0;
        if (r > 0 && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            loseLine();
            break;
        }
        if (m_hasModemLines) {
            bool cts = m_cts, dsr = m_dsr, rlsd = m_rlsd;
            int lines = 0;
            if (::ioctl(m_fd, TIOCMGET, &lines) == 0) {
                m_cts = (lines & TIOCM_CTS) != 0;
                m_dsr = (lines & TIOCM_DSR) != 0;
                m_rlsd = (lines & TIOCM_CD) != 0;
                bool ri = (lines & TIOCM_RI) != 0;
                if (cts != m_cts)
                    bits |= kEvCts;
                if (dsr != m_dsr)
                    bits |= kEvDsr;
                if (rlsd != m_rlsd)
                    bits |= kEvRlsd;
                if (ri && !ringing)
                    bits |= kEvRing;
                ringing = ri;
            } else if (errno == EIO) {
                loseLine();
                break;
            }
        }
        if (haveCounters) {
            serial_icounter_struct now{};
            if (::ioctl(m_fd, TIOCGICOUNT, &now) == 0) {
                std::int32_t errors = 0;
                if (now.brk != last.brk) {
                    bits |= kEvBreak;
                    errors |= kCeBreak;
                }
                if (now.frame != last.frame)
                    errors |= kCeFrame;
                if (now.overrun != last.overrun)
                    errors |= kCeOverrun;
                if (now.parity != last.parity)
                    errors |= kCeRxParity;
                if (now.buf_overrun != last.buf_overrun)
                    errors |= kCeRxOver;
                if (errors & ~kCeBreak)
                    bits |= kEvErr;
                m_errorBits |= errors;
                last = now;
            }
        }
        int queued = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &queued) == 0) {
            bool busy = queued > 0 || transmitFill() > 0;
            if (transmitting && !busy)
                bits |= kEvTxEmpty;
            transmitting = busy;
        }
        if (bits & (kEvCts | kEvDsr)) {
            std::lock_guard lk(m_txLock);
            m_txWake.notify_all();
        }
        bits &= m_activeMask;
        if (bits == 0)
            continue;
        signalFd(m_rxWakeFd); // every line event wakes the receiver
        runOnOwner([this, bits] { dispatch(bits); });
    }
}

void TCustomCommPort::receiveWorker() {
    while (!m_closing) {
        bool room = receiveFill() < m_rxBuf.size();
        bool lost = m_lineLost;
        pollfd fds[3] = {{m_stopFd, POLLIN, 0},
                         {m_rxWakeFd, POLLIN, 0},
                         {m_fd, static_cast<short>(room ? POLLIN : 0), 0}};
        int r = ::poll(fds, lost ? 2 : 3, 500);
        if (m_closing)
            break;
        if (r > 0 && (fds[1].revents & POLLIN))
            drainFd(m_rxWakeFd);
        if (!lost && r > 0 && fds[2].revents != 0) {
            if (fds[2].revents & POLLIN) {
                std::lock_guard lk(m_rxLock);
                size_t space = m_rxBuf.size() - m_rxFill;
                ssize_t got = ::read(m_fd, m_rxBuf.data() + m_rxFill, space);
                // A raw line with no minimum reads 0 both when it was hung up
                // and when a purge emptied the queue after the poll; only the
                // hang-up is a lost line.
                const bool hungUp = (fds[2].revents & (POLLHUP | POLLERR)) != 0;
                if (got > 0)
                    m_rxFill = std::min<std::uint32_t>(m_rxFill + static_cast<std::uint32_t>(got),
                                                       static_cast<std::uint32_t>(m_rxBuf.size()));
                else if (got == 0 ? hungUp : (errno != EAGAIN && errno != EINTR))
                    loseLine();
            } else if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                loseLine();
            }
        }
        // OnTriggerAvail is the owner's to change: it is looked at there only.
        if (receiveFill() > 0)
            runOnOwner([this] {
                std::uint32_t fill = receiveFill();
                if (fill > 0 && OnTriggerAvail)
                    OnTriggerAvail(
                        *this, static_cast<std::uint16_t>(std::min<std::uint32_t>(fill, 0xFFFF)));
            });
        if (m_lineLost && receiveFill() == 0)
            break;
    }
}

void TCustomCommPort::transmitWorker() {
    while (true) {
        bool awaitRoom = false;
        {
            std::unique_lock lk(m_txLock);
            m_txWake.wait_for(
                lk, 100ms, [this] { return m_closing || m_lineLost || (m_txFill > 0 && m_cts); });
            if (m_closing || m_lineLost)
                break;
            if (m_txFill == 0 || !m_cts)
                continue;
            int queued = 0;
            ::ioctl(m_fd, TIOCOUTQ, &queued);
            std::uint32_t n = m_txFill;
            int room = static_cast<int>(m_txBuf.size()) - queued;
            if (room < static_cast<int>(n))
                n = static_cast<std::uint32_t>(std::max(room, 0));
            if (n == 0) {
                awaitRoom = true;
            } else {
                ssize_t sent = ::write(m_fd, m_txBuf.data(), n);
                if (sent > 0) {
                    std::memmove(m_txBuf.data(), m_txBuf.data() + sent,
                                 m_txFill - static_cast<std::uint32_t>(sent));
                    m_txFill -= static_cast<std::uint32_t>(sent);
                } else if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
                    awaitRoom = true;
                } else {
                    lk.unlock();
                    loseLine();
                    break;
                }
            }
        }
        if (awaitRoom) {
            // The driver's queue is full: wait for room, or the close.
            pollfd fds[2] = {{m_stopFd, POLLIN, 0}, {m_fd, POLLOUT, 0}};
            ::poll(fds, 2, 10);
            if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                loseLine();
                break;
            }
            if (fds[1].revents & POLLOUT)
                std::this_thread::sleep_for(2ms); // room by bytes, not by the queue limit
        }
    }
}

} // namespace kvort
