#include "gui/pages/ScenarioPage.h"

#include "app/OutputDescriptions.h"
#include "app/ScenarioDraft.h"
#include "document/OutputDevices.h"
#include "gui/GuiText.h"
#include "gui/pages/ScenarioListModel.h"
#include "gui/panels/ScenarioEditorPanel.h"
#include "text/Literals.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace kvort::gui {

using namespace text::literals;

ScenarioPage::ScenarioPage(const PageContext& context, QWidget* parent)
    : ConfigPage(context, parent), m_model(new ScenarioListModel(this)) {
    setObjectName(QStringLiteral("scenarioTab"));
    auto* layout = new QHBoxLayout(this);

    auto* listBox = new QGroupBox(QStringLiteral("Список сценариев"), this);
    auto* listLayout = new QVBoxLayout(listBox);
    m_list = new QTableView(listBox);
    m_list->setObjectName(QStringLiteral("scenarioList"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 60);
    m_list->setColumnWidth(1, 140);
    m_list->setColumnWidth(2, 130);
    m_list->installEventFilter(this);
    listLayout->addWidget(m_list);
    layout->addWidget(listBox, 1);

    m_editor = new ScenarioEditorPanel(this);
    layout->addWidget(m_editor, 1);

    m_model->load(nullptr);
    connect(m_list, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { openScenario(index.row() + 1); });
    connect(m_editor, &ScenarioEditorPanel::saveRequested, this, [this] { save(); });
    connect(m_editor, &ScenarioEditorPanel::deleteRequested, this, [this] { remove(); });
    connect(m_editor, &ScenarioEditorPanel::exitRequested, m_editor, &QWidget::hide);
    connect(m_editor, &ScenarioEditorPanel::describeRequested, this,
            [this](int step) { describe(step); });
}

QString ScenarioPage::title() const {
    return QStringLiteral("Релейные сценарии");
}

void ScenarioPage::load(SessionChange) {
    // A new configuration too: a scenario of the one before must not stay
    // open to be saved into it.
    loadScenarioList();
}

void ScenarioPage::shown() {
    loadScenarioList();
    progress().setStatus("");
}

void ScenarioPage::loadScenarioList() {
    m_editor->hide();
    const IniStore* cnf = session().isOpen() ? &session().store() : nullptr;
    m_model->load(cnf);
    m_editor->setDevices(cnf ? BuildOutputDeviceList(*cnf) : std::vector<std::string>{});
}

void ScenarioPage::openScenario(int scenario) {
    if (!session().isOpen() || scenario < 1 || scenario > kScenarioCount)
        return;
    guarded([&] {
        const IniStore& cnf = session().store();
        m_editor->open(OpenScenario(cnf, m_model->row(scenario), scenario), session().zoneNames());
    });
}

bool ScenarioPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentIndex().isValid()) {
            openScenario(m_list->currentIndex().row() + 1);
            return true;
        }
    }
    return ConfigPage::eventFilter(watched, event);
}

void ScenarioPage::save() {
    guarded([&] {
        const ScenarioDraft& draft = m_editor->draft();
        const std::string problem = ScenarioSaveProblem(draft);
        if (!problem.empty()) {
            prompts().message("ОШИБКА"_cp, problem, MsgIcon::Error, MsgButtons::Ok);
            return;
        }
        session().setModified(true);
        IniStore& cnf = session().store();
        const ScenarioSaved saved = SaveScenario(cnf, draft);
        m_model->reload(cnf, draft.scenario);
        // With no mode the section is gone but the scenario stays open.
        if (saved == ScenarioSaved::Written)
            m_editor->hide();
        session().scenariosChanged();
    });
}

void ScenarioPage::remove() {
    guarded([&] {
        const int scenario = m_editor->scenario();
        session().setModified(true);
        IniStore& cnf = session().store();
        DeleteScenario(cnf, scenario);
        m_model->reload(cnf, scenario);
        m_editor->hide();
        session().scenariosChanged();
    });
}

void ScenarioPage::describe(int step) {
    const auto& steps = m_editor->draft().steps;
    if (step < 0 || step >= static_cast<int>(steps.size()))
        return;
    guarded([&] {
        // The description is no part of the scenario: it does not count as
        // an edit the person is asked about.
        EditOutputDescription(session().store(), prompts(), steps[step].device, steps[step].number);
    });
}

} // namespace kvort::gui
