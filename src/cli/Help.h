#pragma once
// What kvortcfg says about itself: the overview, each command's usage and the
// version. The manual page and the shell completion are made from this text.
#include <iosfwd>
#include <string>

namespace kvort::cli {

struct Command;

void printUsage(std::ostream& out);
void printCommandUsage(std::ostream& out, const Command& command);
std::string versionText();

} // namespace kvort::cli
