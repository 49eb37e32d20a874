#pragma once
// "Сравнить с прибором" and "Сравнить с файлом...", and the offer to check
// a write just made. The open configuration is only read: the comparison
// changes nothing in it.
#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "app/UserPrompts.h"
#include "app/Workflows.h"

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QAction;

namespace kvort {
struct Comparison;
}

namespace kvort::gui {

class CompareActions : public QObject {
    Q_OBJECT
  public:
    // enabledLike: the action whose enabled state these follow (the write:
    // a configuration is open and no transfer runs).
    CompareActions(ConfigSession& session, Workflows& workflows, UserPrompts& prompts,
                   ProgressSink& progress, QAction* enabledLike, QObject* parent);

    QAction* withPanel() const { return m_withPanel; }
    QAction* withFile() const { return m_withFile; }

    void compareWithPanel();
    void compareWithFile();
    // After a write the person confirmed: asks whether to read the panel
    // back and compare.
    void offerVerify();

    // How a comparison is shown (the dialog; tests look at it instead).
    using Show = std::function<void(const QString& title, const std::vector<std::string>& lead,
                                    const Comparison& comparison)>;
    void setShow(Show show) { m_show = std::move(show); }
    // What follows a search that found no panel (the machine's port hints).
    void setNoPanel(std::function<void()> noPanel) { m_noPanel = std::move(noPanel); }

  private:
    ConfigSession& m_session;
    Workflows& m_workflows;
    UserPrompts& m_prompts;
    ProgressSink& m_progress;
    QAction* m_withPanel;
    QAction* m_withFile;
    Show m_show;
    std::function<void()> m_noPanel;
};

// The question after a write (our own text, asked as its own box so that
// the write's completion message stays as it is).
std::string_view VerifyOfferQuestion();

} // namespace kvort::gui
