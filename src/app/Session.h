#pragma once
// What the main window keeps for the whole run and the workflows share: the
// one panel image, the series it is meant for and the path of the open
// configuration (its extension is whichever member was addressed last).
#include "WorkbenchView.h"

#include "image/CodecProgress.h"
#include "image/PanelImage.h"

#include <filesystem>

namespace kvort {

struct PanelSession {
    TPanelImage image;
    Series DeviceSeries = Series::FH; // Unknown when undetermined or cancelled
    // The series the panel's reply named in the last search, as the link
    // writes it (0, 1, -1); a write's check takes DeviceSeries from it.
    int linkSeries = 0;
    std::filesystem::path CurrentConfigPath;
};

// Lets the encoder and the decoder report through the view port.
class ViewProgress : public CodecProgress {
  public:
    explicit ViewProgress(WorkbenchView& view) : m_view(view) {}
    void setStatus(std::string_view text) override {
        m_view.setStatus(text);
        m_view.processEvents();
    }
    void setProgress(int position, int max) override { m_view.setProgress(position, max); }
    void setBusy(bool busy) override { m_view.setBusy(busy); }

  private:
    WorkbenchView& m_view;
};

} // namespace kvort
