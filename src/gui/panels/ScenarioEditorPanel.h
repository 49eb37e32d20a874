#pragma once
// The editor of one relay scenario: mode, zone or group, note and the ten
// steps. It holds the scenario being edited and applies the mode and device
// rules as the person chooses; saving, deleting and leaving are the page's.
#include "app/ScenarioDraft.h"
#include "document/Config.h"

#include <QGroupBox>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kvort::gui {

class DropDownList;

class ScenarioEditorPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit ScenarioEditorPanel(QWidget* parent);

    // The device list of every step (rebuilt with the scenario list).
    void setDevices(const std::vector<std::string>& devices);
    // Shows a scenario; its zone list offers these names for zones 1..255.
    void open(const ScenarioDraft& draft, const ZoneNames& zoneNames);
    const ScenarioDraft& draft() const { return m_draft; }
    int scenario() const { return m_draft.scenario; }

  signals:
    void saveRequested();
    void deleteRequested();
    void exitRequested();
    // A double-click on the device list of a step (0-based).
    void describeRequested(int step);

  private:
    struct StepRow {
        QLabel* label;
        DropDownList* device;
        DropDownList* number;
        DropDownList* state;
        QSpinBox* delay;
        std::string numbersFor; // the device whose numbers the list holds
    };
    void modeChosen(int index);
    void deviceChosen(int step);
    void noteEdited(const QString& text);
    void fillZoneList();
    void showSteps();

    ScenarioDraft m_draft;
    ZoneNames m_zoneNames;
    bool m_filling = false; // the panel sets its own controls

    DropDownList* m_mode;
    QLabel* m_zoneLabel;
    DropDownList* m_zone;
    QLineEdit* m_note;
    std::array<StepRow, kStepCount> m_steps{};
    QPushButton* m_save;
    QPushButton* m_delete;
    QPushButton* m_exit;
    QLabel* m_versionNote;
};

} // namespace kvort::gui
