#include "gui/pages/AlarmPage.h"

#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "document/EditorViews.h"
#include "gui/Guarded.h"
#include "gui/GuiText.h"
#include "gui/dialogs/DetectorDialog.h"
#include "gui/panels/CompositionPanel.h"
#include "gui/panels/DetectorGrid.h"
#include "gui/panels/ZoneGrid.h"
#include "gui/widgets/DropDownList.h"
#include "text/Literals.h"

#include <QHBoxLayout>
#include <QTableWidget>

namespace kvort::gui {

using namespace text::literals;

AlarmPage::AlarmPage(const PageContext& context, QWidget* parent)
    : ConfigPage(context, parent), m_composition(new CompositionPanel(this)),
      m_zones(new ZoneGrid(this)), m_detectors(new DetectorGrid(this)),
      m_dialog(new DetectorDialog(context.prompts, this)) {
    setObjectName(QStringLiteral("alarmTab"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->addWidget(m_composition);
    row->addWidget(m_zones);
    row->addWidget(m_detectors, 1);

    connect(m_composition, &CompositionPanel::slotChosen, this, [this](int n) { slotChanged(n); });
    connect(m_composition, &CompositionPanel::slotButtonClicked, this,
            [this](int n) { guarded([&] { showSlot(n); }); });
    connect(m_composition, &CompositionPanel::commentRequested, this,
            [this](const std::string& key) { editComment(key); });
    // The session holds the names the encoder and saving take.
    connect(m_zones, &ZoneGrid::nameEdited, this,
            [this](int zone, const QString& name) { session().setZoneName(zone, cp(name)); });
    // Every key typed into a name is an edit the person will be asked about.
    connect(m_zones, &ZoneGrid::nameTyped, this, [this](int zone, const QString& name) {
        session().setZoneName(zone, cp(name));
        session().setModified(true);
    });
    connect(m_zones, &ZoneGrid::nameEntered, this, [this](int zone) { zoneEntered(zone); });
    connect(m_detectors, &DetectorGrid::detectorActivated, this,
            [this](const QString& address) { editDetector(address); });
    connect(m_dialog, &DetectorDialog::recordsChanged, this,
            [this](int slot, int line, const QList<int>& addresses, bool saved) {
                detectorsChanged(slot, line, addresses, saved);
            });
    // Back to the grid, so the next address is one Enter away.
    connect(m_dialog, &QDialog::finished, this, [this] {
        activateWindow();
        m_detectors->table()->setFocus();
    });
}

QString AlarmPage::title() const {
    return QStringLiteral("Сигнализация");
}

QWidget* AlarmPage::zoneGrid() const {
    return m_zones->table();
}

void AlarmPage::beginNew() {
    m_composition->show();
    m_zones->hide();
    m_detectors->hide();
    m_composition->reset();
}

void AlarmPage::showPanels() {
    m_composition->show();
    m_zones->show();
    m_detectors->show();
}

void AlarmPage::load(SessionChange change) {
    m_zones->setNames(session().zoneNames());
    // The row and the scroll position of the configuration shown before
    // mean nothing in this one.
    m_zones->table()->setCurrentCell(0, 1);
    m_zones->table()->scrollToTop();
    if (change == SessionChange::Created) {
        // The slot-0 change has been written with the skeleton; showing it
        // is the page's. A slot file that cannot be made is shown and the
        // new configuration goes on. The blocks of the one shown before are
        // not this one's.
        guarded([&] { showSlot(0); });
        showRelayBlockLabels();
        showExtinguishingBlockLabels();
        return;
    }
    const IniStore& cnf = session().store();
    m_composition->slotList(0)->setText(qs(DisplayKind(SlotKind(cnf, 0, word::kKindPu))));
    for (int n = 1; n < kSlotCount; ++n)
        m_composition->slotList(n)->setText(qs(DisplayKind(SlotKind(cnf, n))));
    for (int n = 1; n < kSlotCount - 1; ++n)
        m_composition->slotList(n + 1)->setEnabled(m_composition->slotList(n)->text() !=
                                                   qs("НЕТ"_cp));
    showSlot(0);
    showPanels();
    progress().setBusy(false);
    m_detectors->table()->setFocus();
    showExtinguishingBlockLabels();
    showRelayBlockLabels();
}

void AlarmPage::shown() {
    showRelayBlockLabels();
    showExtinguishingBlockLabels();
    progress().setStatus("");
}

void AlarmPage::showSlot(int slot) {
    const std::string kind = cp(m_composition->slotList(slot)->text());
    if (kind == "НЕТ"_cp || session().currentPath().empty())
        return;
    const IniStore detectors(session().showDetectorFile(slot));
    const DetectorGridLayout layout = LayOutDetectorGrid(kind);
    m_shownSlot = slot;
    m_shownKind = kind;
    std::vector<DetectorGrid::Row> rows;
    rows.reserve(layout.rows.size());
    for (const DetectorGridRow& r : layout.rows) {
        const DetectorRecord rec = ReadDetector(detectors, slot, r.line, r.address);
        rows.push_back({r.row,
                        {qs(SensorAddress(slot, r.line, r.address)), qs(rec.type), qs(rec.zone),
                         qs(rec.text), qs(rec.state)}});
    }
    m_detectors->fill(layout.rowCount, rows);
}

void AlarmPage::zoneEntered(int zone) {
    guarded([&] {
        if (!session().isOpen())
            return;
        session().store().WriteString(SectionZones(), ZoneKey(zone),
                                      session().zoneNames()[zone - 1]);
    });
}

void AlarmPage::editDetector(const QString& address) {
    guarded([&] {
        const std::optional<DetectorPlace> at = ParseSensorAddress(cp(address));
        if (!at || !session().isOpen())
            return;
        m_dialog->openFor(session().store(), ConfigFileSet(session().cnfPath()).tb(at->slot), *at,
                          session().zoneNames());
    });
}

void AlarmPage::detectorsChanged(int slot, int line, const QList<int>& addresses, bool saved) {
    session().setModified(true);
    if (slot != m_shownSlot)
        return;
    guarded([&] {
        const IniStore detectors(ConfigFileSet(session().cnfPath()).tb(slot));
        const DetectorGridLayout layout = LayOutDetectorGrid(m_shownKind);
        for (const DetectorGridRow& r : layout.rows) {
            if (r.line != line || !addresses.contains(r.address))
                continue;
            const DetectorRecord rec = ReadDetector(detectors, slot, r.line, r.address);
            m_detectors->setRow({r.row,
                                 {qs(SensorAddress(slot, r.line, r.address)), qs(rec.type),
                                  qs(rec.zone), qs(rec.text), qs(rec.state)}});
        }
    });
    // The installer goes on with the next address.
    QTableWidget* table = m_detectors->table();
    if (saved && table->currentRow() + 1 < table->rowCount())
        table->setCurrentCell(table->currentRow() + 1, table->currentColumn());
}

void AlarmPage::showRelayBlockLabels() {
    BlocksInUse found{};
    m_composition->setRelayBlocks(found);
    if (!session().isOpen())
        return;
    // A damaged step stops the search: the blocks found so far are shown,
    // the person is told, and the window goes on.
    guarded([&] { FindRelayBlocksInUse(session().store(), found); });
    m_composition->setRelayBlocks(found);
}

void AlarmPage::showExtinguishingBlockLabels() {
    m_composition->setExtinguishingBlocks(
        session().isOpen() ? ExtinguishingBlocksInUse(session().store()) : BlocksInUse{});
}

void AlarmPage::slotChanged(int slot) {
    guarded([&] {
        if (!session().isOpen())
            return;
        const std::string chosen = cp(m_composition->slotList(slot)->text());
        if (slot == 0) {
            ApplySlotChange(session().store(), 0, chosen);
            showSlot(0);
            session().setModified(true);
            return;
        }
        session().setModified(true);
        if (chosen != "НЕТ"_cp) {
            if (slot < kSlotCount - 1)
                m_composition->slotList(slot + 1)->setEnabled(true);
            ApplySlotChange(session().store(), slot, chosen);
            showSlot(slot);
        } else {
            for (int n = slot + 1; n < kSlotCount; ++n) {
                m_composition->slotList(n)->setEnabled(false);
                m_composition->slotList(n)->setCurrentIndex(0);
            }
            showSlot(ApplySlotChange(session().store(), slot, chosen));
        }
    });
}

void AlarmPage::editComment(const std::string& key) {
    guarded([&] {
        if (!session().isOpen())
            return;
        IniStore& cnf = session().store();
        const std::string current = DeviceComment(cnf, key);
        const std::string typed = prompts().inputBox(
            key, "ВВЕДИТЕ КОММЕНТАРИЙ К ПРИБОРУ(НЕ БОЛЕЕ 20 ЗНАКОВ)"_cp, current);
        WriteDeviceComment(cnf, key, typed);
    });
}

} // namespace kvort::gui
