#pragma once
// The rules of the detector dialog and of zone-name typing that need no
// widget: what the dialog offers and shows for an address, and what saving
// or deleting writes into NAME.tbN. The dialog is a view over these; the
// questions it asks go through the UserPrompts port. CP1251 bytes.
#include "app/UserPrompts.h"
#include "document/Config.h"
#include "document/Detectors.h"
#include "document/IniStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace kvort {

inline constexpr int kZoneNameLength = 12;     // what the zone grid lets one type
inline constexpr int kDetectorTextLength = 20; // a message text

// A zone name as typed or pasted: upper case, the typing filter, at most
// kZoneNameLength characters. The detector text takes the same, to 20.
std::string ZoneNameInput(std::string_view typed);
std::string DetectorTextInput(std::string_view typed);

// Whether a slot of this [СОСТАВ] kind has the address: whether the detector
// grid shows it.
bool AddressOffered(std::string_view kind, int line, int address);

// The dialog refuses every address but 01 of a line whose 01 is a ШЛЕЙФ;
// shows the warning and returns true then.
bool RefuseOpening(UserPrompts& prompts, const IniStore& tb, const DetectorPlace& at);

// What the dialog offers at an address.
struct DetectorOffer {
    bool loopChoice = false; // the ninth type "ШЛЕЙФ"
    bool groupCopy = false;  // "копировать до", addresses 01..58
    int copyFrom = 0;        // the number field's lower bound
};
DetectorOffer OfferAt(std::string_view kind, int address);

// Which groups a type choice shows.
struct TypeView {
    bool groupCopy = false;
    bool linkedOutput = false;
    bool hideBox = false; // "не показывать на дисплее "
};
TypeView TypeRules(int choice, const DetectorOffer& offer);

// What the dialog shows, and what the person chose.
struct DetectorForm {
    int choice = kTypeSmoke;
    std::string text;
    std::string zone;
    bool stateOn = false;
    std::string device; // as listed ("ПИУ31" for a ПИУ), "" none
    std::string number;
    bool hide = false;
    bool copy = false;
    int copyTo = 0;
};

// The form for a record as it is on file. lastZone is the zone the dialog
// showed last time, kept for a record without a zone.
DetectorForm FillDetectorForm(const IniStore& cnf, const IniStore& tb, const DetectorPlace& at,
                              std::string_view lastZone);

// An empty zone, or exactly one of the names, counts as listed.
bool ZoneListed(std::string_view zone, const ZoneNames& zones);
// Shows "НАИМЕНОВАНИЕ ЗОНЫ ОТСУТСТВУЕТ В ОБЩЕМ СПИСКЕ ЗОН".
void ReportUnlistedZone(UserPrompts& prompts);

// The number list of a linked-output device (as listed).
std::vector<std::string> OutputNumbers(const IniStore& cnf, std::string_view device);

enum class SaveOutcome {
    Saved,
    Refused,      // no text or no zone: nothing written, the dialog stays
    LoopDeclined, // a ШЛЕЙФ question cancelled: the type goes back to ДЫМОВОЙ
};
struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Refused;
    std::vector<int> changed; // addresses of the site's line whose records changed
};
// Saving: the refusals and questions, then the record, the ШЛЕЙФ erase and
// the group copy, persisted as one write of the file.
SaveResult SaveDetector(UserPrompts& prompts, IniStore& tb, std::string_view kind,
                        const DetectorPlace& at, const DetectorForm& form);

} // namespace kvort
