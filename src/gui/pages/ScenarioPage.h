#pragma once
// "Релейные сценарии". The scenario editor comes in a later version; the
// tab lists the scenarios of the file, read-only, so nothing looks editable
// that is not.
#include "gui/pages/ConfigPage.h"

class QTableWidget;

namespace kvort::gui {

class ScenarioPage : public ConfigPage {
    Q_OBJECT
  public:
    ScenarioPage(const PageContext& context, QWidget* parent);
    QString title() const override;
    void load(SessionChange change) override;
    void shown() override;

  private:
    void loadScenarioList();
    QTableWidget* m_list;
};

} // namespace kvort::gui
