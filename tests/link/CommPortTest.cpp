#include "link/CommPort.h"
#include "TestSupport.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include <termios.h>

using namespace kvort;
using namespace kvort::test;

namespace {

struct OpenPort {
    Pty pty;
    TCommPort port;
    OpenPort(std::uint32_t inSize = 2048) {
        port.setPortMap(PortMap({pty.path()}));
        port.setComNumber(1);
        port.setBaudRate(cbr38400);
        port.setInSize(inSize);
        port.setOpen(true);
    }
};

} // namespace

TEST(CommPort, ClosedPortTakesAndGivesNothing) {
    TCommPort port;
    std::uint8_t buf[4] = {1, 2, 3, 4};
    EXPECT_EQ(port.WriteData(buf, 4), 0);
    EXPECT_EQ(port.ReadData(buf, 4), 0);
    EXPECT_EQ(port.ReadByte(), 0);
    port.setOpen(false); // closing a closed port is harmless
    EXPECT_FALSE(port.isOpen());
}

TEST(CommPort, BaudNumbersMapToTheirRates) {
    const int table[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                         19200, 38400, 56000, 57600, 115200, 128000, 256000};
    TCommPort port;
    for (int i = 0; i < 15; ++i) {
        port.setBaud(table[i]);
        EXPECT_EQ(port.baudRate(), static_cast<TBaudRate>(i)) << table[i];
        EXPECT_EQ(port.baud(), table[i]);
    }
    port.setBaud(38400);
    for (int bogus : {0, 12345, -9600, 38401})
        port.setBaud(bogus);
    EXPECT_EQ(port.baudRate(), cbr38400);
    EXPECT_EQ(baudOf(static_cast<TBaudRate>(15)), 0);
}

TEST(CommPort, EventSetGivesLineBits) {
    EXPECT_EQ(TC32EventState::all().lineMask(), 0x1FFu);
    EXPECT_EQ((TC32EventState{evBreak, evRxChar}).lineMask(), 0x41u);
    EXPECT_EQ((TC32EventState{evRing, evTxEmpty}).lineMask(), 0x104u);
}

TEST(CommPort, LineSettingsReachTheDevice) {
    // A pseudo-terminal keeps every flag but the data width and parity
    // enable, which it forces to CS8 without parity; those are left out here.
    struct Row {
        TParity parity;
        TStopbits stop;
        TBaudRate rate;
        tcflag_t set, clear;
        speed_t speed;
    };
    const Row rows[] = {
        {paNone, sb1_0, cbr38400, 0, CSTOPB | PARODD | CMSPAR, B38400},
        {paOdd, sb1_0, cbr9600, PARODD, CSTOPB | CMSPAR, B9600},
        {paEven, sb2_0, cbr115200, CSTOPB, PARODD | CMSPAR, B115200},
        {paMark, sb1_5, cbr110, PARODD | CMSPAR | CSTOPB, 0, B110},
        {paSpace, sb1_0, cbr57600, CMSPAR, PARODD | CSTOPB, B57600},
    };
    for (const Row& r : rows) {
        OpenPort p;
        p.port.setParity(r.parity);
        p.port.setStopbits(r.stop);
        p.port.setDatabits(7);
        p.port.setBaudRate(r.rate);
        termios tio{};
        ASSERT_EQ(::tcgetattr(p.pty.slave(), &tio), 0);
        SCOPED_TRACE(testing::Message() << r.parity << "/" << r.stop << "/" << r.rate);
        EXPECT_EQ(tio.c_cflag & r.set, r.set);
        EXPECT_EQ(tio.c_cflag & r.clear, 0u);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(::cfgetospeed(&tio), r.speed);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw line";
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | INPCK | ICRNL), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    }
}

TEST(CommPort, BytesGoOutAndComeInOnTheOwnersThread) {
    OpenPort p;
    ASSERT_TRUE(p.port.isOpen());
    // A line without modem lines counts as ready to send.
    EXPECT_TRUE(p.port.cts());
    const std::vector<std::uint8_t> out = {0x00, 0xAA, 'Y', 0xFF, 0x0A, 0x0D, 0x11, 0x13};
    EXPECT_EQ(p.port.WriteData(out.data(), static_cast<int>(out.size())), 8);
    EXPECT_EQ(p.pty.read(out.size(), 2000), out);

    std::vector<std::uint8_t> in = patternImage(1);
    in.resize(300);
    bool offThread = false;
    std::uint16_t lastCount = 0;
    p.port.OnTriggerAvail = [&](TCustomCommPort&, std::uint16_t count) {
        offThread |= QThread::currentThread() != p.port.thread();
        lastCount = count;
    };
    p.pty.write(in);
    ASSERT_TRUE(pumpUntil([&] { return lastCount == 300; }, 3000));
    EXPECT_FALSE(offThread);
    std::vector<std::uint8_t> got(300);
    EXPECT_EQ(p.port.ReadData(got.data(), 300), 300);
    EXPECT_EQ(got, in);
    EXPECT_EQ(p.port.ReadByte(), 0) << "empty buffer";
}

TEST(CommPort, TriggerRepeatsWhileBytesWait) {
    OpenPort p;
    std::vector<std::uint16_t> counts;
    p.port.OnTriggerAvail = [&](TCustomCommPort&, std::uint16_t count) { counts.push_back(count); };
    p.pty.write({1, 2, 3});
    ASSERT_TRUE(pumpUntil([&] { return counts.size() >= 3; }, 3000));
    for (std::uint16_t c : counts)
        EXPECT_EQ(c, 3);
}

TEST(CommPort, TransmitBufferTakesOnlyWhatFits) {
    OpenPort p;
    std::vector<std::uint8_t> big(5000, 0x55);
    EXPECT_EQ(p.port.WriteData(big.data(), 5000), 4096);
}

TEST(CommPort, FullReceiveBufferWaitsForTheOwner) {
    OpenPort p(16);
    std::vector<std::uint8_t> in = patternImage(2);
    in.resize(40);
    std::uint16_t maxCount = 0;
    p.port.OnTriggerAvail = [&](TCustomCommPort&, std::uint16_t count) {
        maxCount = std::max(maxCount, count);
    };
    p.pty.write(in);
    ASSERT_TRUE(pumpUntil([&] { return maxCount == 16; }, 3000));
    std::vector<std::uint8_t> got;
    ASSERT_TRUE(pumpUntil(
        [&] {
            std::uint8_t buf[16];
            int n = p.port.ReadData(buf, 16);
            got.insert(got.end(), buf, buf + n);
            return got.size() == in.size();
        },
        3000));
    EXPECT_EQ(got, in);
    EXPECT_EQ(maxCount, 16);
}

TEST(CommPort, OpeningTwiceOpensOnce) {
    Pty pty;
    TCommPort port;
    port.setPortMap(PortMap({pty.path()}));
    port.setComNumber(1);
    int opened = 0;
    port.OnOpen = [&](TCustomCommPort&, std::int32_t) { ++opened; };
    port.setOpen(true);
    port.setOpen(true);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(port.devicePath(), pty.path());
    port.setOpen(false);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.devicePath(), "");
    port.setOpen(true); // and the device is free again for the next open
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(opened, 2);
}

TEST(CommPort, DeviceThatCannotBeOpenedLeavesThePortClosed) {
    Pty pty;
    TCommPort holder;
    holder.setPortMap(PortMap({pty.path()}));
    holder.setComNumber(1);
    holder.setOpen(true);
    ASSERT_TRUE(holder.isOpen());

    struct Row {
        const char* what;
        std::string path;
        int err;
    };
    const Row rows[] = {{"missing", "/dev/kvort-no-such-device", ENOENT},
                        {"held by another port", pty.path(), EBUSY},
                        {"not a terminal", "/dev/null", ENOTTY},
                        {"unmapped", "", ENOENT}};
    for (const Row& r : rows) {
        TCommPort port;
        port.setPortMap(PortMap({r.path}));
        port.setComNumber(1);
        bool opened = false;
        port.OnOpen = [&](TCustomCommPort&, std::int32_t) { opened = true; };
        port.setOpen(true);
        EXPECT_FALSE(port.isOpen()) << r.what;
        EXPECT_FALSE(opened) << r.what;
        EXPECT_EQ(port.lastOpenError(), r.err) << r.what;
        std::uint8_t b = 1;
        EXPECT_EQ(port.WriteData(&b, 1), 0) << r.what;
    }
}

TEST(CommPort, VanishedDeviceGoesSilentAndClosesCleanly) {
    OpenPort p;
    int triggers = 0;
    p.port.OnTriggerAvail = [&](TCustomCommPort&, std::uint16_t) { ++triggers; };
    p.pty.hangUp();
    std::uint8_t b = 0xAA;
    p.port.WriteByte(b);
    pumpFor(700);
    EXPECT_EQ(triggers, 0);
    EXPECT_TRUE(p.port.isOpen()) << "the owner sees silence, not a closed port";
    p.port.setOpen(false);
    EXPECT_FALSE(p.port.isOpen());
}

TEST(CommPort, CloseDoesNotWaitForAHandOffThatNeverRuns) {
    OpenPort p;
    int triggers = 0;
    p.port.OnTriggerAvail = [&](TCustomCommPort&, std::uint16_t) { ++triggers; };
    p.pty.write({1, 2, 3});
    // The receiver is now waiting for this thread, which does not pump.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    p.port.setOpen(false);
    EXPECT_FALSE(p.port.isOpen());
    pumpFor(50);
    EXPECT_EQ(triggers, 0) << "a hand-off of a closed port is dropped";
}

// A purge can empty the driver's queue between the receiver seeing bytes
// and reading them; the line is still there and must go on receiving.
TEST(CommPort, PurgeWhileBytesArriveKeepsTheLine) {
    OpenPort p;
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        const std::vector<std::uint8_t> chunk(8, 0x55);
        while (!stop) {
            p.pty.write(chunk);
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    });
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < end)
        p.port.PurgeInput();
    stop = true;
    sender.join();
    pumpFor(50);
    p.port.PurgeInput();
    std::uint16_t lastCount = 0;
    p.port.OnTriggerAvail = [&](TCustomCommPort&, std::uint16_t count) { lastCount = count; };
    p.pty.write({1, 2, 3});
    ASSERT_TRUE(pumpUntil([&] { return lastCount == 3; }, 2000));
    std::uint8_t got[3] = {};
    EXPECT_EQ(p.port.ReadData(got, 3), 3);
    EXPECT_EQ(got[2], 3);
}
