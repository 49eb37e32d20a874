#include "link/PanelLink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include <poll.h>
#include <unistd.h>

using namespace kvort;
using namespace kvort::sim;
using namespace kvort::test;

namespace {

struct Link {
    TCommPort port;
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(65536, 0);
    int blockSize = 64;
    int deviceSeries = 0;
    PanelLink link{port, image.data(), blockSize, deviceSeries};
    explicit Link(std::vector<std::string> ports) {
        port.setPortMap(PortMap(std::move(ports)));
        port.setBaudRate(cbr38400);
        link.setTimings(fastTimings());
    }
};

SimOptions simOptions(SimMode mode, int block, SimSeries series = SimSeries::FH) {
    SimOptions o;
    o.mode = mode;
    o.blockSize = block;
    o.series = series;
    o.pacing = false;
    if (mode == SimMode::Read)
        o.image = patternImage(static_cast<unsigned>(block));
    return o;
}

} // namespace

TEST(PanelLink, ProgressRoundsHalvesToEven) {
    struct Row {
        int b, blockSize, expected;
    };
    const Row rows[] = {{5, 64, 0},  {15, 64, 2},     {25, 64, 2},     {35, 64, 4},    {14, 64, 1},
                        {16, 64, 2}, {1000, 64, 100}, {1023, 64, 102}, {1, 256, 0},    {2, 256, 1},
                        {3, 256, 1}, {4, 256, 2},     {250, 256, 100}, {255, 256, 102}};
    for (const Row& r : rows)
        EXPECT_EQ(PanelLink::progressPosition(r.b, r.blockSize), r.expected)
            << r.b << "/" << r.blockSize;
}

TEST(PanelLink, PacedBlockOf256IsNotTakenForOneOf64) {
    SimOptions o = simOptions(SimMode::Read, 256);
    o.pacing = true; // the bytes trickle in, and the count passes 64 on the way
    SimRunner panel(o);
    Link l({panel.path()});
    ASSERT_TRUE(l.link.search(TransferDirection::Read));
    EXPECT_EQ(l.blockSize, 256);
    EXPECT_TRUE(std::equal(l.image.begin(), l.image.begin() + 256, o.image.begin()));
}

TEST(PanelLink, SearchSkipsPortsItCannotTakeAndComesBackToTheSamePort) {
    SimOptions o = simOptions(SimMode::Read, 64);
    o.serve = true;
    SimRunner panel(o);
    Pty busy;
    TCommPort otherProgram;
    otherProgram.setPortMap(PortMap({busy.path()}));
    otherProgram.setComNumber(1);
    otherProgram.setOpen(true);
    TempDir tmp{TempDir::Cwd::Enter};
    std::ofstream("plain") << "x";
    Link l({"", "/dev/kvort-no-such-device", (tmp.path() / "plain").string(), busy.path(),
            panel.path()});
    std::vector<int> tried;
    l.link.onPortTried = [&](int n) { tried.push_back(n); };
    ASSERT_TRUE(l.link.search(TransferDirection::Read));
    EXPECT_EQ(tried, std::vector<int>{5});
    EXPECT_EQ(l.port.comNumber(), 5);
    // The panel's port is ours now and fails the probe: it is still taken.
    for (int b = 1; b < l.link.blockCount(); ++b)
        ASSERT_TRUE(l.link.readBlock(b));
    tried.clear();
    ASSERT_TRUE(l.link.search(TransferDirection::Read));
    EXPECT_EQ(tried, std::vector<int>{5});
    EXPECT_EQ(l.port.comNumber(), 5);
}

// The map is read anew before every transfer; a device plugged in or pulled
// meanwhile renumbers the ports while ours is still open on the panel.
TEST(PanelLink, SearchKnowsTheDeviceItHoldsUnderItsNewNumber) {
    SimOptions o = simOptions(SimMode::Read, 64);
    o.serve = true;
    SimRunner panel(o);
    Link l({"/dev/kvort-no-such-device", panel.path()});
    ASSERT_TRUE(l.link.search(TransferDirection::Read));
    ASSERT_EQ(l.port.comNumber(), 2);
    for (int b = 1; b < l.link.blockCount(); ++b)
        ASSERT_TRUE(l.link.readBlock(b));

    l.port.setPortMap(PortMap({panel.path()}));
    ASSERT_TRUE(l.link.search(TransferDirection::Read));
    EXPECT_EQ(l.port.comNumber(), 1);
    EXPECT_EQ(l.port.devicePath(), panel.path());
}

TEST(PanelLink, SilentPanelIsNotFound) {
    for (SimMode mode : {SimMode::Write, SimMode::Read}) {
        SimOptions o = simOptions(mode, 256);
        o.fault = SimFault::Silent;
        o.faultBlock = 0;
        SimRunner panel(o);
        Link l({panel.path()});
        EXPECT_FALSE(l.link.search(mode == SimMode::Write ? TransferDirection::Write
                                                          : TransferDirection::Read));
        EXPECT_TRUE(l.port.isOpen()) << "left open on the last port taken";
    }
}

TEST(PanelLink, ReplyNoiseIsSkippedButAFirstBlockOfOtherSizeIsNot) {
    // Write: a stray byte before "I" is dropped and "I" still counts.
    {
        SimOptions o = simOptions(SimMode::Write, 64, SimSeries::I);
        o.fault = SimFault::Garbage;
        o.faultBlock = 0;
        SimRunner panel(o);
        Link l({panel.path()});
        ASSERT_TRUE(l.link.search(TransferDirection::Write));
        EXPECT_EQ(l.deviceSeries, 1);
    }
    // Read: a first block of 65 bytes is no block at all.
    {
        SimOptions o = simOptions(SimMode::Read, 64);
        o.fault = SimFault::LongBlock;
        o.faultBlock = 0;
        SimRunner panel(o);
        Link l({panel.path()});
        EXPECT_FALSE(l.link.search(TransferDirection::Read));
    }
}

namespace {

// A panel of 64-byte blocks that answers block b with answers[b], whatever
// that is, and then keeps silent.
class ScriptedPanel {
  public:
    explicit ScriptedPanel(std::vector<std::vector<std::uint8_t>> answers)
        : m_answers(std::move(answers)), m_thread([this] { run(); }) {}
    ~ScriptedPanel() {
        m_stop = true;
        m_thread.join();
    }
    const std::string& path() const { return m_pty.path(); }

  private:
    void run() {
        size_t got = 0;
        for (size_t b = 0; b < m_answers.size() && !m_stop;) {
            got += m_pty.read(64 - got, 20).size();
            if (got < 64)
                continue;
            got = 0;
            const auto& a = m_answers[b++];
            if (!a.empty() && ::write(m_pty.master(), a.data(), a.size()) < 0)
                return;
        }
    }
    Pty m_pty;
    std::vector<std::vector<std::uint8_t>> m_answers;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Random bytes at about the line rate, from the start, whatever is sent.
class NoisyLine {
  public:
    NoisyLine()
        : m_thread([this] {
              std::uint32_t x = 0x9E3779B9u;
              while (!m_stop) {
                  std::uint8_t out[4];
                  for (auto& b : out) {
                      x ^= x << 13;
                      x ^= x >> 17;
                      x ^= x << 5;
                      b = static_cast<std::uint8_t>(x >> 24);
                  }
                  pollfd p{m_pty.master(), POLLIN | POLLOUT, 0};
                  if (::poll(&p, 1, 1) != 1)
                      continue;
                  std::uint8_t sink[4096]; // what the program sends goes nowhere
                  if ((p.revents & POLLIN) && ::read(m_pty.master(), sink, sizeof sink) < 0)
                      return;
                  if ((p.revents & POLLOUT) && ::write(m_pty.master(), out, sizeof out) < 0)
                      return;
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          }) {}
    ~NoisyLine() {
        m_stop = true;
        m_thread.join();
    }
    const std::string& path() const { return m_pty.path(); }

  private:
    Pty m_pty;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

// One reply letter per block, the letter the search found, and no more than
// a few stray bytes in the whole transfer.
TEST(PanelLink, WriteRepliesMustBeOneLetterPerBlockWithFewStrays) {
    using Bytes = std::vector<std::uint8_t>;
    const Bytes Y{'Y'}, I{'I'}, strayY{0x00, 'Y'}, none;
    struct Row {
        const char* what;
        std::vector<Bytes> answers; // block 0 (the search) to block 5
        int firstFailing;           // 0: not found; -1: all acknowledged
        int series;
        bool broken; // rather than timed out
    };
    const Row rows[] = {
        {"clean", {Y, Y, Y, Y, Y, Y}, -1, 0, false},
        {"series I", {I, I, I, I, I, I}, -1, 1, false},
        {"a lone stray byte", {Y, Y, {0x3F, 'Y'}, Y, Y, Y}, -1, 0, false},
        {"strays up to the budget", {Y, strayY, strayY, strayY, strayY, Y}, -1, 0, false},
        {"one stray too many", {Y, strayY, strayY, strayY, strayY, strayY}, 5, 0, true},
        {"the letter changes", {Y, Y, Y, I, Y, Y}, 3, 0, true},
        {"a second letter acknowledges no later block",
         {Y, Y, {'Y', 'Y'}, none, Y, Y},
         3,
         0,
         false},
        {"noise before the search's letter", {{1, 2, 3, 4, 5, 'Y'}, Y, Y, Y, Y, Y}, 0, -1, true},
    };
    static_assert(kStrayByteBudget == 4, "the rows count on it");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ScriptedPanel panel(r.answers);
        Link l({panel.path()});
        const std::vector<std::uint8_t> pattern = patternImage(7);
        std::copy(pattern.begin(), pattern.end(), l.image.begin()); // the link holds its buffer
        l.deviceSeries = -1;
        int failed = -1;
        if (!l.link.search(TransferDirection::Write))
            failed = 0;
        for (int b = 1; failed < 0 && b < static_cast<int>(r.answers.size()); ++b) {
            if (!l.link.writeBlock(b))
                failed = b;
            else
                l.link.pause(l.link.timings().writePause);
        }
        EXPECT_EQ(failed, r.firstFailing);
        EXPECT_EQ(l.deviceSeries, r.series);
        EXPECT_EQ(l.link.lineBroken(), r.broken);
    }
}

// A line with only noise on it never takes a whole image: the read finds no
// block, and a write ends long before its last block.
TEST(PanelLink, LineOfNoiseIsNoPanel) {
    {
        NoisyLine line;
        Link l({line.path()});
        EXPECT_FALSE(l.link.search(TransferDirection::Read));
    }
    NoisyLine line;
    Link l({line.path()});
    int acknowledged = 0;
    if (l.link.search(TransferDirection::Write)) {
        while (acknowledged + 1 < l.link.blockCount() && l.link.writeBlock(acknowledged + 1)) {
            ++acknowledged;
            l.link.pause(1);
        }
        EXPECT_TRUE(l.link.lineBroken());
    }
    EXPECT_LT(acknowledged + 1, l.link.blockCount());
}
