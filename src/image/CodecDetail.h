#pragma once
// Helpers shared by the encoder and decoder sources; not part of the
// layer's interface.
#include "document/IniStore.h"

#include <filesystem>

namespace kvort::detail {

// NAME.tbN beside the configuration file the store is open on.
std::filesystem::path DetectorFile(const IniStore& cnf, int slot);

} // namespace kvort::detail
