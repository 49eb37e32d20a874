#include "DirectionRules.h"

#include "text/Format.h"

namespace kvort {

std::vector<std::string> RelayFunctionChoices() {
    std::vector<std::string> choices;
    choices.reserve(kRelayFunctionCount + 1);
    for (int code = 0; code < kRelayFunctionCount; ++code)
        choices.emplace_back(RelayFunctionWord(code));
    choices.emplace_back(word::kNone);
    return choices;
}

const DirectionRelays& DefaultDirectionRelays() {
    static const DirectionRelays relays{
        std::string(RelayFunctionWord(0)), std::string(RelayFunctionWord(1)),
        std::string(RelayFunctionWord(4)), std::string(RelayFunctionWord(6)),
        std::string(RelayFunctionWord(5))};
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
    for (int slot = 1; slot < kSlotCount; ++slot)
        if (IsBritKind(DisplayKind(SlotKind(cnf, slot))))
            slots.push_back(slot);
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
    if (choice.zone == word::kNone) {
        EraseDirection(cnf, direction);
        return;
    }
    const std::string sec = DirectionSection(direction);
    IniStore::Batch batch(cnf);
    Direction d = choice.toDirection();
    const bool linkChosen = !BritAddressIncomplete(choice);
    if (!linkChosen)
        d.brit = cnf.ReadString(sec, key::kBrit, "");
    WriteDirection(cnf, direction, d);
    if (linkChosen)
        cnf.DeleteKey(sec, key::kBdu4);
    batch.commit();
}

} // namespace kvort
