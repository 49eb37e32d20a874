#pragma once
// "Релейные сценарии": the list of the 128 relay scenarios and the editor
// of one of them. Every save or delete goes straight into the file.
#include "gui/pages/ConfigPage.h"

class QTableView;

namespace kvort::gui {

class ScenarioEditorPanel;
class ScenarioListModel;

class ScenarioPage : public ConfigPage {
    Q_OBJECT
  public:
    ScenarioPage(const PageContext& context, QWidget* parent);
    QString title() const override;
    void load(SessionChange change) override;
    void shown() override;

    // The scenario list loader: the editor hidden (an unsaved scenario is
    // dropped), every row and the step device list read anew.
    void loadScenarioList();
    // Opens scenario 1..128 in the editor, as a double-click on its row does.
    void openScenario(int scenario);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void save();
    void remove();
    void describe(int step);

    ScenarioListModel* m_model;
    QTableView* m_list;
    ScenarioEditorPanel* m_editor;
};

} // namespace kvort::gui
