#pragma once
// The end of every read, from the panel or from a card: ask whether to keep
// the image, and if so write NAME.bin, the configuration files decoded from
// it and the event archives, then let the window load the result.
#include "ConfigSession.h"
#include "Ports.h"

#include <filesystem>
#include <optional>
#include <string>

namespace kvort {

enum class ReadSource { Panel = 0, Card = 1 };

// The series I archives of a card come from this file in the folder the
// person chose (which is then the working directory).
inline constexpr const char* kCardArchiveFile = "ARHIVE.BIN";

// "ЧТЕНИЕ КОНФИГУРАЦИИ ЗАКОНЧЕНО. СОХРАНИТЬ?" (CP1251)
std::string ReadSaveQuestion();

// session.image holds the image just read. Returns NAME.cnf of the saved
// configuration (session.CurrentConfigPath then points at it and
// session.DeviceSeries is the image's series), or nullopt when the person
// did not save it. The files are complete before ports.reads hears of them.
// Throws FileError when a file cannot be written or the card's ARHIVE.BIN
// is shorter than an image; files written before stay.
std::optional<std::filesystem::path> CompleteRead(PanelSession& session, ReadSource source,
                                                  const Ports& ports);

} // namespace kvort
