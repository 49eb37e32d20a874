#pragma once
// What the workflows show besides questions: the activity text in panel 1
// of the status bar, the progress bar, the busy cursor and the actions that
// must not start while a long operation runs. Texts are CP1251.
#include <filesystem>
#include <string_view>

namespace kvort {

class WorkbenchView {
public:
    virtual ~WorkbenchView() = default;

    // Panel 1 of the status bar ("     ..." while an activity runs, "" after).
    virtual void setStatus(std::string_view text) = 0;
    // The progress bar: position within [0, max]; (0, 0) hides it.
    virtual void setProgress(int position, int max) = 0;
    virtual void setBusy(bool busy) = 0;
    // Enables or disables the actions that could start another operation
    // (a transfer disables them while it waits).
    virtual void setOperationsEnabled(bool enabled) = 0;
    // Lets the person's window breathe during long work in the UI thread.
    virtual void processEvents() {}

    // The end of a read (from the panel or a card). The window hides its
    // tab area and disables the nine actions when a read begins; re-enables
    // opening, creating, reading and JSON export when the image was not
    // saved; re-enables only opening, creating and reading when no image
    // came (no panel, a lost link); and loads the configuration a saved read
    // has just written (labels of the composition panel, tab area,
    // LoadConfigView, source line, focus). The files are complete before the
    // last call.
    virtual void beginRead() {}
    virtual void readNotSaved() {}
    virtual void readFailed() {}
    virtual void showReadConfiguration(const std::filesystem::path& cnf) { (void)cnf; }
    // "notify.wav" at the end of a transfer or a card read.
    virtual void playNotify() {}
};

// A view that shows nothing: for callers that do not care.
class NullView : public WorkbenchView {
public:
    void setStatus(std::string_view) override {}
    void setProgress(int, int) override {}
    void setBusy(bool) override {}
    void setOperationsEnabled(bool) override {}
};

} // namespace kvort
