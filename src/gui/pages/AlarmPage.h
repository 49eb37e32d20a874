#pragma once
// "Сигнализация": the composition, the zone names and the detectors of the
// shown slot, with the БРВУ and БДУ blocks in use.
#include "gui/pages/ConfigPage.h"

#include <QList>

#include <string>

namespace kvort::gui {

class CompositionPanel;
class DetectorDialog;
class DetectorGrid;
class ZoneGrid;

class AlarmPage : public ConfigPage {
    Q_OBJECT
  public:
    AlarmPage(const PageContext& context, QWidget* parent);

    QString title() const override;
    // LoadConfigView, or the part of a new configuration the page shows.
    void load(SessionChange change) override;
    void shown() override;
    void scenariosSaved() override { showRelayBlockLabels(); }

    // A new configuration is being asked for: the composition reset and
    // shown alone.
    void beginNew();
    // The zone and detector panels shown again.
    void showPanels();
    QWidget* zoneGrid() const;
    // The detector dialog, made once with the page and kept for the run.
    DetectorDialog* detectorDialog() const { return m_dialog; }

    // ShowRelayBlockLabels, ShowExtinguishingBlockLabels.
    void showRelayBlockLabels();
    void showExtinguishingBlockLabels();
    // Show slot N: its detectors in the detector grid (a slot of "НЕТ"
    // leaves the grid as it is).
    void showSlot(int slot);

  private:
    void directionSaved(int) override { showExtinguishingBlockLabels(); }
    void slotChanged(int slot);
    void editComment(const std::string& key);
    void zoneEntered(int zone);
    void editDetector(const QString& address);
    void detectorsChanged(int slot, int line, const QList<int>& addresses, bool saved);

    CompositionPanel* m_composition;
    ZoneGrid* m_zones;
    DetectorGrid* m_detectors;
    DetectorDialog* m_dialog;
    int m_shownSlot = -1;    // whose detectors the grid shows
    std::string m_shownKind; // and its [СОСТАВ] kind
};

} // namespace kvort::gui
