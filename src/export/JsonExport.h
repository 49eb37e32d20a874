#pragma once
// The JSON file for the panel's companion software: the relay scenarios that
// carry a note and every detector address of the configuration. It is built
// line by line, and its spacing is part of what the readers of the file
// expect, so it is written by hand, not by a JSON library.
#include <filesystem>
#include <string>

namespace kvort {

// The file's bytes (UTF-8, CR LF) for the configuration NAME.cnf (any member
// of the set names it); NAME.tb0 .. NAME.tb8 are read where they exist.
std::string BuildJson(const std::filesystem::path& config);

// Writes BuildJson to `out`, replacing it atomically: a failed write leaves
// whatever was there before. Throws FileError naming `out`.
void ExportJson(const std::filesystem::path& config, const std::filesystem::path& out);

// CP1251 text as the content of a JSON string (UTF-8, escaped).
std::string JsonStringContent(std::string_view cp1251);

} // namespace kvort
