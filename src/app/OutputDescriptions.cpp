#include "OutputDescriptions.h"

#include "document/Config.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

std::string OutputDescriptionKey(std::string_view device, std::string_view number) {
    return std::string(device) + "/" + std::string(number);
}

bool EditOutputDescription(IniStore& cnf, UserPrompts& prompts, std::string_view device,
                           std::string_view number) {
    if (device.empty() || device.substr(0, 3) == "БКА"_cp)
        return false;
    const std::string key = OutputDescriptionKey(device, number);
    const std::string current = OutputDescription(cnf, key);
    const std::string typed = prompts.inputBox(key, "ВВЕДИТЕ ОПИСАНИЕ ФУНКЦИИ ВЫХОДА"_cp, current);
    SetOutputDescription(cnf, key, typed);
    return true;
}

} // namespace kvort
