#pragma once
// One fire-extinguishing direction on the "Пожаротушение" tab: its zone,
// the functions of its five relays, its scenario, its БРИТ line and its own
// save button. The page holds eight of them; the group only shows and
// reports what is chosen, the page writes.
#include "document/Lifecycle.h"

#include <QGroupBox>

#include <array>
#include <vector>

class QLabel;
class QPushButton;

namespace kvort::gui {

class DropDownList;

class DirectionGroup : public QGroupBox {
    Q_OBJECT
  public:
    DirectionGroup(int direction, QWidget* parent);

    int direction() const { return m_direction; }
    // Refills the zone list ("НЕТ", then zones 1..255; zone 256 cannot be
    // chosen) and the slot list (the empty entry, then the БРИТ slots).
    // What the lists showed is not kept: a load follows.
    void setZoneNames(const ZoneNames& names);
    void setBritSlots(const std::vector<int>& britSlots);
    // Shows a direction as loaded. Texts the lists do not hold (a zone
    // renamed since, a slot that no longer holds a БРИТ) are shown as they
    // are.
    void showChoice(const DirectionChoice& choice);
    // What the group shows.
    DirectionChoice choice() const;
    void setSaveEnabled(bool enabled);

  signals:
    // The person chose an entry in one of the lists.
    void chosen();
    void saveRequested();

  private:
    // With a zone the relays, the scenario and the БРИТ line are shown;
    // without one they are hidden and put back to the defaults.
    void applyVisibility();
    DropDownList* addList(const QString& name);

    int m_direction;
    DropDownList* m_zone;
    std::array<DropDownList*, kRelayCount> m_relays{};
    DropDownList* m_scenario;
    DropDownList* m_slot;
    DropDownList* m_line;
    QPushButton* m_save;
    // Shown only with a zone: the relay, scenario and БРИТ labels and lists.
    std::vector<QWidget*> m_zoneDetails;
};

} // namespace kvort::gui
