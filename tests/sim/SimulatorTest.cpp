// The simulated panel seen from the program's side of its pseudo-terminal.
#include "sim/PanelSimulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace kvort::sim;

namespace {

std::vector<std::uint8_t> image(unsigned seed) {
    std::vector<std::uint8_t> v(kImageBytes);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<std::uint8_t>((i * 7 + seed * 13 + (i >> 8)) & 0xFF);
    return v;
}

// A panel running on its own thread and the program's open of its device.
class Line {
  public:
    explicit Line(SimOptions o) : m_sim(std::move(o)) {
        m_fd = ::open(m_sim.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        m_thread = std::thread([this] { m_outcome = m_sim.run(); });
    }
    ~Line() {
        m_sim.stop();
        m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PanelSimulator& sim() { return m_sim; }
    void send(const std::uint8_t* data, size_t n) {
        ASSERT_EQ(::write(m_fd, data, n), static_cast<ssize_t>(n));
    }
    void send(std::uint8_t b) { send(&b, 1); }
    // What arrives within ms (all of it, not just the first chunk).
    std::vector<std::uint8_t> receive(int ms) {
        std::vector<std::uint8_t> out;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (true) {
            int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            end - std::chrono::steady_clock::now())
                                            .count());
            if (left <= 0)
                break;
            pollfd p{m_fd, POLLIN, 0};
            int r = ::poll(&p, 1, left);
            if (r <= 0)
                break;
            if (p.revents & (POLLHUP | POLLERR)) {
                m_hungUp = true;
                break;
            }
            std::uint8_t buf[1024];
            ssize_t got = ::read(m_fd, buf, sizeof buf);
            if (got <= 0) {
                m_hungUp = true;
                break;
            }
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }
    bool hungUp() const { return m_hungUp; }

  private:
    PanelSimulator m_sim;
    int m_fd = -1;
    bool m_hungUp = false;
    SimOutcome m_outcome = SimOutcome::Stopped;
    std::thread m_thread;
};

SimOptions options(SimMode mode, int block, SimSeries series = SimSeries::FH) {
    SimOptions o;
    o.mode = mode;
    o.blockSize = block;
    o.series = series;
    o.pacing = false;
    o.image = image(1);
    return o;
}

const std::vector<std::uint8_t> kNothing;

} // namespace

TEST(PanelSimulator, FaultNamesRoundTripAndShortLongOnlyRead) {
    for (SimFault f : kAllFaults) {
        EXPECT_EQ(faultFromName(faultName(f)), f);
        EXPECT_TRUE(faultApplies(f, SimMode::Read));
        EXPECT_EQ(faultApplies(f, SimMode::Write),
                  f != SimFault::ShortBlock && f != SimFault::LongBlock);
    }
    EXPECT_FALSE(faultFromName("flaky"));
}

TEST(PanelSimulator, RefusesOptionsNoPanelHas) {
    struct Row {
        const char* what;
        SimOptions o;
    };
    std::vector<Row> rows;
    SimOptions o = options(SimMode::Write, 128);
    rows.push_back({"block 128", o});
    o = options(SimMode::Write, 64);
    o.fault = SimFault::LongBlock;
    rows.push_back({"long block in write mode", o});
    o = options(SimMode::Read, 256);
    o.faultBlock = 256;
    rows.push_back({"fault past the last block", o});
    o = options(SimMode::Read, 64);
    o.image.resize(100);
    rows.push_back({"short image", o});
    for (const Row& r : rows)
        EXPECT_THROW(PanelSimulator{r.o}, std::runtime_error) << r.what;
}

TEST(PanelSimulator, WritePanelAnswersAfterItsBlockSize) {
    struct Row {
        int block;
        SimSeries series;
        std::uint8_t reply;
    };
    for (Row r : {Row{64, SimSeries::FH, 'Y'}, Row{256, SimSeries::FH, 'Y'},
                  Row{64, SimSeries::I, 'I'}, Row{256, SimSeries::I, 'I'}}) {
        Line line(options(SimMode::Write, r.block, r.series));
        std::vector<std::uint8_t> img = image(2);
        line.send(img.data(), 64);
        if (r.block == 256) {
            EXPECT_EQ(line.receive(100), kNothing) << "a 256-byte panel waits for the rest";
            line.send(img.data() + 64, 192);
        }
        EXPECT_EQ(line.receive(200), std::vector<std::uint8_t>{r.reply});
        EXPECT_EQ(line.sim().blocksDone(), 1);
        EXPECT_TRUE(
            std::equal(line.sim().received().begin(), line.sim().received().end(), img.begin()));
    }
}

TEST(PanelSimulator, ReadPanelAnswersOnlyTheRequestByte) {
    Line line(options(SimMode::Read, 64));
    line.send(0x55);
    EXPECT_EQ(line.receive(100), kNothing);
    line.send(0xAA);
    std::vector<std::uint8_t> block = line.receive(200);
    std::vector<std::uint8_t> img = image(1);
    EXPECT_EQ(block, std::vector<std::uint8_t>(img.begin(), img.begin() + 64));
    line.send(0xAA);
    block = line.receive(200);
    EXPECT_EQ(block, std::vector<std::uint8_t>(img.begin() + 64, img.begin() + 128));
}

TEST(PanelSimulator, FaultsChangeWhatTheBlockAtNLooksLike) {
    const int at = 1;
    std::vector<std::uint8_t> img = image(1);
    std::vector<std::uint8_t> block1(img.begin() + 64, img.begin() + 128);
    struct Row {
        SimFault fault;
        std::vector<std::uint8_t> expected; // read mode: the answer to the request for block 1
    };
    std::vector<std::uint8_t> withStray = block1, shorter = block1, longer = block1;
    withStray.insert(withStray.begin(), 0x3F);
    shorter.pop_back();
    longer.push_back(0x00);
    const Row rows[] = {{SimFault::None, block1},       {SimFault::Silent, kNothing},
                        {SimFault::Garbage, withStray}, {SimFault::ShortBlock, shorter},
                        {SimFault::LongBlock, longer},  {SimFault::HangUp, kNothing},
                        {SimFault::SlowReply, block1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(faultName(r.fault)));
        SimOptions o = options(SimMode::Read, 64);
        o.fault = r.fault;
        o.faultBlock = at;
        o.slowMs = 150;
        Line line(o);
        line.send(0xAA);
        EXPECT_EQ(line.receive(100).size(), 64u);
        line.send(0xAA);
        if (r.fault == SimFault::SlowReply) {
            EXPECT_EQ(line.receive(50), kNothing) << "not before the delay";
        }
        std::vector<std::uint8_t> got = line.receive(400);
        EXPECT_EQ(got, r.expected);
        EXPECT_EQ(line.hungUp(), r.fault == SimFault::HangUp);
    }
}

TEST(PanelSimulator, WriteFaultsChangeTheAnswer) {
    const int at = 1;
    struct Row {
        SimFault fault;
        std::vector<std::uint8_t> expected;
    };
    const Row rows[] = {{SimFault::None, {'Y'}},
                        {SimFault::Silent, {}},
                        {SimFault::Garbage, {0x3F, 'Y'}},
                        {SimFault::HangUp, {}},
                        {SimFault::SlowReply, {'Y'}}};
    std::vector<std::uint8_t> img = image(3);
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(faultName(r.fault)));
        SimOptions o = options(SimMode::Write, 64);
        o.fault = r.fault;
        o.faultBlock = at;
        o.slowMs = 150;
        Line line(o);
        line.send(img.data(), 64);
        EXPECT_EQ(line.receive(100), std::vector<std::uint8_t>{'Y'});
        line.send(img.data() + 64, 64);
        EXPECT_EQ(line.receive(400), r.expected);
        EXPECT_EQ(line.hungUp(), r.fault == SimFault::HangUp);
    }
}

TEST(PanelSimulator, LinkPointsAtTheDeviceAndGoesWithThePanel) {
    auto link =
        std::filesystem::temp_directory_path() / ("kvort-sim-link-" + std::to_string(::getpid()));
    {
        SimOptions o = options(SimMode::Write, 64);
        o.linkPath = link.string();
        PanelSimulator sim(o);
        EXPECT_EQ(sim.devicePath(), link.string());
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.slavePath());
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(PanelSimulator, NoiseTakesTheLineFromBlockNUntilStopped) {
    for (SimMode mode : {SimMode::Write, SimMode::Read}) {
        SCOPED_TRACE(mode == SimMode::Write ? "write" : "read");
        SimOptions o = options(mode, 64);
        o.fault = SimFault::Noise;
        o.faultBlock = 1;
        Line line(o);
        std::vector<std::uint8_t> img = image(4);
        auto due = [&](int block) {
            if (mode == SimMode::Write)
                line.send(img.data() + block * 64, 64);
            else
                line.send(0xAA);
        };
        due(0);
        EXPECT_EQ(line.receive(100).size(), mode == SimMode::Write ? 1u : 64u);
        EXPECT_EQ(line.receive(50), kNothing) << "block 0 is answered as usual";
        due(1);
        // More than any answer, and it goes on whatever the program sends.
        std::vector<std::uint8_t> first = line.receive(200);
        due(2);
        std::vector<std::uint8_t> second = line.receive(200);
        EXPECT_GT(first.size(), 256u);
        EXPECT_GT(second.size(), 256u);
        EXPECT_GT(std::count_if(first.begin(), first.end(),
                                [](std::uint8_t b) { return b != 'Y' && b != 'I'; }),
                  200);
        EXPECT_NE(first, second);
    }
}
