#pragma once
// Helpers shared by the encoder and decoder sources; not part of the
// layer's interface.
#include "document/IniStore.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kvort::detail {

// The device chain of [ПРИБОРЫ]: 0 when there is no ПУ-П, else 1 + the
// number of ППКП1, ППКП2 ... keys present before the first missing one.
int DeviceChainLength(const IniStore& cnf);

// NAME.tbN beside the configuration file the store is open on.
std::filesystem::path DetectorFile(const IniStore& cnf, int slot);

// A decimal number in characters first..last (1-based, inclusive) of a
// value; ConvertError naming the place when they are not all digits or lie
// past the end of the value.
int NumberAt(std::string_view value, std::size_t first, std::size_t last,
             const std::filesystem::path& file, std::string_view section, std::string_view key);

} // namespace kvort::detail
