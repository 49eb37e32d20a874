#include "gui/pages/ScenarioPage.h"

#include "gui/GuiText.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kvort::gui {

ScenarioPage::ScenarioPage(const PageContext& context, QWidget* parent)
    : ConfigPage(context, parent) {
    setObjectName(QStringLiteral("scenarioTab"));
    auto* layout = new QVBoxLayout(this);
    auto* note =
        new QLabel(QStringLiteral("Редактор релейных сценариев ещё не встроен в эту версию. "
                                  "Сценарии конфигурации показаны только для просмотра."),
                   this);
    note->setWordWrap(true);
    layout->addWidget(note);
    m_list = new QTableWidget(0, 4, this);
    m_list->setObjectName(QStringLiteral("scenarioView"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("СЦЕНАРИЙ"), QStringLiteral("РЕЖИМ"),
                                       QStringLiteral("ПРИМЕЧАНИЕ"), QStringLiteral("ШАГИ")});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(2, 200);
    layout->addWidget(m_list, 1);
}

QString ScenarioPage::title() const {
    return QStringLiteral("Релейные сценарии");
}

void ScenarioPage::load(SessionChange change) {
    // A new configuration keeps the list until the tab is shown.
    if (change == SessionChange::Loaded)
        loadScenarioList();
}

void ScenarioPage::shown() {
    loadScenarioList();
    progress().setStatus("");
}

void ScenarioPage::loadScenarioList() {
    m_list->setRowCount(0);
    if (!session().isOpen())
        return;
    const IniStore& cnf = session().store();
    for (int s = 1; s <= kScenarioCount; ++s) {
        const Scenario sc = ReadScenario(cnf, s);
        if (!sc.exists)
            continue;
        const int row = m_list->rowCount();
        m_list->insertRow(row);
        QStringList steps;
        for (const std::string& step : sc.steps)
            if (!step.empty())
                steps << qs(step);
        m_list->setItem(row, 0, new QTableWidgetItem(QString::number(s)));
        m_list->setItem(row, 1,
                        new QTableWidgetItem(sc.mode < 0 ? QString() : QString::number(sc.mode)));
        m_list->setItem(row, 2, new QTableWidgetItem(qs(sc.note)));
        m_list->setItem(row, 3, new QTableWidgetItem(steps.join(QStringLiteral("  "))));
    }
}

} // namespace kvort::gui
