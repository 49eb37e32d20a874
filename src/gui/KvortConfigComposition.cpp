// The composition panel "СОСТАВ": the nine slot rows, the БРВУ and БДУ
// frames, the detector grid of the shown slot, device comments, and the
// loading of a whole configuration into the window.
#include "DropDownList.h"
#include "GuiText.h"
#include "KvortConfig.h"
#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/Detectors.h"
#include "text/Error.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace fs = std::filesystem;

namespace kvort::gui {

using namespace text::literals;

namespace {

// A label of the БРВУ and БДУ frames that reports a double-click.
class BlockLabel : public QLabel {
  public:
    BlockLabel(const QString& text, std::function<void()> onDoubleClick, QWidget* parent)
        : QLabel(text, parent), m_onDoubleClick(std::move(onDoubleClick)) {}

  protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { m_onDoubleClick(); }

  private:
    std::function<void()> m_onDoubleClick;
};

} // namespace

QWidget* KvortConfig::createCompositionPanel() {
    m_compositionPanel = new QGroupBox(QStringLiteral("СОСТАВ"), this);
    m_compositionPanel->setObjectName(QStringLiteral("compositionPanel"));
    auto* layout = new QVBoxLayout(m_compositionPanel);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* slotGrid = new QGridLayout;
    slotGrid->setVerticalSpacing(2);
    for (int n = 0; n < kSlotCount; ++n) {
        auto* button = new QToolButton(m_compositionPanel);
        button->setObjectName(QStringLiteral("slot%1Button").arg(n));
        button->setText(QString::number(n));
        button->setToolTip(n == 0 ? QStringLiteral("Показать состав ПУ-П(Ctrl+0)")
                                  : QStringLiteral("Показать состав ППКП %1(Ctrl+%1)").arg(n));
        button->setFixedSize(22, 22);
        connect(button, &QToolButton::clicked, this, [this, n] { guarded([&] { showSlot(n); }); });
        auto* list = new DropDownList(m_compositionPanel);
        list->setObjectName(QStringLiteral("slot%1Combo").arg(n));
        if (n == 0)
            list->addItem(qs("ПУ-П"_cp));
        else
            list->addItems({qs("НЕТ"_cp), qs("ППКП"_cp), qs("БРИТ"_cp), qs("ПИУ"_cp), QString()});
        list->setCurrentIndex(0);
        list->setEnabled(n <= 1);
        list->setMinimumWidth(90);
        // Only the person's choice is a slot change; texts set by the
        // program are not.
        connect(list, &QComboBox::activated, this, [this, n](int) { slotChanged(n); });
        connect(list, &DropDownList::doubleClicked, this,
                [this, n] { editComment(SlotDeviceKey(n)); });
        slotGrid->addWidget(button, n, 0);
        slotGrid->addWidget(list, n, 1);
        m_slotButtons[n] = button;
        m_slotLists[n] = list;
    }
    layout->addLayout(slotGrid);

    auto makeFrame = [&](const QString& title, std::array<QLabel*, 8>& labels, const char* prefix) {
        auto* frame = new QGroupBox(title, m_compositionPanel);
        frame->setObjectName(QStringLiteral("%1Frame").arg(QLatin1String(prefix)));
        auto* frameLayout = new QVBoxLayout(frame);
        frameLayout->setSpacing(1);
        for (int b = 1; b <= 8; ++b) {
            const QString text = title + QString::number(b);
            auto* label = new BlockLabel(
                text, [this, text] { editComment(cp(text)); }, frame);
            label->setObjectName(QStringLiteral("%1%2Label").arg(QLatin1String(prefix)).arg(b));
            label->hide();
            frameLayout->addWidget(label);
            labels[b - 1] = label;
        }
        frameLayout->addStretch(1);
        return frame;
    };
    auto* frames = new QHBoxLayout;
    frames->addWidget(makeFrame(QStringLiteral("БРВУ"), m_relayLabels, "relay"));
    frames->addWidget(makeFrame(QStringLiteral("БДУ"), m_extinguishingLabels, "extinguishing"));
    layout->addLayout(frames, 1);
    m_compositionPanel->setFixedWidth(150);
    return m_compositionPanel;
}

void KvortConfig::LoadConfigView() {
    IniStore& cnf = *m_configStore;
    CompleteOnOpening(cnf);

    m_slotLists[0]->setText(qs(DisplayKind(SlotKind(cnf, 0, word::kKindPu))));
    for (int n = 1; n < kSlotCount; ++n)
        m_slotLists[n]->setText(qs(DisplayKind(SlotKind(cnf, n))));
    for (int n = 1; n < kSlotCount - 1; ++n)
        m_slotLists[n + 1]->setEnabled(m_slotLists[n]->text() != qs("НЕТ"_cp));

    for (int z = 1; z <= kZoneCount; ++z)
        m_zoneGrid->item(z - 1, 1)->setText(qs(ZoneName(cnf, z)));

    loadDirections();
    loadScenarioList();
    showSlot(0);

    m_compositionPanel->show();
    m_zonePanel->show();
    m_detectorPanel->show();
    setBusy(false);
    m_detectorGrid->setFocus();
}

void KvortConfig::slotChanged(int slot) {
    guarded([&] {
        if (!m_configStore)
            return;
        const std::string chosen = cp(m_slotLists[slot]->text());
        if (slot == 0) {
            ApplySlotChange(*m_configStore, 0, chosen);
            showSlot(0);
            m_configModified = true;
            return;
        }
        m_configModified = true;
        if (chosen != "НЕТ"_cp) {
            if (slot < kSlotCount - 1)
                m_slotLists[slot + 1]->setEnabled(true);
            ApplySlotChange(*m_configStore, slot, chosen);
            showSlot(slot);
        } else {
            for (int n = slot + 1; n < kSlotCount; ++n) {
                m_slotLists[n]->setEnabled(false);
                m_slotLists[n]->setCurrentIndex(0);
            }
            showSlot(ApplySlotChange(*m_configStore, slot, chosen));
        }
    });
}

void KvortConfig::showSlot(int slot) {
    ShowDeviceDetectors(cp(m_slotLists[slot]->text()), slot);
}

void KvortConfig::ShowDeviceDetectors(const std::string& kind, int slot) {
    if (kind == "НЕТ"_cp || m_session.CurrentConfigPath.empty())
        return;
    m_session.CurrentConfigPath = ConfigFileSet(m_session.CurrentConfigPath).tb(slot);
    std::error_code ec;
    if (!fs::exists(m_session.CurrentConfigPath, ec))
        writeFile(m_session.CurrentConfigPath, "");
    IniStore detectors(m_session.CurrentConfigPath);

    auto fill = [&](int row, int line, int address) {
        const DetectorRecord rec = ReadDetector(detectors, slot, line, address);
        const std::string cells[5] = {SensorAddress(slot, line, address), rec.type, rec.zone,
                                      rec.text, rec.state};
        for (int c = 0; c < 5; ++c)
            m_detectorGrid->setItem(row, c, new QTableWidgetItem(qs(cells[c])));
    };

    // Row counts below exclude the header row, which the grid keeps apart.
    m_detectorGrid->setUpdatesEnabled(false);
    m_detectorGrid->clearContents();
    if (kind == "ПИУ"_cp) {
        m_detectorGrid->setRowCount(59);
        for (int a = 1; a <= 48; ++a)
            fill(a - 1, 1, a);
    } else if (kind == "БРИТ"_cp || kind == "БДУ(4)"_cp) {
        m_detectorGrid->setRowCount(4);
        for (int line = 1; line <= 4; ++line)
            fill(line - 1, line, 1);
    } else {
        auto fillLines = [&](int from, int to) {
            for (int line = from; line <= to; ++line)
                for (int a = 1; a <= kAddressesPerLine; ++a)
                    fill((line - 1) * 64 + a - 1, line, a);
        };
        m_detectorGrid->setRowCount(256);
        fillLines(1, 4);
        m_detectorGrid->setRowCount(512);
        fillLines(5, 8);
    }
    m_detectorGrid->setUpdatesEnabled(true);
}

void KvortConfig::ShowRelayBlockLabels() {
    for (QLabel* label : m_relayLabels)
        label->hide();
    if (!m_configStore)
        return;
    // A step naming "БРВУ" without a digit after it is a damaged file: the
    // labels found so far stay, the person is told, and the window goes on.
    guarded([&] {
        for (int s = 1; s <= kScenarioCount; ++s) {
            const std::string section = ScenarioSection(s);
            for (int k = 1; k <= kStepCount; ++k) {
                const std::string step = m_configStore->ReadString(section, StepKey(k), "");
                if (step.compare(0, 4, "БРВУ"_cp) != 0)
                    continue;
                const char digit = step.size() > 4 ? step[4] : '\0';
                if (digit < '0' || digit > '9')
                    throw ConvertError(
                        text::toUtf8("'" + step.substr(4, 1) + "' is not a valid integer value (") +
                        m_configStore->path().string() + ", [" + text::toUtf8(section) + "] " +
                        text::toUtf8(StepKey(k)) + ")");
                const int block = digit - '0';
                if (block >= 1 && block <= 8)
                    m_relayLabels[block - 1]->show();
            }
        }
    });
}

void KvortConfig::ShowExtinguishingBlockLabels() {
    for (int d = 1; d <= kDirectionCount; ++d)
        m_extinguishingLabels[d - 1]->setVisible(m_configStore &&
                                                 m_configStore->SectionExists(DirectionSection(d)));
}

void KvortConfig::editComment(const std::string& key) {
    guarded([&] {
        if (!m_configStore)
            return;
        const std::string current = DeviceComment(*m_configStore, key);
        const std::string typed = m_prompts.inputBox(
            key, "ВВЕДИТЕ КОММЕНТАРИЙ К ПРИБОРУ(НЕ БОЛЕЕ 20 ЗНАКОВ)"_cp, current);
        WriteDeviceComment(*m_configStore, key, typed);
    });
}

void KvortConfig::detectorActivated(int row) {
    QTableWidgetItem* address = row >= 0 ? m_detectorGrid->item(row, 0) : nullptr;
    if (!address || address->text().isEmpty())
        return;
    notAvailable(std::string("РЕДАКТИРОВАНИЕ ИЗВЕЩАТЕЛЯ "_cp) + cp(address->text()));
}

} // namespace kvort::gui
