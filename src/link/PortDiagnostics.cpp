#include "link/PortDiagnostics.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include <unistd.h>

namespace kvort {

namespace fs = std::filesystem;

namespace {

const char kDialoutRemedy[] = "добавьте пользователя в группу dialout "
                              "(sudo usermod -aG dialout $USER) и войдите в систему заново";

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool allDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The device a path leads to, symlinks followed; the path itself when it
// does not resolve.
std::string resolved(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    return ec ? path : p.string();
}

struct Process {
    int pid;
    std::string name;
};

std::vector<Process> processes(const SystemRoots& roots) {
    std::vector<Process> list;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(roots.proc, ec)) {
        const std::string name = entry.path().filename().string();
        if (!allDigits(name))
            continue;
        list.push_back({std::atoi(name.c_str()), firstLine(entry.path() / "comm")});
    }
    std::sort(list.begin(), list.end(), [](auto& a, auto& b) { return a.pid < b.pid; });
    return list;
}

bool running(const std::vector<Process>& list, const char* comm) {
    return std::any_of(list.begin(), list.end(), [&](const Process& p) { return p.name == comm; });
}

// Every process's open descriptors, read once for all ports; this process
// is listed under its own pid. A process of another user hides its
// descriptors; it is simply not seen.
std::map<std::string, std::vector<PortHolder>> holders(const std::vector<Process>& list,
                                                       const std::vector<std::string>& devices,
                                                       const SystemRoots& roots) {
    std::map<std::string, std::vector<PortHolder>> found;
    if (devices.empty())
        return found;
    for (const Process& p : list) {
        std::error_code ec;
        const fs::path fdDir = fs::path(roots.proc) / std::to_string(p.pid) / "fd";
        for (const auto& fd : fs::directory_iterator(fdDir, ec)) {
            std::error_code lec;
            const std::string target = fs::read_symlink(fd.path(), lec).string();
            if (lec || std::find(devices.begin(), devices.end(), target) == devices.end())
                continue;
            auto& list = found[target];
            if (list.empty() || list.back().pid != p.pid)
                list.push_back({p.pid, p.name});
        }
    }
    return found;
}

std::vector<std::string> byIdNames(const std::string& device, const SystemRoots& roots) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(roots.dev) / "serial" / "by-id", ec))
        if (resolved(entry.path().string()) == device)
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool isUsbSerial(const std::string& device) {
    const std::string name = fs::path(device).filename().string();
    return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0;
}

struct UsbAdapter {
    std::string kind;                 // "CH341", "FTDI"
    std::string id;                   // "1a86:7523"
    std::vector<std::string> drivers; // of its interfaces; "" where none is bound
};

// The CH341 and FTDI adapters on the USB bus, whether or not a tty came of
// them: brltty takes them before the serial driver can.
std::vector<UsbAdapter> brlttyProneAdapters(const SystemRoots& roots) {
    std::vector<UsbAdapter> found;
    const fs::path bus = fs::path(roots.sys) / "bus" / "usb" / "devices";
    std::error_code ec;
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(bus, ec))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    for (const fs::path& dev : entries) {
        const std::string vendor = firstLine(dev / "idVendor");
        const std::string product = firstLine(dev / "idProduct");
        std::string kind;
        if (vendor == "1a86" && (product == "7523" || product == "5523"))
            kind = "CH341";
        else if (vendor == "0403")
            kind = "FTDI";
        if (kind.empty())
            continue;
        std::string id = vendor;
        id += ':';
        id += product;
        UsbAdapter adapter{kind, std::move(id), {}};
        const std::string prefix = dev.filename().string() + ":";
        for (const fs::path& iface : entries) {
            if (iface.filename().string().rfind(prefix, 0) != 0)
                continue;
            std::error_code lec;
            adapter.drivers.push_back(fs::read_symlink(iface / "driver", lec).filename().string());
        }
        found.push_back(std::move(adapter));
    }
    return found;
}

bool boundToSerialDriver(const UsbAdapter& a) {
    return std::any_of(a.drivers.begin(), a.drivers.end(),
                       [](const std::string& d) { return d == "ch341" || d == "ftdi_sio"; });
}

bool claimedByUsbfs(const UsbAdapter& a) {
    return std::find(a.drivers.begin(), a.drivers.end(), "usbfs") != a.drivers.end();
}

std::string holderList(const std::vector<PortHolder>& list) {
    std::string out;
    for (const PortHolder& h : list) {
        if (!out.empty())
            out += ", ";
        out +=
            (h.name.empty() ? std::string("?") : h.name) + " (pid " + std::to_string(h.pid) + ")";
    }
    return out;
}

} // namespace

SystemRoots liveSystem() {
    SystemRoots roots;
    roots.modemManagerOnBus = [] {
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected() || bus.interface() == nullptr)
            return false;
        return bus.interface()
            ->isServiceRegistered(QStringLiteral("org.freedesktop.ModemManager1"))
            .value();
    };
    return roots;
}

PortDiagnosis diagnosePorts(const PortMap& map, const SystemRoots& roots) {
    PortDiagnosis d;
    std::vector<std::string> devices; // what /proc/N/fd links of a held port read
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        PortState s;
        s.comNumber = n;
        s.path = map.path(n);
        if (s.path.empty())
            continue;
        s.probe = probePort(s.path, &s.probeErrno);
        const std::string device = resolved(s.path);
        s.byId = byIdNames(device, roots);
        if (s.probe == ProbeResult::Ok || s.probe == ProbeResult::Busy) {
            devices.push_back(device);
            devices.push_back(s.path);
        }
        d.ports.push_back(std::move(s));
    }

    const std::vector<Process> list = processes(roots);
    const auto held = holders(list, devices, roots);
    const int self = roots.selfPid != 0 ? roots.selfPid : static_cast<int>(::getpid());
    for (PortState& s : d.ports) {
        if (s.probe != ProbeResult::Ok && s.probe != ProbeResult::Busy)
            continue;
        for (const std::string& key : {resolved(s.path), s.path}) {
            auto it = held.find(key);
            if (it == held.end())
                continue;
            for (const PortHolder& h : it->second) {
                if (h.pid == self)
                    s.ours = true;
                else
                    s.holders.push_back(h);
            }
            break;
        }
    }

    const std::vector<UsbAdapter> adapters = brlttyProneAdapters(roots);
    const bool usbSerial =
        std::any_of(d.ports.begin(), d.ports.end(),
                    [](const PortState& s) {
                        return s.probe != ProbeResult::Missing && isUsbSerial(resolved(s.path));
                    }) ||
        !adapters.empty();
    if (usbSerial &&
        (running(list, "ModemManager") || (roots.modemManagerOnBus && roots.modemManagerOnBus())))
        d.troubles.emplace_back(
            "служба ModemManager опрашивает USB-переходники как модемы и мешает "
            "связи с ПУ-П; если модем не нужен: "
            "sudo systemctl disable --now ModemManager");

    const bool brltty = running(list, "brltty");
    for (const UsbAdapter& a : adapters) {
        if (boundToSerialDriver(a) || !(brltty || claimedByUsbfs(a)))
            continue;
        d.troubles.push_back("переходник " + a.kind + " (" + a.id + ") забрала " +
                             (brltty ? "программа brltty" : "другая программа (вероятно, brltty)") +
                             " для брайлевского дисплея, поэтому его порта нет; если такой дисплей "
                             "не нужен: sudo apt remove brltty");
    }
    return d;
}

std::string describePort(const PortState& port) {
    switch (port.probe) {
    case ProbeResult::Ok:
        return port.holders.empty()
                   ? "доступен"
                   : "доступен, но открыт и другой программой: " + holderList(port.holders);
    case ProbeResult::Unmapped:
        return "не назначен";
    case ProbeResult::Missing:
        return "нет такого устройства";
    case ProbeResult::NoPermission:
        return std::string("нет прав доступа: ") + kDialoutRemedy;
    case ProbeResult::Busy:
        if (!port.holders.empty())
            return "занят другой программой: " + holderList(port.holders);
        return port.ours ? "открыт этой программой" : "занят другой программой";
    case ProbeResult::NotSerial:
        return "не последовательный порт";
    case ProbeResult::Failed:
        break;
    }
    return std::string("не открывается: ") + std::strerror(port.probeErrno);
}

std::string noPanelHints(const PortMap& map, const SystemRoots& roots) {
    const PortDiagnosis d = diagnosePorts(map, roots);
    std::string out;
    bool permission = false;
    for (const PortState& s : d.ports) {
        const std::string com = "COM" + std::to_string(s.comNumber) + " " + s.path + ": ";
        if (s.probe == ProbeResult::NoPermission) {
            out += com + "нет прав доступа к порту\n";
            permission = true;
        } else if (!s.holders.empty()) {
            out += com + "открыт программой " + holderList(s.holders) + "\n";
        } else if (s.probe == ProbeResult::Busy && !s.ours) {
            out += com + "занят другой программой\n";
        }
    }
    if (permission)
        out += std::string(kDialoutRemedy) + "\n";
    for (const std::string& t : d.troubles)
        out += t + "\n";
    return out;
}

std::string noPanelHints(const PortMap& map) {
    return noPanelHints(map, liveSystem());
}

} // namespace kvort
