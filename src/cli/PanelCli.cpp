#include "PanelCli.h"

#include "Cli.h"

#include "link/PortDiagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kvort::cli {

PortMap chosenPorts(const std::optional<std::string>& portsOption) {
    return portsOption ? PortMap::parse(*portsOption) : PortMap::fromEnvironment();
}

LinkTimings linkTimings() {
    LinkTimings t;
    if (const char* env = std::getenv("KVORT_LINK_PAUSES_MS"); env != nullptr && *env != 0) {
        char* end = nullptr;
        long ms = std::strtol(env, &end, 10);
        if (*end != 0 || ms < 0 || ms > 1000)
            throw UsageError{std::string("KVORT_LINK_PAUSES_MS: число от 0 до 1000, а не \"") +
                             env + "\""};
        t.writePause = static_cast<int>(ms);
        t.readPause = static_cast<int>(ms);
    }
    return t;
}

void hintUnusablePorts(const PortMap& map) {
    const std::string hints = noPanelHints(map);
    if (!hints.empty())
        std::fputs(hints.c_str(), stderr);
}

void setUpPanelPort(TCommPort& port, PortMap map) {
    port.setPortMap(std::move(map));
    port.setComNumber(4);
    port.setBaudRate(cbr38400);
    port.setParity(paNone);
    port.setStopbits(sb1_0);
    port.setDatabits(8);
    port.setInSize(2048);
    port.setOutSize(4096);
}

TransferView::~TransferView() {
    breakLine();
}

void TransferView::breakLine() {
    if (m_shown >= 0)
        std::fputc('\n', stderr);
    m_shown = -1;
}

void TransferView::setStatus(std::string_view text) {
    breakLine();
    TerminalView::setStatus(text);
}

void TransferView::setProgress(int position, int max) {
    if (max <= 0) {
        breakLine();
        return;
    }
    int percent = position * 100 / max;
    if (percent == m_shown)
        return;
    m_shown = percent;
    constexpr int kWidth = 40;
    std::string bar(static_cast<size_t>(percent * kWidth / 100), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
}

} // namespace kvort::cli
