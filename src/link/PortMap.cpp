#include "link/PortMap.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kvort {

PortMap::PortMap(std::vector<std::string> paths) : m_paths(std::move(paths)) {
    if (m_paths.size() > static_cast<size_t>(kPorts))
        m_paths.resize(kPorts);
}

PortMap PortMap::parse(std::string_view list) {
    std::vector<std::string> paths;
    if (list.empty())
        return PortMap();
    size_t start = 0;
    while (true) {
        size_t comma = list.find(',', start);
        std::string_view item = list.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t'))
            item.remove_prefix(1);
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t'))
            item.remove_suffix(1);
        paths.emplace_back(item);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return PortMap(std::move(paths));
}

namespace {

// The devices of one family ("ttyUSB") under root, by their number.
std::vector<std::pair<long, std::string>> family(const std::string& root,
                                                 const std::string& prefix) {
    std::vector<std::pair<long, std::string>> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(root, ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        found.emplace_back(std::strtol(digits.c_str(), nullptr, 10), entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The 8250 driver registers every possible ttyS; only those with a UART
// behind them have a non-zero type. The sysfs attribute needs no permission
// on the device itself.
bool isRealUart(const std::string& sysRoot, const std::string& name) {
    std::ifstream in(sysRoot + "/" + name + "/type");
    int type = 0;
    return in && (in >> type) && type != 0;
}

} // namespace

PortMap PortMap::detect(const std::string& devRoot, const std::string& sysRoot) {
    std::vector<std::string> paths;
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (auto& [n, p] : family(devRoot, prefix))
            paths.push_back(p);
    for (auto& [n, p] : family(devRoot, "ttyS"))
        if (isRealUart(sysRoot, std::filesystem::path(p).filename().string()))
            paths.push_back(p);
    return PortMap(std::move(paths));
}

PortMap PortMap::fromEnvironment() {
    const char* env = std::getenv("KVORT_PORTS");
    if (env != nullptr && *env != '\0')
        return parse(env);
    return detect();
}

std::string PortMap::path(int comNumber) const {
    if (comNumber < 1 || comNumber > static_cast<int>(m_paths.size()))
        return {};
    return m_paths[comNumber - 1];
}

ProbeResult probePort(const std::string& path, int* errnoOut) {
    auto fail = [&](ProbeResult r, int e) {
        if (errnoOut != nullptr)
            *errnoOut = e;
        return r;
    };
    if (path.empty())
        return fail(ProbeResult::Unmapped, 0);
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int e = errno;
        if (e == ENOENT || e == ENODEV || e == ENXIO)
            return fail(ProbeResult::Missing, e);
        if (e == EACCES || e == EPERM)
            return fail(ProbeResult::NoPermission, e);
        if (e == EBUSY)
            return fail(ProbeResult::Busy, e);
        return fail(ProbeResult::Failed, e);
    }
    ProbeResult result = ProbeResult::Ok;
    int err = 0;
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        result = ProbeResult::NotSerial;
        err = errno;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Another open of the device (ours or another program's) holds it.
        result = ProbeResult::Busy;
        err = errno;
    }
    ::close(fd);
    return fail(result, err);
}

} // namespace kvort
