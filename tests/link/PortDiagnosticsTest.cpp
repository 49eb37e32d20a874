#include "link/PortDiagnostics.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace kvort;
using namespace kvort::test;
namespace fs = std::filesystem;

namespace {

// A fake /proc, /dev and /sys under a temporary folder.
class FakeSystem {
  public:
    explicit FakeSystem(const fs::path& root) : m_root(root) {
        roots.proc = (root / "proc").string();
        roots.dev = (root / "dev").string();
        roots.sys = (root / "sys").string();
        roots.selfPid = 1;
        for (const std::string& d : {roots.proc, roots.dev, roots.sys})
            fs::create_directories(d);
    }
    void process(int pid, const std::string& comm, const std::vector<std::string>& openFiles = {}) {
        const fs::path dir = fs::path(roots.proc) / std::to_string(pid);
        fs::create_directories(dir / "fd");
        std::ofstream(dir / "comm") << comm << "\n";
        int fd = 3;
        for (const std::string& f : openFiles)
            fs::create_symlink(f, dir / "fd" / std::to_string(fd++));
    }
    std::string device(const std::string& name) {
        const fs::path p = fs::path(roots.dev) / name;
        std::ofstream(p).put('x');
        return p.string();
    }
    void byId(const std::string& name, const std::string& target) {
        fs::create_directories(fs::path(roots.dev) / "serial" / "by-id");
        fs::create_symlink(target, fs::path(roots.dev) / "serial" / "by-id" / name);
    }
    // A USB device with one interface, bound to driver ("" for none).
    void usb(const std::string& name, const std::string& vendor, const std::string& product,
             const std::string& driver) {
        const fs::path bus = fs::path(roots.sys) / "bus" / "usb" / "devices";
        fs::create_directories(bus / name);
        std::ofstream(bus / name / "idVendor") << vendor << "\n";
        std::ofstream(bus / name / "idProduct") << product << "\n";
        fs::create_directories(bus / (name + ":1.0"));
        if (!driver.empty())
            fs::create_symlink("../../../bus/usb/drivers/" + driver,
                               bus / (name + ":1.0") / "driver");
    }

    SystemRoots roots;

  private:
    fs::path m_root;
};

} // namespace

TEST(PortDiagnostics, ModemManagerAndBrlttyAreToldOnlyWhenTheyStandInTheWay) {
    struct Usb {
        const char* vendor;
        const char* product;
        const char* driver;
    };
    struct Row {
        const char* what;
        std::vector<std::string> processes;
        bool onBus;
        std::vector<std::string> ports; // device names under the fake /dev
        std::vector<Usb> usb;
        std::vector<std::string> expected; // one part of each trouble, in order
    };
    const Row rows[] = {
        {"MM process, USB port", {"ModemManager"}, false, {"ttyUSB0"}, {}, {"ModemManager"}},
        {"MM on the bus, ACM port", {"bash"}, true, {"ttyACM0"}, {}, {"ModemManager"}},
        {"MM, on-board UART only", {"ModemManager"}, true, {"ttyS0"}, {}, {}},
        {"MM, adapter unplugged", {"ModemManager"}, true, {"-ttyUSB0"}, {}, {}},
        {"brltty took the CH341",
         {"brltty"},
         false,
         {},
         {{"1a86", "7523", ""}},
         {"переходник CH341 (1a86:7523) забрала программа brltty"}},
        {"usbfs without a visible brltty",
         {},
         false,
         {},
         {{"0403", "6001", "usbfs"}},
         {"FTDI (0403:6001) забрала другая программа (вероятно, brltty)"}},
        {"brltty, CH341 serving its tty",
         {"brltty"},
         false,
         {"ttyUSB0"},
         {{"1a86", "7523", "ch341"}},
         {}},
        {"brltty, other adapter", {"brltty"}, false, {}, {{"067b", "2303", ""}}, {}},
        {"both",
         {"ModemManager", "brltty"},
         false,
         {},
         {{"1a86", "7523", "usbfs"}},
         {"sudo systemctl disable --now ModemManager", "sudo apt remove brltty"}},
    };
    for (const Row& r : rows) {
        TempDir tmp{TempDir::Cwd::Enter};
        FakeSystem sys(tmp.path());
        int pid = 100;
        for (const std::string& p : r.processes)
            sys.process(pid++, p);
        sys.roots.modemManagerOnBus = [&] { return r.onBus; };
        std::vector<std::string> paths;
        for (const std::string& p : r.ports) // "-name": mapped, but not there
            paths.push_back(p[0] == '-' ? sys.roots.dev + "/" + p.substr(1) : sys.device(p));
        int n = 1;
        for (const Usb& u : r.usb)
            sys.usb("1-" + std::to_string(n++), u.vendor, u.product, u.driver);

        const PortDiagnosis d = diagnosePorts(PortMap(paths), sys.roots);
        ASSERT_EQ(d.troubles.size(), r.expected.size()) << r.what;
        for (size_t i = 0; i < r.expected.size(); ++i)
            EXPECT_NE(d.troubles[i].find(r.expected[i]), std::string::npos)
                << r.what << ": " << d.troubles[i];
    }
}

TEST(PortDiagnostics, APortHeldByAnotherProgramIsNamedWithItsAdapter) {
    TempDir tmp{TempDir::Cwd::Enter};
    FakeSystem sys(tmp.path());
    Pty pty; // a real terminal device stands behind COM2
    const std::string missing = sys.device("gone");
    fs::remove(missing);
    sys.byId("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", pty.path());
    sys.byId("usb-1a86_USB_Serial-if00-port0", (tmp.path() / "dev" / "other").string());
    sys.process(1, "kvort-config", {pty.path()}); // this process: not another program
    sys.process(812, "minicom", {"/dev/null", pty.path()});
    sys.process(900, "bash", {"/dev/null"});

    const PortMap map({missing, pty.path()});
    const PortDiagnosis d = diagnosePorts(map, sys.roots);
    ASSERT_EQ(d.ports.size(), 2u);
    EXPECT_EQ(d.ports[0].comNumber, 1);
    EXPECT_EQ(describePort(d.ports[0]), "нет такого устройства");
    EXPECT_TRUE(d.ports[0].byId.empty());
    EXPECT_EQ(d.ports[1].byId,
              std::vector<std::string>{"usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"});
    EXPECT_EQ(describePort(d.ports[1]),
              "доступен, но открыт и другой программой: minicom (pid 812)");
    EXPECT_EQ(noPanelHints(map, sys.roots),
              "COM2 " + pty.path() + ": открыт программой minicom (pid 812)\n");

    // Only this process holds it (the window's own port): nothing to tell
    // after a failed search, even while its lock makes the probe fail.
    fs::remove_all(fs::path(sys.roots.proc) / "812");
    const int lockFd = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(lockFd, 0);
    ASSERT_EQ(::flock(lockFd, LOCK_EX | LOCK_NB), 0);
    const PortDiagnosis locked = diagnosePorts(map, sys.roots);
    EXPECT_EQ(describePort(locked.ports[1]), "открыт этой программой");
    EXPECT_EQ(noPanelHints(map, sys.roots), "");
    ::close(lockFd);
}
