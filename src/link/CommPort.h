#pragma once
// TCommPort: one serial device, two in-memory buffers and three workers.
//
// The owner never blocks on the line: it queues bytes with WriteData, takes
// them with ReadData and hears of received bytes through OnTriggerAvail. The
// workers (status, receive, transmit) hand every event to the thread that
// owns the port and wait until it has run there, so the owner's code never
// runs concurrently with itself. That thread must keep its event loop
// running while it waits for data.
//
// On Linux the line is a termios device opened exclusively (TIOCEXCL plus an
// flock). Devices without modem lines (pseudo-terminals, adapters whose
// driver has no TIOCMGET) count as CTS and DSR asserted. A device that
// vanishes ends the workers; to the owner it then looks like a silent line.
#include "link/PortMap.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kvort {

// Ordinals are stored and passed as numbers: keep the order.
enum TBaudRate {
    cbr110,
    cbr300,
    cbr600,
    cbr1200,
    cbr2400,
    cbr4800,
    cbr9600,
    cbr14400,
    cbr19200,
    cbr38400,
    cbr56000,
    cbr57600,
    cbr115200,
    cbr128000,
    cbr256000
};
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits { sb1_0, sb1_5, sb2_0 };
enum TC32EventType {
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRing,
    evRlsd,
    evRxChar,
    evRxFlag,
    evTxEmpty
};

// A set of TC32EventType, one bit per ordinal.
class TC32EventState {
  public:
    constexpr TC32EventState() = default;
    constexpr TC32EventState(std::initializer_list<TC32EventType> events) {
        for (TC32EventType e : events)
            m_bits |= 1u << e;
    }
    static constexpr TC32EventState all() {
        TC32EventState s;
        s.m_bits = 0x1FF;
        return s;
    }
    constexpr bool contains(TC32EventType e) const { return (m_bits >> e) & 1u; }
    constexpr bool operator==(const TC32EventState&) const = default;
    // The line-event bits of the members (evBreak 0x40, evCTS 0x08, ...).
    std::uint32_t lineMask() const;

  private:
    std::uint32_t m_bits = 0;
};

// Line-event bits as the dispatch sees them.
inline constexpr std::uint32_t kEvRxChar = 0x01, kEvRxFlag = 0x02, kEvTxEmpty = 0x04, kEvCts = 0x08,
                               kEvDsr = 0x10, kEvRlsd = 0x20, kEvBreak = 0x40, kEvErr = 0x80,
                               kEvRing = 0x100;
// Error bits given to OnErrorSignal.
inline constexpr std::int32_t kCeRxOver = 0x01, kCeOverrun = 0x02, kCeRxParity = 0x04,
                              kCeFrame = 0x08, kCeBreak = 0x10;

int baudOf(TBaudRate rate); // 0 for an ordinal outside the table

class TCustomCommPort;
using TNotifyEvent = std::function<void(TCustomCommPort& sender)>;
using TTriggerAvailEvent = std::function<void(TCustomCommPort& sender, std::uint16_t count)>;
using TC32ErrorEvent = std::function<void(TCustomCommPort& sender, std::int32_t errors)>;
using TC32OpenEvent = std::function<void(TCustomCommPort& sender, std::int32_t error)>;

class TCustomCommPort : public QObject {
    Q_OBJECT
  public:
    explicit TCustomCommPort(QObject* parent = nullptr);
    ~TCustomCommPort() override;
    TCustomCommPort(const TCustomCommPort&) = delete;
    TCustomCommPort& operator=(const TCustomCommPort&) = delete;

    // Which device COMn means. The port keeps a copy; the default is the
    // environment's map (KVORT_PORTS or the serial devices present).
    void setPortMap(PortMap map) { m_portMap = std::move(map); }
    const PortMap& portMap() const { return m_portMap; }

    int comNumber() const { return m_comNumber; }
    void setComNumber(int n) { m_comNumber = n; }
    TBaudRate baudRate() const { return m_baudRate; }
    void setBaudRate(TBaudRate rate);
    TParity parity() const { return m_parity; }
    void setParity(TParity parity);
    TStopbits stopbits() const { return m_stopbits; }
    void setStopbits(TStopbits stopbits);
    int databits() const { return m_databits; }
    void setDatabits(int bits);
    std::uint32_t inSize() const { return m_inSize; }
    void setInSize(std::uint32_t n) { m_inSize = n; }
    int outSize() const { return m_outSize; }
    void setOutSize(int n) { m_outSize = n; }
    bool isOpen() const { return m_open; }
    void setOpen(bool open);
    bool dtr() const { return m_dtr; }
    void setDtr(bool on);
    bool rts() const { return m_rts; }
    void setRts(bool on);
    int baud() const { return baudOf(m_baudRate); }
    void setBaud(int baud);
    TC32EventState monitorEvents() const { return m_monitorEvents; }
    void setMonitorEvents(TC32EventState events) { m_monitorEvents = events; }

    // Line-status flags as the status worker last saw them.
    bool cts() const { return m_cts; }
    bool dsr() const { return m_dsr; }
    bool rlsd() const { return m_rlsd; }
    bool ring() const { return m_ring; }
    // The device path of the open port ("" when closed).
    std::string devicePath() const { return m_openPath; }
    // The errno of the last failed open, 0 after a successful one.
    int lastOpenError() const { return m_lastOpenError; }
    // Bytes waiting in each buffer (under their locks).
    std::uint32_t receiveFill() const;
    std::uint32_t transmitFill() const;

    int WriteData(const std::uint8_t* data, int length);
    int WriteByte(std::uint8_t b) { return WriteData(&b, 1); }
    int ReadData(std::uint8_t* data, int length);
    std::uint8_t ReadByte();
    void PurgeInput();
    void PurgeOutput();

    TC32OpenEvent OnOpen;
    TNotifyEvent OnBreakSignal, OnCTSSignal, OnDSRSignal;
    TC32ErrorEvent OnErrorSignal;
    TNotifyEvent OnRingSignal, OnRLSDSignal;
    TTriggerAvailEvent OnTriggerAvail;
    // OnRxDSignal and OnTxDSignal exist for callers that assign them; they never fire.
    TNotifyEvent OnTxEmptySignal, OnDTRSignal, OnRxDSignal, OnTxDSignal;

  private:
    void openPort();
    void closePort();
    void applyLine(); // writes every line setting to an open device
    void statusWorker();
    void receiveWorker();
    void transmitWorker();
    // Reads the modem lines into the flags; false when the device has none.
    bool readModemLines();
    // Runs fn on the owner's thread and waits for it; gives up (false) when
    // the port starts closing, so a close never waits on a worker that
    // waits on the owner.
    bool runOnOwner(std::function<void()> fn);
    // Runs the hand-offs queued so far; reached from a worker by a queued
    // call by name, so that everything a hand-off carries crosses threads
    // through m_handOffLock, not through Qt's event queue.
    Q_INVOKABLE void runHandOffs();
    void dispatch(std::uint32_t eventBits);
    void wakeAll();
    void loseLine(); // the device vanished: the workers end, the line goes silent

    PortMap m_portMap;
    int m_comNumber = 2;
    TBaudRate m_baudRate = cbr19200;
    TParity m_parity = paNone;
    TStopbits m_stopbits = sb1_0;
    int m_databits = 8;
    std::uint32_t m_inSize = 2048;
    int m_outSize = 4096;
    bool m_open = false;
    bool m_dtr = false;
    bool m_rts = false;
    TC32EventState m_monitorEvents = TC32EventState::all();

    int m_fd = -1;
    int m_stopFd = -1;              // eventfd: readable once the port starts closing
    int m_rxWakeFd = -1;            // eventfd: the receive wake-up
    std::uint32_t m_activeMask = 0; // MonitorEvents as taken at open
    std::string m_openPath;
    int m_lastOpenError = 0;
    std::uint64_t m_generation = 0; // hand-offs of an earlier open are dropped
    std::atomic<bool> m_closing{true};
    std::atomic<bool> m_lineLost{false};
    std::atomic<bool> m_cts{false}, m_dsr{false}, m_rlsd{false}, m_ring{false};
    std::atomic<bool> m_hasModemLines{false};
    std::atomic<std::int32_t> m_errorBits{0};

    mutable std::mutex m_txLock;
    std::condition_variable m_txWake;
    std::vector<std::uint8_t> m_txBuf;
    std::uint32_t m_txFill = 0;

    mutable std::mutex m_rxLock;
    std::vector<std::uint8_t> m_rxBuf;
    std::uint32_t m_rxFill = 0;

    struct HandOff;
    std::mutex m_handOffLock;
    std::deque<std::shared_ptr<HandOff>> m_handOffs;

    std::thread m_statusThread, m_readThread, m_writeThread;
};

class TCommPort : public TCustomCommPort {
    Q_OBJECT
  public:
    using TCustomCommPort::TCustomCommPort;
};

} // namespace kvort
