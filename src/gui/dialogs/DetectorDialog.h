#pragma once
// The detector dialog: one record of a detector text file, edited and
// written at once. Created once per run and reused, so the text history and
// the last zone shown live as long as the program. Opened window-modal with
// openFor(); it reports what it wrote through recordsChanged() and closes
// only through its own buttons and keys (Enter saves, Ctrl+Delete deletes,
// Esc leaves).
#include "app/DetectorEditor.h"
#include "app/UserPrompts.h"
#include "document/Config.h"
#include "document/IniStore.h"

#include <QDialog>
#include <QList>
#include <array>
#include <filesystem>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kvort::gui {

class DropDownList;
class ListKeyFilter;

class DetectorDialog : public QDialog {
    Q_OBJECT
  public:
    explicit DetectorDialog(UserPrompts& prompts, QWidget* parent = nullptr);
    ~DetectorDialog() override;

    // Opens the dialog for an address of the slot whose records are in
    // tbPath. cnf and zones must outlive the opening. Returns false (the
    // dialog stays closed) for an address of a ШЛЕЙФ line other than 01.
    bool openFor(const IniStore& cnf, const std::filesystem::path& tbPath, const DetectorPlace& at,
                 const ZoneNames& zones);

    // The person's choices as they stand.
    DetectorForm form() const;

  signals:
    // Records of the line were written or erased (addresses); saved tells a
    // save from a delete.
    void recordsChanged(int slot, int line, QList<int> addresses, bool saved);

  protected:
    void done(int result) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void applyTypeRules(int choice);
    void rebuildDevices();
    void deviceChosen();
    void fill(const DetectorForm& form);
    void checkZone();
    void save();
    void erase();
    void rememberText(const QString& text);

    UserPrompts& m_prompts;
    ListKeyFilter* m_keyFilter;
    const IniStore* m_cnf = nullptr;
    const ZoneNames* m_zones = nullptr;
    std::unique_ptr<IniStore> m_tb; // only while the dialog is open
    DetectorPlace m_at;
    std::string m_kind;
    DetectorOffer m_offer;

    QButtonGroup* m_types = nullptr;
    std::array<QRadioButton*, kTypeCount> m_typeButtons{};
    QComboBox* m_text = nullptr;
    DropDownList* m_zone = nullptr;
    QGroupBox* m_stateGroup = nullptr;
    QRadioButton* m_stateOn = nullptr;
    QRadioButton* m_stateOff = nullptr;
    QGroupBox* m_outputGroup = nullptr;
    DropDownList* m_device = nullptr;
    DropDownList* m_number = nullptr;
    QCheckBox* m_hide = nullptr;
    QGroupBox* m_copyGroup = nullptr;
    QCheckBox* m_copy = nullptr;
    QSpinBox* m_copyTo = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_exitButton = nullptr;
};

} // namespace kvort::gui
