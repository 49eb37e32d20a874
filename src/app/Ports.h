#pragma once
// The narrow ports through which the workflows show what they do, besides
// the questions of UserPrompts. Each has one concern; the window, the
// command line and the tests implement what they need and take the null
// one for the rest. Texts are CP1251.
#include "UserPrompts.h"

#include "image/CodecProgress.h"

#include <filesystem>
#include <string_view>

namespace kvort {

// The activity text (panel 1 of the status bar: "     ..." while it runs,
// "" after), the progress bar, the busy cursor and the sound at the end of
// a transfer.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void setStatus(std::string_view text) = 0;
    // Position within [0, max]; (0, 0) hides the bar.
    virtual void setProgress(int position, int max) = 0;
    virtual void setBusy(bool busy) = 0;
    // Lets the window breathe during long work on the UI thread.
    virtual void processEvents() {}
    // "notify.wav" at the end of a transfer or a card read.
    virtual void playNotify() {}
};

// Where a workflow stands, as far as what else may be started meanwhile.
enum class WorkflowStage {
    TransferRunning, ///< a write holds the port and the image: nothing may start
    TransferEnded,   ///< the write ended, however
    ReadRunning,     ///< a read replaces the configuration: it is put away
    ReadNotSaved,    ///< the image came but was not kept (only JSON, open, new, read)
    ReadFailed,      ///< no image came (only open, new, read)
    ReadSaved,       ///< the image was kept: its configuration is about to be shown
};

// What may be done while a workflow runs.
class ActionGate {
  public:
    virtual ~ActionGate() = default;
    virtual void enter(WorkflowStage stage) = 0;
};

// What a read hands back: the configuration it has just written and made
// the session's own, complete on disk.
class ReadObserver {
  public:
    virtual ~ReadObserver() = default;
    virtual void configurationRead(const std::filesystem::path& cnf) = 0;
};

class NullProgress : public ProgressSink {
  public:
    void setStatus(std::string_view) override {}
    void setProgress(int, int) override {}
    void setBusy(bool) override {}
};
class NullGate : public ActionGate {
  public:
    void enter(WorkflowStage) override {}
};
class NullReadObserver : public ReadObserver {
  public:
    void configurationRead(const std::filesystem::path&) override {}
};

// The ports one workflow talks through.
struct Ports {
    UserPrompts& prompts;
    ProgressSink& progress;
    ActionGate& gate;
    ReadObserver& reads;
};

// Lets the encoder and the decoder report through a progress sink.
class SinkProgress : public CodecProgress {
  public:
    explicit SinkProgress(ProgressSink& sink) : m_sink(sink) {}
    void setStatus(std::string_view text) override {
        m_sink.setStatus(text);
        m_sink.processEvents();
    }
    void setProgress(int position, int max) override { m_sink.setProgress(position, max); }
    void setBusy(bool busy) override { m_sink.setBusy(busy); }

  private:
    ProgressSink& m_sink;
};

} // namespace kvort
