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
    int DeviceSeries = 0; // 0 = F/H, 1 = I, -1 = undetermined or cancelled
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
