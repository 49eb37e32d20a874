#include "link/PanelLink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

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
