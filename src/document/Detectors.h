#pragma once
// Detector records of one composition slot, kept in NAME.tbN: one section
// per address, named by the SensorAddress ("И" slot line "-" address).
#include "IniStore.h"
#include "Vocabulary.h"

#include <optional>
#include <string>
#include <string_view>

namespace kvort {

// The type words in the order of the panel's type codes.
inline constexpr int kTypeCount = 9;
std::string_view TypeWord(int code);    // "ДЫМОВОЙ" .. "ШЛЕЙФ"
std::string_view TypeCaption(int code); // as the detector dialog shows it
int TypeCode(std::string_view word);    // -1 for an unknown word
// Code of ШЛЕЙФ, БКА, and the last type that may carry a linked output.
inline constexpr int kTypeSmoke = 0;
inline constexpr int kTypeTech = 5;
inline constexpr int kTypeNoLatch = 6;
inline constexpr int kTypeBka = 7;
inline constexpr int kTypeLoop = 8;

struct DetectorRecord {
    std::string text;   // ТЕКСТ; empty = no detector
    std::string type;   // ТИП
    std::string zone;   // ЗОНА
    std::string state;  // СОСТОЯНИЕ
    std::string output; // ВЫХОД
    std::string hide;   // СКРЫТЬ
    bool present() const { return !text.empty(); }
};

// The defaults the readers pass.
struct DetectorDefaults {
    std::string type;        // "" (the encoder takes "" as ДЫМОВОЙ)
    std::string state = "";  // the dialog passes "ВЫКЛ"
    std::string output = ""; // the dialog passes "НЕТ"
    std::string hide = "";   // the dialog passes "НЕТ"
};
DetectorRecord ReadDetector(const IniStore& tb, int slot, int line, int address,
                            const DetectorDefaults& defaults = {});
DetectorRecord ReadDetector(const IniStore& tb, const DetectorPlace& at,
                            const DetectorDefaults& defaults = {});
// The defaults the encoder and the exports pass: a missing СОСТОЯНИЕ is
// "ВЫКЛ", a missing ВЫХОД "НЕТ".
DetectorDefaults CodecDefaults();
// СОСТОЯНИЕ as the encoder reads it: anything but exactly "ВЫКЛ" is on.
bool StateOn(std::string_view state);
// СКРЫТЬ as the encoder reads it: only exactly "ДА" hides.
bool Hidden(std::string_view hide);
// Writes ТЕКСТ, СОСТОЯНИЕ, ТИП, ЗОНА in this order, then ВЫХОД and СКРЫТЬ:
// written when non-empty and not "НЕТ" and the type allows them (ВЫХОД only
// for ДЫМОВОЙ..БЕЗ ФИКСАЦИИ, СКРЫТЬ not for ШЛЕЙФ), deleted otherwise; a БКА
// record leaves an existing СКРЫТЬ as it is.
// A ШЛЕЙФ at address 01 erases addresses 02..60 of its line.
void WriteDetector(IniStore& tb, int slot, int line, int address, const DetectorRecord& rec);
void DeleteDetector(IniStore& tb, int slot, int line, int address);
// A record as the decoder writes it from an image: ТИП, ЗОНА, СОСТОЯНИЕ
// and ТЕКСТ in this order.
void WriteDecodedDetector(IniStore& tb, const DetectorPlace& at, std::string_view type,
                          std::string_view zone, std::string_view state, std::string_view text);
// The linked output of a record and, when hidden, СКРЫТЬ = "ДА".
void WriteLinkedOutput(IniStore& tb, const DetectorPlace& at, std::string_view output, bool hidden);
// Erases the records of addresses 02..60 of a line (the ШЛЕЙФ rule).
void EraseLoopLine(IniStore& tb, int slot, int line);

// A linked output "DEVICE/NN/" (or "DEVICE/NNN/").
struct LinkedOutput {
    std::string device; // 5 characters
    std::string number; // "05", "097"
};
// The reading rule: device = characters 1-5; the number is characters 7-8,
// except for devices beginning "СЦЕ" or "ВНЕ" in a value that is not 9
// characters long, where it is 7-9. nullopt for "", "НЕТ" or a value too
// short to hold a device and a number.
std::optional<LinkedOutput> ParseLinkedOutput(std::string_view value);
// The width rule of that reading, shared with the encoder: three digits for
// "СЦЕ" and "ВНЕ" unless the value is 9 characters long.
bool LinkedOutputHasWideNumber(std::string_view value);
std::string JoinLinkedOutput(std::string_view device, std::string_view number);
// ПИУ <-> БКА: the editors list "ПИУ" + slot + "1" where the file has "БКА".
std::string StoredOutputDevice(std::string_view shownDevice); // ПИУ31 -> БКА31
// БКА31 -> ПИУ31 when [СОСТАВ] 3 of the configuration is "ПИУ"; else unchanged.
std::string ShownOutputDevice(std::string_view storedDevice, const IniStore& cnf);

} // namespace kvort
