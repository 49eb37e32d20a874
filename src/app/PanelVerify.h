#pragma once
// Does the panel hold the configuration? The image read from the panel is
// compared byte for byte with the image a write of the configuration sends,
// over the bytes that are the configuration's (a panel of series F/H keeps
// its event archives in the same memory), and when they differ the
// configurations are compared as the installer sees them.
#include "app/ConfigCompare.h"
#include "image/PanelImage.h"

#include <cstdint>
#include <filesystem>

namespace kvort {

// True for the bytes of an image of the series that a write puts there.
bool IsConfigurationByte(std::uint32_t offset, Series series);

struct PanelVerification {
    Series series = Series::FH; // from the read image's marker
    int differingBytes = 0;     // configuration bytes that differ
    std::uint32_t firstOffset = 0;
    Comparison comparison; // A = the configuration, B = the panel
    bool same() const { return differingBytes == 0; }
};

// The configuration's file is only read; nothing is written beside it.
PanelVerification VerifyPanelImage(const TPanelImage& panel, const std::filesystem::path& cnf);

// The report: the byte count and, when they differ, the comparison's lines.
std::vector<std::string> FormatVerification(const PanelVerification& v);

} // namespace kvort
