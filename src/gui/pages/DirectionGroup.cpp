#include "gui/pages/DirectionGroup.h"

#include "document/DirectionRules.h"
#include "gui/GuiText.h"
#include "gui/widgets/DropDownList.h"
#include "text/Literals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace kvort::gui {

using namespace text::literals;

namespace {

QStringList toList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& t : texts)
        list << qs(t);
    return list;
}

} // namespace

DirectionGroup::DirectionGroup(int direction, QWidget* parent)
    : QGroupBox(qs(DirectionSection(direction)), parent), m_direction(direction) {
    setObjectName(QStringLiteral("direction%1Group").arg(direction));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(3);
    int row = 0;

    // Created in the order the keyboard walks them.
    grid->addWidget(new QLabel(QStringLiteral("ЗОНА:"), this), row, 0);
    m_zone = addList(QStringLiteral("Zone"));
    m_zone->setMinimumWidth(130);
    grid->addWidget(m_zone, row, 1, 1, 2);
    auto* mark = new QLabel(QStringLiteral("*"), this);
    mark->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    grid->addWidget(mark, row++, 3);

    const QStringList functions = toList(RelayFunctionChoices());
    for (int r = 1; r <= kRelayCount; ++r) {
        auto* label = new QLabel(qs(RelayKey(r)), this);
        auto* list = addList(QStringLiteral("Relay%1").arg(r));
        list->addItems(functions);
        grid->addWidget(label, row, 0);
        grid->addWidget(list, row++, 1, 1, 2);
        m_relays[r - 1] = list;
        m_zoneDetails.insert(m_zoneDetails.end(), {label, list});
    }

    auto* scenarioLabel = new QLabel(QStringLiteral("СЦЕН."), this);
    m_scenario = addList(QStringLiteral("Scenario"));
    m_scenario->addItems(toList(DirectionScenarioChoices()));
    grid->addWidget(scenarioLabel, row, 0);
    grid->addWidget(m_scenario, row++, 1);

    auto* slotLabel = new QLabel(QStringLiteral("Адрес"), this);
    auto* lineLabel = new QLabel(QStringLiteral("Линия"), this);
    grid->addWidget(slotLabel, row, 1);
    grid->addWidget(lineLabel, row++, 2);
    auto* britLabel = new QLabel(QStringLiteral("БРИТ"), this);
    m_slot = addList(QStringLiteral("Slot"));
    m_line = addList(QStringLiteral("Line"));
    m_line->addItems({QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                      QStringLiteral("4")});
    grid->addWidget(britLabel, row, 0);
    grid->addWidget(m_slot, row, 1);
    grid->addWidget(m_line, row++, 2);
    m_zoneDetails.insert(m_zoneDetails.end(), {scenarioLabel, m_scenario, slotLabel, lineLabel,
                                               britLabel, m_slot, m_line});

    m_save = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                             QStringLiteral("Сохранить"), this);
    m_save->setObjectName(QStringLiteral("direction%1SaveButton").arg(direction));
    m_save->setToolTip(QStringLiteral("Сохранить изменения"));
    m_save->setEnabled(false);
    grid->addWidget(m_save, row++, 1, 1, 3, Qt::AlignRight);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    connect(m_save, &QPushButton::clicked, this, &DirectionGroup::saveRequested);

    setZoneNames(ZoneNames{});
    setBritSlots({});
    showChoice(DirectionChoice{});
}

DropDownList* DirectionGroup::addList(const QString& name) {
    auto* list = new DropDownList(this);
    list->setObjectName(QStringLiteral("direction%1%2Combo").arg(m_direction).arg(name));
    // Only the person's choice counts; texts set by a load do not.
    connect(list, &QComboBox::activated, this, [this](int) {
        applyVisibility();
        emit chosen();
    });
    return list;
}

void DirectionGroup::setZoneNames(const ZoneNames& names) {
    QStringList items{qs(word::kNone)};
    for (int z = 1; z < kZoneCount; ++z)
        items << qs(names[z - 1]);
    m_zone->clear();
    m_zone->addItems(items);
}

void DirectionGroup::setBritSlots(const std::vector<int>& britSlots) {
    QStringList items{QString()};
    for (int slot : britSlots)
        items << QString::number(slot);
    m_slot->clear();
    m_slot->addItems(items);
}

void DirectionGroup::showChoice(const DirectionChoice& choice) {
    m_zone->setText(qs(choice.zone));
    for (int r = 0; r < kRelayCount; ++r)
        m_relays[r]->setText(qs(choice.relays[r]));
    m_scenario->setText(qs(choice.scenario));
    m_slot->setText(qs(choice.britModule));
    m_line->setText(qs(choice.britLine));
    applyVisibility();
}

DirectionChoice DirectionGroup::choice() const {
    DirectionChoice c;
    c.zone = cp(m_zone->text());
    for (int r = 0; r < kRelayCount; ++r)
        c.relays[r] = cp(m_relays[r]->text());
    c.scenario = cp(m_scenario->text());
    c.britModule = cp(m_slot->text());
    c.britLine = cp(m_line->text());
    return c;
}

void DirectionGroup::setSaveEnabled(bool enabled) {
    m_save->setEnabled(enabled);
}

void DirectionGroup::applyVisibility() {
    const bool withZone = m_zone->text() != qs(word::kNone);
    for (QWidget* w : m_zoneDetails)
        w->setVisible(withZone);
    if (withZone)
        return;
    DirectionChoice reset = choice();
    ResetDirectionChoice(reset);
    for (int r = 0; r < kRelayCount; ++r)
        m_relays[r]->setText(qs(reset.relays[r]));
    m_scenario->setText(QString());
    m_slot->setText(QString());
    m_line->setText(QString());
}

} // namespace kvort::gui
