#pragma once
// The end of every read, from the panel or from a card: ask whether to keep
// the image, and if so write NAME.bin, the configuration files decoded from
// it and the event archives, then let the window load the result.
#include "ConfigSession.h"
#include "Ports.h"

#include "document/ConfigHistory.h"
#include "image/Decoder.h"

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

// The series an image names (its I marker), as the history records it.
ImageSeries SeriesOfImage(const TPanelImage& image);
ImageSeries HistorySeries(Series series);

// The image a read brought in: NAME.bin receives it and the history entry
// keeps it as read from its medium.
struct ReadImage {
    std::string_view bytes;
    ImageMedium medium = ImageMedium::Panel;
};

// A decoded configuration saved under the chosen name (extension replaced
// by ".cnf") as one step: NAME.cnf, NAME.tbN of its slots and, for a read,
// NAME.bin. The files it replaces, detector files of slots it does not
// have and the working copies of NAME go into one history entry (`reason`).
// Throws FileError (or HistoryError); then no file of the set changed.
struct SavedSet {
    std::filesystem::path cnf;
    HistoryEntry kept; // empty name: there was nothing to keep
};
SavedSet SaveDecodedConfig(const DecodedConfig& config, const std::filesystem::path& chosen,
                           std::string_view reason, const std::optional<ReadImage>& image);

// session.image holds the image just read. Returns NAME.cnf of the saved
// configuration (session.CurrentConfigPath then points at it and
// session.DeviceSeries is the image's series), or nullopt when the person
// did not save it. The files are complete before ports.reads hears of them.
// The image is decoded before any file changes: an image the decoder
// refuses (ImageError) or a file that cannot be written (FileError) leaves
// the set of the chosen name as it was. A read that is not saved is still
// kept in the history of the open configuration, if there is one. Throws
// FileError when the card's ARHIVE.BIN is shorter than an image.
std::optional<std::filesystem::path> CompleteRead(PanelSession& session, ReadSource source,
                                                  const Ports& ports);

} // namespace kvort
