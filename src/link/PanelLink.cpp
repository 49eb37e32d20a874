#include "link/PanelLink.h"

#include <QEventLoop>

namespace kvort {

namespace {
constexpr std::uint8_t kReadRequest = 0xAA;
constexpr std::uint8_t kReplyFH = 'Y';
constexpr std::uint8_t kReplyI = 'I';
} // namespace

PanelLink::PanelLink(TCommPort& port, std::uint8_t* image, int& BlockSize, int& DeviceSeries,
                     QObject* parent)
    : QObject(parent), m_port(port), m_image(image), m_blockSize(BlockSize),
      m_deviceSeries(DeviceSeries) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { finishWait(true); });
    m_settle.setSingleShot(true);
    m_settle.setTimerType(Qt::PreciseTimer);
    connect(&m_settle, &QTimer::timeout, this, [this] { onSettled(); });
    m_port.OnTriggerAvail = [this](TCustomCommPort&, std::uint16_t count) {
        onTriggerAvail(count);
    };
}

PanelLink::~PanelLink() {
    m_port.OnTriggerAvail = nullptr;
}

int PanelLink::progressPosition(int b, int blockSize) {
    // b / (640 / blockSize): 64 -> b / 10, 256 -> b / 2.5; exact in integers.
    long num = static_cast<long>(b) * blockSize;
    long q = num / 640, r = num % 640;
    if (r * 2 > 640 || (r * 2 == 640 && q % 2 == 1))
        ++q;
    return static_cast<int>(q);
}

void PanelLink::finishWait(bool timedOut) {
    m_timer.stop();
    m_settle.stop();
    if (timedOut)
        m_timedOut = true;
    m_done = true;
    if (m_loop != nullptr)
        m_loop->quit();
}

bool PanelLink::wait(int timeoutMs) {
    m_done = false;
    m_timedOut = false;
    if (m_broken)
        return false;
    m_timer.start(timeoutMs);
    QEventLoop loop;
    m_loop = &loop;
    while (!m_done)
        loop.exec();
    m_loop = nullptr;
    return !m_timedOut && !m_broken;
}

void PanelLink::pause(int ms) {
    wait(ms);
}

void PanelLink::beginTransfer() {
    m_reply = 0;
    m_awaitingReply = false;
    m_strays = 0;
    m_broken = false;
}

void PanelLink::breakLine() {
    m_broken = true;
    m_awaitingReply = false;
    finishWait(true);
}

void PanelLink::countStray() {
    if (++m_strays > kStrayByteBudget)
        breakLine();
}

void PanelLink::takeReplyBytes() {
    // The panel sends one letter per block, after the block. Any other byte,
    // and a letter nobody waits for, is a stray; another letter than the
    // search found means whatever answers is not that panel.
    while (!m_broken && m_port.receiveFill() > 0) {
        std::uint8_t b = m_port.ReadByte();
        const bool letter = b == kReplyFH || b == kReplyI;
        if (letter && m_reply != 0 && b != m_reply) {
            breakLine();
        } else if (letter && m_awaitingReply) {
            if (m_reply == 0) {
                m_reply = b;
                m_deviceSeries = b == kReplyI ? 1 : 0;
            }
            m_awaitingReply = false;
            finishWait(false);
        } else {
            countStray();
        }
    }
}

void PanelLink::onTriggerAvail(std::uint16_t count) {
    if (m_direction == TransferDirection::Read) {
        if (m_searching) {
            // Believe 64 or 256 only once the line has stayed quiet. More
            // than the larger block and the strays allowed can never be one.
            if (count > 256 + kStrayByteBudget)
                breakLine();
            else if (count == 64 || count == 256)
                m_settle.start(m_timings.searchSettle);
            else
                m_settle.stop();
            return;
        }
        if (count == m_blockSize)
            finishWait(false);
        return;
    }
    takeReplyBytes();
}

void PanelLink::onSettled() {
    std::uint32_t fill = m_port.receiveFill();
    if (m_searching && (fill == 64 || fill == 256)) {
        m_blockSize = static_cast<int>(fill);
        finishWait(false);
    }
}

bool PanelLink::search(TransferDirection direction) {
    m_direction = direction;
    m_blockSize = 64;
    for (int i = 1; i <= PortMap::kPorts; ++i) {
        // The device itself decides, not its number: the map may have been
        // renumbered since the port was opened, and our own open fails the probe.
        const std::string path = m_port.portMap().path(i);
        bool ours = m_port.isOpen() && !path.empty() && m_port.devicePath() == path;
        if (probePort(path) != ProbeResult::Ok && !ours)
            continue;
        if (onPortTried)
            onPortTried(i);
        m_port.setOpen(false);
        m_port.setComNumber(i);
        m_port.setDtr(true);
        m_port.setRts(true);
        m_port.setOpen(true);
        beginTransfer();
        if (direction == TransferDirection::Write) {
            for (int k = 0; k < 64; ++k)
                m_port.WriteByte(m_image[k]);
            if (awaitReply(m_timings.writeSearchReply))
                return true;
            if (m_broken)
                continue; // a line that talks this much is no panel
            for (int k = 64; k < 256; ++k)
                m_port.WriteByte(m_image[k]);
            if (awaitReply(m_timings.writeSearchReply)) {
                m_blockSize = 256;
                return true;
            }
        } else {
            m_port.WriteByte(kReadRequest);
            m_searching = true;
            bool answered = wait(m_timings.readSearchBlock);
            m_searching = false;
            if (answered) {
                for (int k = 0; k < m_blockSize; ++k)
                    m_image[k] = m_port.ReadByte();
                return true;
            }
        }
    }
    return false;
}

bool PanelLink::awaitReply(int timeoutMs) {
    m_awaitingReply = true;
    bool answered = wait(timeoutMs);
    m_awaitingReply = false;
    return answered;
}

bool PanelLink::writeBlock(int b) {
    // Whatever came since the last reply came before this block: it cannot
    // be this block's reply.
    takeReplyBytes();
    if (m_broken)
        return false;
    const std::uint8_t* block = m_image + static_cast<long>(b) * m_blockSize;
    for (int k = 0; k < m_blockSize; ++k)
        m_port.WriteByte(block[k]);
    return awaitReply(m_timings.writeReply);
}

bool PanelLink::readBlock(int b) {
    m_port.WriteByte(kReadRequest);
    if (!wait(m_timings.readBlock))
        return false;
    std::uint8_t* block = m_image + static_cast<long>(b) * m_blockSize;
    for (int k = 0; k < m_blockSize; ++k)
        block[k] = m_port.ReadByte();
    return true;
}

} // namespace kvort
