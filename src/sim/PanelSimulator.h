#pragma once
// A ПУ-П on a pseudo-terminal, for tests and demonstrations without the
// hardware. The panel is in one of its two transfer modes: configuration
// write (it takes blocks and answers each with "Y" or "I") or configuration
// read (it answers each request byte 0xAA with the next block of its image).
// Bytes are paced at the line rate unless pacing is off. Faults are named so
// that tests can loop over every one of them.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvort::sim {

inline constexpr int kImageBytes = 65536;

enum class SimMode { Write, Read };
enum class SimSeries { FH, I };

enum class SimFault {
    None,
    Silent,     ///< no answer to block N and every block after it
    Garbage,    ///< one stray byte before the answer to block N
    ShortBlock, ///< block N sent one byte short (read mode)
    LongBlock,  ///< block N sent one byte long (read mode)
    HangUp,     ///< the line is hung up when block N is due
    SlowReply,  ///< the answer to block N comes after slowMs
    Noise,      ///< from block N on, random bytes at the line rate until stopped
};
inline constexpr SimFault kAllFaults[] = {
    SimFault::None,      SimFault::Silent, SimFault::Garbage,   SimFault::ShortBlock,
    SimFault::LongBlock, SimFault::HangUp, SimFault::SlowReply, SimFault::Noise};

std::string_view faultName(SimFault f);
std::optional<SimFault> faultFromName(std::string_view name);
// Short and long blocks only exist where the panel sends blocks.
bool faultApplies(SimFault f, SimMode mode);

class PanelSimulator;

struct SimOptions {
    SimMode mode = SimMode::Write;
    SimSeries series = SimSeries::FH;
    int blockSize = 64; // 64 or 256
    bool pacing = true;
    int baud = 38400;
    SimFault fault = SimFault::None;
    int faultBlock = 0;
    int slowMs = 0;
    std::vector<std::uint8_t> image; // read mode: the image served (65536 bytes)
    std::string linkPath;            // a symlink to the slave device, when not empty
    bool serve = false;              // run transfer after transfer until stopped
    // Called after each completed transfer (write mode: received() is whole).
    std::function<void(const PanelSimulator&)> onTransfer;
};

enum class SimOutcome {
    Completed, ///< every block moved
    Stopped,   ///< stop() was called
    HungUp,    ///< the HangUp fault ended the line
};

// Throws std::runtime_error for options that make no panel, and when the
// pseudo-terminal or the link cannot be made.
class PanelSimulator {
  public:
    explicit PanelSimulator(SimOptions options);
    ~PanelSimulator();
    PanelSimulator(const PanelSimulator&) = delete;
    PanelSimulator& operator=(const PanelSimulator&) = delete;

    // The slave device a program opens (the link path when one was asked for).
    std::string devicePath() const;
    std::string slavePath() const { return m_slavePath; }

    // One transfer (or, with serve, transfers until stop()).
    SimOutcome run();
    // Safe from another thread and from a signal handler.
    void stop();

    // Write mode: the bytes taken so far, image offset 0 first.
    const std::vector<std::uint8_t>& received() const { return m_received; }
    int blocksDone() const { return m_blocksDone.load(); }
    int transfersDone() const { return m_transfersDone.load(); }

  private:
    using Clock = std::chrono::steady_clock;
    // Next byte from the line, or nullopt on stop (or on idle after idleMs > 0).
    std::optional<std::uint8_t> nextByte(int idleMs, bool* idle);
    void send(const std::uint8_t* data, size_t n);
    void hangUp();
    void linger();
    SimOutcome streamNoise();
    bool faultAt(SimFault f, int block) const;
    SimOutcome runWrite();
    SimOutcome runRead();

    SimOptions m_opt;
    int m_master = -1;
    int m_slaveHold = -1; // keeps the slave side alive between the program's opens
    int m_stopFd = -1;
    std::string m_slavePath;
    std::chrono::nanoseconds m_byteTime{0};
    Clock::time_point m_rxClock{}, m_txClock{};
    std::vector<std::uint8_t> m_pending;
    size_t m_pendingPos = 0;
    std::vector<std::uint8_t> m_received;
    std::atomic<int> m_blocksDone{0};
    std::atomic<int> m_transfersDone{0};
};

} // namespace kvort::sim
