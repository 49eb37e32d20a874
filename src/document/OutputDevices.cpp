#include "OutputDevices.h"

#include "Config.h"
#include "Vocabulary.h"

namespace kvort {

std::vector<std::string> BuildOutputDeviceList(const IniStore& cnf) {
    std::vector<std::string> list{std::string(), DeviceRef{DeviceKind::Pu}.name()};
    for (int n = 1; n < kSlotCount; ++n) {
        if (!cnf.KeyExists(SectionComposition(), SlotKey(n)))
            continue;
        const std::string kind = SlotKind(cnf, n);
        if (kind != word::kNone && kind != word::kKindBdu && kind != word::kKindPiu &&
            kind != word::kKindBrit)
            list.push_back(DeviceRef{DeviceKind::Ppkp, n}.name());
    }
    for (int b = 1; b <= kOutputsPerDevice; ++b)
        list.push_back(DeviceRef{DeviceKind::Brvu, b}.name());
    list.push_back(DeviceRef{DeviceKind::External}.name());
    list.push_back(DeviceRef{DeviceKind::Scenario}.name());
    // The composition has no gaps, so the first free slot ends the chain.
    for (int s = 0; s < kSlotCount; ++s) {
        if (!cnf.KeyExists(SectionComposition(), SlotKey(s)))
            break;
        const std::string kind = SlotKind(cnf, s);
        if (kind == word::kNone)
            break;
        const std::string_view head = std::string_view(kind).substr(0, 3);
        if (head == word::kKindPpkp.substr(0, 3) || head == word::kKindPu.substr(0, 3)) {
            for (int k = 1; k <= KindLineCount(kind); ++k)
                list.push_back(DeviceRef{DeviceKind::Bka, s, k}.name());
        } else if (head == word::kKindPiu) {
            list.push_back(DeviceRef{DeviceKind::Piu, s, 1}.name());
        }
    }
    return list;
}

} // namespace kvort
