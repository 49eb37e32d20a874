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

// Slots whose kind is no panel of its own relays. The empty kind counts as
// a panel here, as it does for the detector view.
bool holdsPanel(std::string_view kind) {
    return kind != word::kNone && kind != word::kKindBdu && kind != word::kKindPiu &&
           kind != word::kKindBrit;
}

constexpr int kPiuStepOutputs = 24;

} // namespace

std::vector<std::string> BuildOutputDeviceList(const IniStore& cnf) {
    std::vector<std::string> list{std::string(), DeviceRef{DeviceKind::Pu}.name()};
    for (int n = 1; n < kSlotCount; ++n)
        if (cnf.KeyExists(SectionComposition(), SlotKey(n)) && holdsPanel(SlotKind(cnf, n)))
            list.push_back(DeviceRef{DeviceKind::Ppkp, n}.name());
    for (int n = 1; n <= 8; ++n)
        list.push_back(DeviceRef{DeviceKind::Brvu, n}.name());
    list.push_back(DeviceRef{DeviceKind::External}.name());
    list.push_back(DeviceRef{DeviceKind::Scenario}.name());
    // The module lines follow the composition only as far as its first
    // empty slot: the slots are filled without gaps, and the panel never
    // looks past one.
    for (int s = 0; s < kSlotCount; ++s) {
        if (!cnf.KeyExists(SectionComposition(), SlotKey(s)) || SlotEmpty(cnf, s))
            break;
        const std::string kind = SlotKind(cnf, s);
        if (startsWith(kind, "ППК"_cp) || startsWith(kind, "ПУ-"_cp)) {
            const int lines = KindLineCount(kind);
            for (int k = 1; k <= lines; ++k)
                list.push_back(DeviceRef{DeviceKind::Bka, s, k}.name());
        } else if (startsWith(kind, word::kKindPiu)) {
            list.push_back(DeviceRef{DeviceKind::Piu, s, 1}.name());
        }
    }
    return list;
}

std::vector<std::string> StepNumberList(std::string_view device) {
    int count = 0;
    // By the beginning of the name, so that a device read from a file that
    // names no device of this composition still offers its numbers.
    if (device == "ПУ-П "_cp || startsWith(device, "ППКП"_cp) || startsWith(device, "БРВУ"_cp))
        count = kOutputsPerDevice; // whatever the panel's line count
    else if (startsWith(device, word::kKindPiu))
        count = kPiuStepOutputs;
    else if (startsWith(device, "БКА"_cp))
        count = kAddressesPerLine;
    else if (device == "ВНЕШН"_cp || device == "СЦЕН."_cp)
        count = kScenarioCount;
    std::vector<std::string> numbers;
    numbers.reserve(count);
    for (int n = 1; n <= count; ++n)
        numbers.push_back(text::Format("%2.2d", {n}));
    return numbers;
}

} // namespace kvort
