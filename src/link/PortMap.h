#pragma once
// COM1..COM10 as device paths. The default is the serial devices present, in
// a stable order: USB adapters (/dev/ttyUSB*), then CDC-ACM devices
// (/dev/ttyACM*), then the on-board UARTs (/dev/ttyS*) the kernel reports as
// real ports; each group in numeric order. KVORT_PORTS (or --ports) replaces
// it with a comma-separated list: the first path is COM1, an empty entry
// leaves that number unmapped.
#include <string>
#include <string_view>
#include <vector>

namespace kvort {

class PortMap {
  public:
    static constexpr int kPorts = 10;

    PortMap() = default;
    explicit PortMap(std::vector<std::string> paths);

    // "a,b,,c": entries beyond the tenth are dropped.
    static PortMap parse(std::string_view commaList);
    // The serial devices present under devRoot, the UART test under sysRoot
    // (roots are parameters so that the order can be tested on a fake tree).
    static PortMap detect(const std::string& devRoot = "/dev",
                          const std::string& sysRoot = "/sys/class/tty");
    // KVORT_PORTS when set, else detect().
    static PortMap fromEnvironment();

    // The path of COMn, "" when n is outside 1..10 or unmapped.
    std::string path(int comNumber) const;
    const std::vector<std::string>& paths() const { return m_paths; }

  private:
    std::vector<std::string> m_paths;
};

enum class ProbeResult { Ok, Unmapped, Missing, NoPermission, Busy, NotSerial, Failed };

// Opens the device exclusively for reading and writing and closes it again,
// as the search does before it takes a port. errnoOut gets the failure's errno.
ProbeResult probePort(const std::string& path, int* errnoOut = nullptr);

} // namespace kvort
