#pragma once
// The direction editor's side of NAME.cnf: the entries its lists offer, the
// relays a direction without zone shows, and the one writer behind both a
// direction's own save button and saving the whole configuration.
#include "Config.h"
#include "Lifecycle.h"

#include <array>
#include <string>
#include <vector>

namespace kvort {

using DirectionRelays = std::array<std::string, kRelayCount>;

// The function list of every relay, in the order of their codes in the
// image: "ПУСК 1" .. "РЕЗЕРВ.ПУСК", then "НЕТ".
std::vector<std::string> RelayFunctionChoices();
// РЕЛЕ 1..5 of a direction without zone: "ПУСК 1", "ПУСК 2",
// "ТАБЛО"ОПОВЕЩ."", "АВТ.ОТКЛ.", "БЛОКИРОВКА".
const DirectionRelays& DefaultDirectionRelays();
// The scenario list: the empty entry, then "01" .. "128".
std::vector<std::string> DirectionScenarioChoices();
// The slots 1..8, in order, whose [СОСТАВ] value names a БРИТ module
// ("БРИТ", or its obsolete name "БДУ(4)").
std::vector<int> BritSlots(const IniStore& cnf);

// What a group shows when its zone is "НЕТ": the default relays and empty
// scenario, slot and line. The zone is kept.
void ResetDirectionChoice(DirectionChoice& choice);
// A БРИТ slot chosen without its line: the one address a direction's save
// button refuses.
bool BritAddressIncomplete(const DirectionChoice& choice);

// Writes direction n as the editor holds it. "НЕТ" erases the section;
// otherwise ЗОНА and the five relays are written, "СЦЕН." and БРИТ written or
// deleted. The older БДУ4 key goes once БРИТ has been written or deleted:
// the editor shows БДУ4 first and the encoder reads БРИТ first, so keeping
// both would let the screen and the panel name different modules. A slot
// without a line (only saving the whole configuration gets this far with
// one) leaves both keys as the file holds them rather than write a link the
// encoder cannot read.
void WriteDirectionChoice(IniStore& cnf, int direction, const DirectionChoice& choice);

} // namespace kvort
