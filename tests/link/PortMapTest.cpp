#include "link/PortMap.h"
#include "TestSupport.h"
#include "link/CommPort.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace kvort;
using namespace kvort::test;
namespace fs = std::filesystem;

TEST(PortMap, ListGivesComNumbers) {
    struct Row {
        const char* list;
        std::vector<std::string> expected; // COM1, COM2, ...
    };
    const Row rows[] = {
        {"", {}},
        {"/dev/ttyUSB0", {"/dev/ttyUSB0"}},
        {"/a, /b ,/c", {"/a", "/b", "/c"}},
        {",/b", {"", "/b"}},
        {"1,2,3,4,5,6,7,8,9,10,11,12", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
    };
    for (const Row& r : rows) {
        PortMap map = PortMap::parse(r.list);
        EXPECT_EQ(map.paths(), r.expected) << r.list;
        for (size_t i = 0; i < r.expected.size(); ++i)
            EXPECT_EQ(map.path(static_cast<int>(i) + 1), r.expected[i]);
        EXPECT_EQ(map.path(0), "");
        EXPECT_EQ(map.path(11), "");
    }
}

TEST(PortMap, EnvironmentOverridesDetection) {
    ::setenv("KVORT_PORTS", "/x,,/y", 1);
    EXPECT_EQ(PortMap::fromEnvironment().path(3), "/y");
    ::unsetenv("KVORT_PORTS");
}

TEST(PortMap, DetectionOrderIsStable) {
    TempDir tmp{TempDir::Cwd::Enter};
    fs::path dev = tmp.path() / "dev", sys = tmp.path() / "sys";
    fs::create_directories(dev);
    for (const char* n : {"ttyS0", "ttyS1", "ttyS10", "ttyS2", "ttyUSB10", "ttyUSB2", "ttyACM0",
                          "ttyUSBx", "tty0", "console"})
        std::ofstream(dev / n).put('x');
    auto uart = [&](const char* n, const char* type) {
        fs::create_directories(sys / n);
        std::ofstream(sys / n / "type") << type << "\n";
    };
    uart("ttyS0", "0"); // registered, no UART behind it
    uart("ttyS1", "4");
    uart("ttyS10", "4");
    uart("ttyS2", "4");
    PortMap map = PortMap::detect(dev.string(), sys.string());
    std::vector<std::string> expected;
    for (const char* n : {"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS1", "ttyS2", "ttyS10"})
        expected.push_back((dev / n).string());
    EXPECT_EQ(map.paths(), expected);
}

TEST(PortMap, ProbeTellsWhyADeviceCannotBeTaken) {
    Pty free, held;
    TCommPort holder;
    holder.setPortMap(PortMap({held.path()}));
    holder.setComNumber(1);
    holder.setOpen(true);
    TempDir tmp{TempDir::Cwd::Enter};
    std::ofstream("plain.txt") << "x";
    struct Row {
        std::string path;
        ProbeResult expected;
    };
    const Row rows[] = {{free.path(), ProbeResult::Ok},
                        {held.path(), ProbeResult::Busy},
                        {"/dev/kvort-no-such-device", ProbeResult::Missing},
                        {(tmp.path() / "plain.txt").string(), ProbeResult::NotSerial},
                        {"", ProbeResult::Unmapped}};
    for (const Row& r : rows)
        EXPECT_EQ(probePort(r.path), r.expected) << r.path;
}
