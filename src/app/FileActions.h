#pragma once
// The small actions on the files of the open configuration: the JSON export
// and opening the three archive texts.
#include "UserPrompts.h"

#include "archives/EventArchives.h"

#include <filesystem>
#include <optional>

namespace kvort {

// FileJSON: the save dialog starts at NAME.json; returns the file written,
// nullopt when cancelled. Throws FileError when it cannot be written.
std::optional<std::filesystem::path> FileJSON(const std::filesystem::path& currentConfigPath,
                                              UserPrompts& prompts);

// ReadArhiveAlarm / ReadArhiveFault / ReadArhiveEvent: opens the archive text
// of the configuration with the desktop's program, or says it is not there.
// Returns whether it was found.
bool OpenArchiveText(ArchiveKind kind, const std::filesystem::path& currentConfigPath,
                     UserPrompts& prompts);

} // namespace kvort
