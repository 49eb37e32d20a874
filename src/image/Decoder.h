#pragma once
// From a panel image back to a configuration file set.
#include "image/CodecProgress.h"
#include "image/PanelImage.h"

#include <filesystem>

namespace kvort {

// Fills NAME.cnf (cnfPath; the read path has written its skeleton) and
// writes NAME.tb0..NAME.tb8 beside it from the image; returns DeviceSeries
// as the image gives it (I when 0xDFF0 holds "I", else F/H).
//
// The image is untrusted: header bytes, the line map and every text offset
// are checked before they are followed, so a corrupted image decodes what
// is sane and never reads outside the buffer. Throws FileError when a file
// cannot be written; what was written before stays.
Series DecodePanelImage(const TPanelImage& image, const std::filesystem::path& cnfPath,
                        CodecProgress* progress = nullptr);

} // namespace kvort
