#include "Cli.h"
#include "PanelCli.h"

#include "link/PortDiagnostics.h"

#include <cstdlib>

namespace kvort::cli {

int cmdPorts(const std::vector<std::string>& words) {
    Args args(words, {"--ports"}, {});
    if (!args.positional().empty())
        throw UsageError{"лишний параметр: " + args.positional().front()};
    const auto option = args.value("--ports");
    const char* env = std::getenv("KVORT_PORTS");
    const PortDiagnosis d = diagnosePorts(chosenPorts(option), liveSystem());
    say(option                        ? "Порты из параметра --ports:"
        : env != nullptr && *env != 0 ? "Порты из переменной KVORT_PORTS:"
                                      : "Найденные последовательные порты:");
    for (const PortState& s : d.ports) {
        std::string names;
        for (const std::string& n : s.byId)
            names += (names.empty() ? " [" : ", ") + n;
        if (!names.empty())
            names += "]";
        say("  COM" + std::to_string(s.comNumber) + (s.comNumber < 10 ? "   " : "  ") + s.path +
            names + " — " + describePort(s));
    }
    if (d.ports.empty())
        say("  нет ни одного порта; укажите их: KVORT_PORTS=/dev/ttyUSB0,... или --ports");
    if (!d.troubles.empty()) {
        say("Что мешает связи:");
        for (const std::string& t : d.troubles)
            say("  " + t);
    }
    return 0;
}

} // namespace kvort::cli
