#include "DirectionRules.h"

#include "text/Format.h"
#include "text/Literals.h"

namespace kvort {

using namespace text::literals;

std::vector<std::string> RelayFunctionChoices() {
    static constexpr std::string_view words[] = {
        "ПУСК 1"_cp,     "ПУСК 2"_cp,    "ПУСК 3"_cp,     "ПУСК 4"_cp, "ТАБЛО\"ОПОВЕЩ.\""_cp,
        "БЛОКИРОВКА"_cp, "АВТ.ОТКЛ."_cp, "ПОДАЧА ОТВ"_cp, "СТОП"_cp,   "РЕЗЕРВ.ПУСК"_cp,
        "НЕТ"_cp};
    return {std::begin(words), std::end(words)};
}

const DirectionRelays& DefaultDirectionRelays() {
    static const DirectionRelays relays{std::string("ПУСК 1"_cp), std::string("ПУСК 2"_cp),
                                        std::string("ТАБЛО\"ОПОВЕЩ.\""_cp),
                                        std::string("АВТ.ОТКЛ."_cp), std::string("БЛОКИРОВКА"_cp)};
    return relays;
}

std::vector<std::string> DirectionScenarioChoices() {
    std::vector<std::string> choices{""};
    for (int s = 1; s <= kScenarioCount; ++s)
        choices.push_back(text::Format("%2.2d", {s}));
    return choices;
}

std::vector<int> BritSlots(const IniStore& cnf) {
    std::vector<int> slots;
    for (int slot = 1; slot < kSlotCount; ++slot) {
        const std::string kind = DisplayKind(SlotKind(cnf, slot));
        if (kind == "БРИТ"_cp || kind == "БДУ(4)"_cp)
            slots.push_back(slot);
    }
    return slots;
}

void ResetDirectionChoice(DirectionChoice& choice) {
    choice.relays = DefaultDirectionRelays();
    choice.scenario.clear();
    choice.britModule.clear();
    choice.britLine.clear();
}

bool BritAddressIncomplete(const DirectionChoice& choice) {
    return !choice.britModule.empty() && choice.britLine.empty();
}

void WriteDirectionChoice(IniStore& cnf, int direction, const DirectionChoice& choice) {
    const std::string sec = DirectionSection(direction);
    if (choice.zone == "НЕТ"_cp) {
        cnf.EraseSection(sec);
        return;
    }
    IniStore::Batch batch(cnf);
    cnf.WriteString(sec, "ЗОНА"_cp, choice.zone);
    for (int r = 1; r <= kRelayCount; ++r)
        cnf.WriteString(sec, RelayKey(r), choice.relays[r - 1]);
    if (!choice.scenario.empty())
        cnf.WriteString(sec, "СЦЕН."_cp, choice.scenario);
    else
        cnf.DeleteKey(sec, "СЦЕН."_cp);
    if (!BritAddressIncomplete(choice)) {
        if (!choice.britModule.empty())
            cnf.WriteString(sec, "БРИТ"_cp, choice.britModule + choice.britLine + "/01");
        else
            cnf.DeleteKey(sec, "БРИТ"_cp);
        cnf.DeleteKey(sec, "БДУ4"_cp);
    }
    batch.commit();
}

} // namespace kvort
