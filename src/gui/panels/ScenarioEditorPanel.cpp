#include "gui/panels/ScenarioEditorPanel.h"

#include "document/OutputDevices.h"
#include "gui/GuiText.h"
#include "gui/widgets/DropDownList.h"
#include "gui/widgets/ListKeyFilter.h"
#include "text/Literals.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kvort::gui {

using namespace text::literals;

namespace {

constexpr int kNoteLength = 20;
constexpr int kZoneEntries = 255; // zone 256 cannot be chosen in a scenario

QStringList stepStates() {
    return {qs("ВКЛ "_cp), qs("ВЫКЛ"_cp)};
}

} // namespace

ScenarioEditorPanel::ScenarioEditorPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("scenarioEditor"));
    auto* layout = new QVBoxLayout(this);

    auto* head = new QGridLayout;
    head->addWidget(new QLabel(QStringLiteral("Режим:"), this), 0, 0);
    m_mode = new DropDownList(this);
    m_mode->setObjectName(QStringLiteral("modeCombo"));
    m_mode->addItem(QString());
    for (int m = 1; m <= kModeCount; ++m)
        m_mode->addItem(qs(ScenarioModeName(m)));
    head->addWidget(m_mode, 0, 1);
    m_zoneLabel = new QLabel(QStringLiteral("Зона:"), this);
    m_zoneLabel->setObjectName(QStringLiteral("zoneLabel"));
    head->addWidget(m_zoneLabel, 1, 0);
    m_zone = new DropDownList(this);
    m_zone->setObjectName(QStringLiteral("zoneCombo"));
    m_zone->setMaxVisibleItems(20);
    head->addWidget(m_zone, 1, 1);
    head->addWidget(new QLabel(QStringLiteral("Прим.:"), this), 2, 0);
    m_note = new QLineEdit(this);
    m_note->setObjectName(QStringLiteral("noteEdit"));
    m_note->setMaxLength(kNoteLength);
    head->addWidget(m_note, 2, 1);
    head->setColumnStretch(1, 1);
    layout->addLayout(head);

    auto* steps = new QGridLayout;
    const QString headers[] = {QStringLiteral(" ШАГ"), QStringLiteral(" ПРИБОР"),
                               QStringLiteral("РЕЛЕ/АДР. "), QStringLiteral(" СОСТОЯНИЕ"),
                               QStringLiteral("ЗАДЕРЖ.")};
    for (int c = 0; c < 5; ++c)
        steps->addWidget(new QLabel(headers[c], this), 0, c);
    for (int k = 0; k < kStepCount; ++k) {
        StepRow& row = m_steps[k];
        const QString n = QString::number(k + 1);
        row.label = new QLabel(QStringLiteral("%1").arg(k + 1, 2, 10, QLatin1Char('0')), this);
        row.device = new DropDownList(this);
        row.device->setObjectName(QStringLiteral("step%1DeviceCombo").arg(n));
        row.device->setMaxVisibleItems(20);
        row.number = new DropDownList(this);
        row.number->setObjectName(QStringLiteral("step%1NumberCombo").arg(n));
        row.number->setMaxVisibleItems(20);
        row.state = new DropDownList(this);
        row.state->setObjectName(QStringLiteral("step%1StateCombo").arg(n));
        row.state->addItems(stepStates());
        row.delay = new QSpinBox(this);
        row.delay->setObjectName(QStringLiteral("step%1DelaySpin").arg(n));
        // The panel keeps half the delay, so whole steps are of two seconds.
        row.delay->setRange(0, kMaxStepDelay);
        row.delay->setSingleStep(2);
        row.delay->setToolTip(QStringLiteral("Задержка перед выполнением шага "));
        steps->addWidget(row.label, k + 1, 0);
        steps->addWidget(row.device, k + 1, 1);
        steps->addWidget(row.number, k + 1, 2);
        steps->addWidget(row.state, k + 1, 3);
        steps->addWidget(row.delay, k + 1, 4);

        connect(row.device, &QComboBox::activated, this, [this, k] { deviceChosen(k); });
        connect(row.device, &DropDownList::doubleClicked, this,
                [this, k] { emit describeRequested(k); });
        connect(row.number, &QComboBox::activated, this, [this, k] {
            if (k < static_cast<int>(m_draft.steps.size()))
                m_draft.steps[k].number = cp(m_steps[k].number->text());
        });
        connect(row.state, &QComboBox::activated, this, [this, k] {
            if (k < static_cast<int>(m_draft.steps.size()))
                m_draft.steps[k].state = cp(m_steps[k].state->text());
        });
        connect(row.delay, &QSpinBox::valueChanged, this, [this, k](int value) {
            if (!m_filling && k < static_cast<int>(m_draft.steps.size()))
                m_draft.steps[k].delay = value;
        });
    }
    steps->setColumnStretch(1, 1);
    layout->addLayout(steps);

    auto* buttons = new QHBoxLayout;
    m_save = new QPushButton(QStringLiteral("Сохранить"), this);
    m_save->setObjectName(QStringLiteral("saveScenarioButton"));
    m_delete = new QPushButton(QStringLiteral("Удалить"), this);
    m_delete->setObjectName(QStringLiteral("deleteScenarioButton"));
    m_exit = new QPushButton(QStringLiteral("Выйти"), this);
    m_exit->setObjectName(QStringLiteral("exitScenarioButton"));
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_exit);
    layout->addLayout(buttons);

    m_versionNote = new QLabel(QStringLiteral("Внимание! Применение сценариев с номерами\n"
                                              " 97..128 возможно для приборов ПУ/ПУ-ПТ\n"
                                              " с версией программного обеспечения\n"
                                              " V11b090718 и выше"),
                               this);
    m_versionNote->setObjectName(QStringLiteral("versionNote"));
    QFont bold = m_versionNote->font();
    bold.setBold(true);
    m_versionNote->setFont(bold);
    layout->addWidget(m_versionNote);
    layout->addStretch(1);

    connect(m_mode, &QComboBox::activated, this, [this](int index) { modeChosen(index); });
    connect(m_zone, &QComboBox::activated, this, [this](int index) { m_draft.target = index; });
    connect(m_note, &QLineEdit::textEdited, this, [this](const QString& t) { noteEdited(t); });
    connect(m_save, &QPushButton::clicked, this, &ScenarioEditorPanel::saveRequested);
    connect(m_delete, &QPushButton::clicked, this, &ScenarioEditorPanel::deleteRequested);
    connect(m_exit, &QPushButton::clicked, this, &ScenarioEditorPanel::exitRequested);

    // Top to bottom, each step left to right, then the buttons.
    QWidget* previous = m_mode;
    auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    chain(m_zone);
    chain(m_note);
    for (StepRow& row : m_steps) {
        chain(row.device);
        chain(row.number);
        chain(row.state);
        chain(row.delay);
    }
    chain(m_save);
    chain(m_delete);
    chain(m_exit);

    (new ListKeyFilter(this))->installOn(this);
    hide();
}

void ScenarioEditorPanel::setDevices(const std::vector<std::string>& devices) {
    QStringList items;
    items.reserve(static_cast<int>(devices.size()));
    for (const std::string& d : devices)
        items << qs(d);
    m_filling = true;
    for (StepRow& row : m_steps) {
        row.device->clear();
        row.device->addItems(items);
    }
    m_filling = false;
    if (isVisible())
        showSteps();
}

void ScenarioEditorPanel::open(const ScenarioDraft& draft, const ZoneNames& zoneNames) {
    m_draft = draft;
    m_zoneNames = zoneNames;
    setTitle(qs("Сценарий "_cp) + qs(ScenarioLabel(draft.scenario)));
    m_versionNote->setVisible(draft.scenario > 96);
    m_filling = true;
    m_mode->setCurrentIndex(m_draft.mode);
    fillZoneList();
    m_note->setText(qs(m_draft.note));
    showSteps();
    m_filling = false;
    show();
}

void ScenarioEditorPanel::modeChosen(int index) {
    if (m_filling || index == m_draft.mode)
        return;
    m_draft.setMode(index);
    m_filling = true;
    fillZoneList();
    showSteps();
    m_filling = false;
}

void ScenarioEditorPanel::deviceChosen(int step) {
    if (m_filling)
        return;
    m_draft.setDevice(step, cp(m_steps[step].device->text()));
    m_filling = true;
    showSteps();
    m_filling = false;
}

void ScenarioEditorPanel::noteEdited(const QString& text) {
    const QString upper = text.toUpper();
    if (upper != text) {
        const int cursor = m_note->cursorPosition();
        m_note->setText(upper);
        m_note->setCursorPosition(cursor);
    }
    m_draft.setNote(cp(upper));
}

void ScenarioEditorPanel::fillZoneList() {
    m_zone->clear();
    switch (m_draft.targetKind()) {
    case ScenarioTarget::None:
        m_zoneLabel->setText(QStringLiteral("Зона:"));
        m_zone->setEnabled(false);
        m_zone->setText(QString());
        return;
    case ScenarioTarget::Zone: {
        QStringList names;
        names.reserve(kZoneEntries + 1);
        for (int z = 0; z < kZoneEntries; ++z)
            names << qs(m_zoneNames[z]);
        names << qs(AnyZoneText());
        m_zone->addItems(names);
        m_zoneLabel->setText(QStringLiteral("Зона:"));
        break;
    }
    case ScenarioTarget::Group:
        for (int g = 1; g <= kScenarioGroupCount; ++g)
            m_zone->addItem(QString::number(g));
        m_zoneLabel->setText(QStringLiteral("Группа:"));
        break;
    }
    m_zone->setEnabled(true);
    m_zone->setCurrentIndex(m_draft.target);
}

void ScenarioEditorPanel::showSteps() {
    const int count = static_cast<int>(m_draft.steps.size());
    for (int k = 0; k < kStepCount; ++k) {
        StepRow& row = m_steps[k];
        const bool offered = m_draft.mode != 0 && k <= count;
        const bool filled = k < count;
        row.device->setVisible(offered);
        row.number->setVisible(filled);
        row.state->setVisible(filled);
        row.delay->setVisible(filled);
        if (!offered)
            continue;
        if (!filled) {
            row.device->setText(QString());
            continue;
        }
        const StepDraft& step = m_draft.steps[k];
        row.device->setText(qs(step.device));
        if (row.numbersFor != step.device) {
            QStringList numbers;
            for (const std::string& n : StepNumberList(step.device))
                numbers << qs(n);
            row.number->clear();
            row.number->addItems(numbers);
            row.numbersFor = step.device;
        }
        row.number->setText(qs(step.number));
        row.state->setText(qs(step.state));
        row.delay->setValue(step.delay);
    }
}

} // namespace kvort::gui
