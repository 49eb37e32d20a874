#include "Cli.h"
#include "PanelCli.h"

#include <cstdlib>
#include <cstring>

namespace kvort::cli {

int cmdPorts(const std::vector<std::string>& words) {
    Args args(words, {"--ports"}, {});
    if (!args.positional().empty())
        throw UsageError{"лишний параметр: " + args.positional().front()};
    const auto option = args.value("--ports");
    const char* env = std::getenv("KVORT_PORTS");
    PortMap map = chosenPorts(option);
    say(option                        ? "Порты из параметра --ports:"
        : env != nullptr && *env != 0 ? "Порты из переменной KVORT_PORTS:"
                                      : "Найденные последовательные порты:");
    bool any = false;
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        const std::string path = map.path(n);
        if (path.empty())
            continue;
        any = true;
        int err = 0;
        std::string state;
        switch (probePort(path, &err)) {
        case ProbeResult::Ok:
            state = "доступен";
            break;
        case ProbeResult::Unmapped:
            break;
        case ProbeResult::Missing:
            state = "нет такого устройства";
            break;
        case ProbeResult::NoPermission:
            state = "нет прав доступа: добавьте пользователя в группу dialout "
                    "(sudo usermod -aG dialout $USER) и войдите в систему заново";
            break;
        case ProbeResult::Busy:
            state = "занят другой программой";
            break;
        case ProbeResult::NotSerial:
            state = "не последовательный порт";
            break;
        case ProbeResult::Failed:
            state = std::string("не открывается: ") + std::strerror(err);
            break;
        }
        say("  COM" + std::to_string(n) + (n < 10 ? "   " : "  ") + path + " — " + state);
    }
    if (!any)
        say("  нет ни одного порта; укажите их: KVORT_PORTS=/dev/ttyUSB0,... или --ports");
    return 0;
}

} // namespace kvort::cli
