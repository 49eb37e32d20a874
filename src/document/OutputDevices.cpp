#include "OutputDevices.h"

#include "Config.h"
#include "text/Format.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Slots whose kind is no panel of its own relays.
bool holdsPanel(std::string_view kind) {
    return kind != "НЕТ"_cp && kind != "БДУ(4)"_cp && kind != "ПИУ"_cp && kind != "БРИТ"_cp;
}

} // namespace

std::vector<std::string> BuildOutputDeviceList(const IniStore& cnf) {
    std::vector<std::string> list{std::string(), std::string("ПУ-П "_cp)};
    for (int n = 1; n < kSlotCount; ++n)
        if (cnf.KeyExists(SectionComposition(), std::to_string(n)) && holdsPanel(SlotKind(cnf, n)))
            list.push_back(std::string("ППКП"_cp) + std::to_string(n));
    for (int n = 1; n <= 8; ++n)
        list.push_back(std::string("БРВУ"_cp) + std::to_string(n));
    list.emplace_back("ВНЕШН"_cp);
    list.emplace_back("СЦЕН."_cp);
    // The module lines follow the composition only as far as its first
    // empty slot: the slots are filled without gaps, and the panel never
    // looks past one.
    for (int s = 0; s < kSlotCount; ++s) {
        if (!cnf.KeyExists(SectionComposition(), std::to_string(s)) || SlotEmpty(cnf, s))
            break;
        const std::string kind = SlotKind(cnf, s);
        if (startsWith(kind, "ППК"_cp) || startsWith(kind, "ПУ-"_cp)) {
            const int lines = KindLineCount(kind);
            for (int k = 1; k <= lines; ++k)
                list.push_back(std::string("БКА"_cp) + std::to_string(s) + std::to_string(k));
        } else if (startsWith(kind, "ПИУ"_cp)) {
            list.push_back(std::string("ПИУ"_cp) + std::to_string(s) + "1");
        }
    }
    return list;
}

std::vector<std::string> StepNumberList(std::string_view device) {
    int count = 0;
    if (device == "ПУ-П "_cp || startsWith(device, "ППКП"_cp) || startsWith(device, "БРВУ"_cp))
        count = 8;
    else if (startsWith(device, "ПИУ"_cp))
        count = 24;
    else if (startsWith(device, "БКА"_cp))
        count = 60;
    else if (device == "ВНЕШН"_cp || device == "СЦЕН."_cp)
        count = 128;
    std::vector<std::string> numbers;
    numbers.reserve(count);
    for (int n = 1; n <= count; ++n)
        numbers.push_back(text::Format("%2.2d", {n}));
    return numbers;
}

} // namespace kvort
