#pragma once
// What the encoder and the decoder tell the person while they run: the
// activity text of the status bar and the progress bar. The window forwards
// it to its widgets, the command line may print it; tests record it.
#include <string_view>

namespace kvort {

class CodecProgress {
  public:
    virtual ~CodecProgress() = default;
    // CP1251 text for panel 1 of the status bar ("" clears it).
    virtual void setStatus(std::string_view text) { (void)text; }
    // Position within [0, max].
    virtual void setProgress(int position, int max) {
        (void)position;
        (void)max;
    }
    virtual void setBusy(bool busy) { (void)busy; }
};

} // namespace kvort
