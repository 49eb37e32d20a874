#pragma once
// The SD-card path: the image as a file of 65536 bytes ("CONFIG.BIN" by
// default) and, for series I, the archive file "ARHIVE.BIN" beside it.
#include "ConfigSession.h"
#include "Ports.h"
#include "ReadCompletion.h"

#include "document/Config.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvort {

enum class CardWriteOutcome {
    Written,   // the card file (and for series I ARHIVE.BIN) written
    Cancelled, // series dialog or save dialog cancelled
    Stopped,   // the configuration check stopped the write
};

// The warning a card file longer than an image gets (CP1251): its first
// 65536 bytes are read, which is what the panel wrote; the rest is not ours.
std::string CardFileLongerText(const std::filesystem::path& file);

// The file dialogs of the card actions.
FileDialogOptions CardFileDialog();

// Encodes the configuration at session.CurrentConfigPath for the series the
// person chooses, checks it and saves the image as a card file. zoneGrid is
// the zone names the person sees (unsaved edits included); `notes` open the
// check's report. The image written is kept in the configuration's history.
CardWriteOutcome WriteConfigCard(PanelSession& session, const ZoneNames& zoneGrid,
                                 const Ports& ports, const std::vector<std::string>& notes = {});

// Loads an image from a card file and completes the read. nullopt when the
// open dialog was cancelled (nothing changed) or the image was not saved.
// A file shorter than an image throws FileError naming it and its size,
// before anything is changed.
std::optional<std::filesystem::path> ReadConfigCard(PanelSession& session, const Ports& ports);

} // namespace kvort
