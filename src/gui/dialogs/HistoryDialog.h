#pragma once
// The history of the open configuration: one row per entry (time, what
// happened, files and their sizes), newest first, and the restore button.
// Restoring asks first, naming the entry's time; the session keeps the
// current set as an entry of its own and loads the one restored.
#include "app/ConfigSession.h"
#include "app/Ports.h"
#include "app/UserPrompts.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace kvort::gui {

class HistoryDialog : public QDialog {
    Q_OBJECT
  public:
    // beforeRestore: hands what the window holds to the session, so that the
    // set kept before the restore is the one on screen.
    HistoryDialog(ConfigSession& session, UserPrompts& prompts, ProgressSink& progress,
                  std::function<void()> beforeRestore, QWidget* parent);

    QTreeWidget* tree() const { return m_tree; }
    QPushButton* restoreButton() const { return m_restore; }
    // The entry of a top-level row.
    std::string entryName(int row) const;

    // Restores the selected entry after the question; the dialog closes
    // once it has been restored.
    void restoreSelected();

  private:
    void fill();
    void selectionChanged();

    ConfigSession& m_session;
    UserPrompts& m_prompts;
    ProgressSink& m_progress;
    std::function<void()> m_beforeRestore;
    QTreeWidget* m_tree;
    QPushButton* m_restore;
    std::vector<HistoryEntry> m_entries; // in the rows' order
};

// The question before a restore (CP1251).
std::string RestoreQuestion(const HistoryEntry& entry);

} // namespace kvort::gui
