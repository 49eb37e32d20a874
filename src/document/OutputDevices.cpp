#include "OutputDevices.h"

#include "Config.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

std::vector<std::string> BuildOutputDeviceList(const IniStore& cnf) {
    std::vector<std::string> list{std::string(), std::string("ПУ-П "_cp)};
    for (int n = 1; n < kSlotCount; ++n) {
        if (!cnf.KeyExists(SectionComposition(), std::to_string(n)))
            continue;
        const std::string kind = SlotKind(cnf, n);
        if (kind != "НЕТ"_cp && kind != "БДУ(4)"_cp && kind != "ПИУ"_cp && kind != "БРИТ"_cp)
            list.push_back(std::string("ППКП"_cp) + std::to_string(n));
    }
    for (int b = 1; b <= 8; ++b)
        list.push_back(std::string("БРВУ"_cp) + std::to_string(b));
    list.emplace_back("ВНЕШН"_cp);
    list.emplace_back("СЦЕН."_cp);
    // The composition has no gaps, so the first free slot ends the chain.
    for (int s = 0; s < kSlotCount; ++s) {
        if (!cnf.KeyExists(SectionComposition(), std::to_string(s)))
            break;
        const std::string kind = SlotKind(cnf, s);
        if (kind == "НЕТ"_cp)
            break;
        if (kind.rfind("ППК"_cp, 0) == 0 || kind.rfind("ПУ-"_cp, 0) == 0) {
            for (int k = 1; k <= KindLineCount(kind); ++k)
                list.push_back(std::string("БКА"_cp) + std::to_string(s) + std::to_string(k));
        } else if (kind.rfind("ПИУ"_cp, 0) == 0) {
            list.push_back(std::string("ПИУ"_cp) + std::to_string(s) + "1");
        }
    }
    return list;
}

} // namespace kvort
