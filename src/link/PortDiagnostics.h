#pragma once
// Why a port cannot reach the panel on Linux: the usual troubles an installer
// meets with a USB adapter, found from /proc, /dev and /sys. The texts are
// UTF-8, for the terminal and the window.
#include "link/PortMap.h"

#include <functional>
#include <string>
#include <vector>

namespace kvort {

// Where the system is looked at. Tests point the roots at a fake tree.
struct SystemRoots {
    std::string proc = "/proc";
    std::string dev = "/dev";
    std::string sys = "/sys";
    // Whether a service owns org.freedesktop.ModemManager1 on the system bus
    // (asked only when no ModemManager process is visible); unset: not asked.
    std::function<bool()> modemManagerOnBus;
    // This process: its own opens of a port are not another program's.
    int selfPid = 0;
};

// The real system, the D-Bus question included.
SystemRoots liveSystem();

struct PortHolder {
    int pid = 0;
    std::string name; // the process's comm
};

struct PortState {
    int comNumber = 0;
    std::string path;
    std::vector<std::string> byId; // names in /dev/serial/by-id that lead to the device
    ProbeResult probe = ProbeResult::Unmapped;
    int probeErrno = 0;
    std::vector<PortHolder> holders; // other processes that have the device open
    bool ours = false;               // this process has it open (the window's own port)
};

struct PortDiagnosis {
    std::vector<PortState> ports; // the mapped COM numbers, in order
    // Troubles of the whole machine (ModemManager, brltty), each one line
    // ending with its remedy.
    std::vector<std::string> troubles;
};

PortDiagnosis diagnosePorts(const PortMap& map, const SystemRoots& roots);

// "доступен", "нет такого устройства", "занят другой программой: minicom (pid 812)" ...
std::string describePort(const PortState& port);

// What to tell after a search that found no panel: the ports that could not
// be taken and why, and the troubles, one per line; "" when nothing is known
// to be wrong (the panel is then simply not connected or not in its mode).
std::string noPanelHints(const PortMap& map, const SystemRoots& roots);
std::string noPanelHints(const PortMap& map);

} // namespace kvort
