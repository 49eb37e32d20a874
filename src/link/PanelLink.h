#pragma once
// The byte exchange with the ПУ-П: the search on COM1..COM10, the block
// write and the block read, each wait with its time-out. There is no header,
// length or checksum on the line: block numbers are implied by their order,
// and the panel's only words are "Y" (series F/H) and "I" (series I).
//
// Waits run a local event loop, so the window keeps painting and the port's
// hand-offs keep arriving; the data handler and the timer end a wait only
// through the done and timed-out flags.
#include "link/CommPort.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>

class QEventLoop;

namespace kvort {

inline constexpr int kPanelImageBytes = 65536;

// Bytes one transfer may see that are no reply of the panel: line noise, a
// reply too many. A real panel sends exactly one letter per write block; a
// lone noise byte is forgiven, a line that keeps talking is no panel.
inline constexpr int kStrayByteBudget = 4;

enum class TransferDirection { Write = 0, Read = 1 };

// Waits and pauses, in milliseconds, as the panel expects them.
struct LinkTimings {
    int writeSearchReply = 500;
    int readSearchBlock = 1500;
    int writeReply = 1500;
    int readBlock = 2000;
    int writePause = 50;
    int readPause = 100;
    // How long the line must stay quiet before a first block of 64 or 256
    // bytes is believed: a 256-byte block passes through 64 on its way.
    int searchSettle = 100;
};

class PanelLink : public QObject {
    Q_OBJECT
  public:
    // image: the 65536-byte buffer the blocks come from and go to.
    // BlockSize (64 or 256) and DeviceSeries (0 = F/H, reply "Y"; 1 = I,
    // reply "I"; -1 = not reported yet) are the window's, kept between
    // transfers; the link sets them as the panel answers.
    PanelLink(TCommPort& port, std::uint8_t* image, int& BlockSize, int& DeviceSeries,
              QObject* parent = nullptr);
    ~PanelLink() override;

    int blockSize() const { return m_blockSize; }
    int deviceSeries() const { return m_deviceSeries; }
    void setDeviceSeries(int series) { m_deviceSeries = series; }
    std::uint8_t* image() { return m_image; }
    void setTimings(const LinkTimings& t) { m_timings = t; }
    const LinkTimings& timings() const { return m_timings; }
    TransferDirection direction() const { return m_direction; }
    void setDirection(TransferDirection d) { m_direction = d; }
    // Called with each port number the search takes (after its probe).
    std::function<void(int comNumber)> onPortTried;

    // Probes COM1..COM10 and moves block 0 (write: bytes 0..63, then 64..255
    // when the panel keeps silent; read: one request). Sets BlockSize. Not
    // found leaves the port open on the last number it took.
    bool search(TransferDirection direction);

    int blockCount() const { return kPanelImageBytes / m_blockSize; }
    // Sends block b and waits for its reply, the letter the search found;
    // false when none came in time, the letter changed, or the transfer has
    // seen more than kStrayByteBudget stray bytes. Nothing is sent then.
    bool writeBlock(int b);
    // Requests block b and takes it into the image; false when no block of
    // exactly BlockSize bytes came in time.
    bool readBlock(int b);
    // A wait with no reply expected (a reply arriving in it ends it early).
    void pause(int ms);
    // Bytes the panel sent beyond the last block taken: that block was longer
    // than BlockSize, so it cannot be trusted.
    bool strayBytes() const { return m_port.receiveFill() > 0; }
    // The line broke the write's rules (too many stray bytes, another
    // letter): the transfer on this port is over.
    bool lineBroken() const { return m_broken; }

    // Progress bar position after block b: b / 10 for 64-byte blocks, b / 2.5
    // for 256-byte blocks, halves to the even neighbour. The last blocks give
    // 102; the bar's range is 0..100.
    static int progressPosition(int b, int blockSize);

  private:
    bool wait(int timeoutMs);
    bool awaitReply(int timeoutMs);
    void finishWait(bool timedOut);
    void onTriggerAvail(std::uint16_t count);
    void onSettled();
    void beginTransfer(); // a port was opened by the search
    void takeReplyBytes();
    void countStray();
    void breakLine();

    TCommPort& m_port;
    std::uint8_t* m_image;
    int& m_blockSize;
    int& m_deviceSeries;
    LinkTimings m_timings;
    TransferDirection m_direction = TransferDirection::Write;
    bool m_searching = false;
    bool m_done = false;
    bool m_timedOut = false;
    // Write: the letter this transfer's search found (0 before), whether a
    // reply is awaited now, the stray bytes seen. Strays and a broken line
    // are counted in both directions.
    std::uint8_t m_reply = 0;
    bool m_awaitingReply = false;
    int m_strays = 0;
    bool m_broken = false;
    QTimer m_timer;
    QTimer m_settle;
    QEventLoop* m_loop = nullptr;
};

} // namespace kvort
