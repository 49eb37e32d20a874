#pragma once
// One tab of the window: an editor of one part of the configuration, built
// on the session alone (no main window needed, so each can be tried on its
// own). It is told when the session changes to another configuration, when
// the person switches to it, and asked before saving for what it holds that
// the session does not yet know.
#include "app/ConfigSession.h"
#include "app/Ports.h"

#include <QWidget>

#include <functional>

namespace kvort::gui {

// What every page works with.
struct PageContext {
    ConfigSession& session;
    UserPrompts& prompts;
    ProgressSink& progress; // status panel 1 and the busy cursor
};

class ConfigPage : public QWidget, private SessionObserver {
    Q_OBJECT
  public:
    ConfigPage(const PageContext& context, QWidget* parent);
    ~ConfigPage() override;

    // The tab's caption.
    virtual QString title() const = 0;
    // Shows the configuration the session has just changed to.
    virtual void load(SessionChange change) = 0;
    // The person has switched to this page (not the program's own choice).
    virtual void shown() {}
    // Hands to the session what the page holds and it does not yet know.
    virtual void flush() {}
    // Edits on this page that flush() has not yet handed over.
    virtual bool isModified() const { return false; }

  protected:
    ConfigSession& session() { return m_context.session; }
    UserPrompts& prompts() { return m_context.prompts; }
    ProgressSink& progress() { return m_context.progress; }
    // The action boundary for the page's own handlers.
    bool guarded(const std::function<void()>& body);

  private:
    void configurationChanged(SessionChange change) override { load(change); }
    PageContext m_context;
};

} // namespace kvort::gui
