#include "gui/pages/ScenarioListModel.h"

#include "document/Config.h"
#include "gui/GuiText.h"

namespace kvort::gui {

namespace {
constexpr int kColumns = 4;
}

void ScenarioListModel::load(const IniStore* cnf) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(kScenarioCount);
    for (int s = 1; s <= kScenarioCount; ++s) {
        if (cnf) {
            m_rows.push_back(ReadScenarioRow(*cnf, s));
        } else {
            ScenarioRow empty;
            empty.label = ScenarioLabel(s);
            m_rows.push_back(std::move(empty));
        }
    }
    endResetModel();
}

void ScenarioListModel::reload(const IniStore& cnf, int scenario) {
    m_rows.at(scenario - 1) = ReadScenarioRow(cnf, scenario);
    emit dataChanged(index(scenario - 1, 0), index(scenario - 1, kColumns - 1));
}

int ScenarioListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ScenarioListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ScenarioListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const ScenarioRow& r = m_rows.at(index.row());
    switch (index.column()) {
    case 0:
        return qs(r.label);
    case 1:
        return qs(r.mode);
    case 2:
        return qs(r.zone);
    case 3:
        return qs(r.note);
    }
    return {};
}

QVariant ScenarioListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QString headers[kColumns] = {
        QStringLiteral(" НОМЕР"), QStringLiteral("          РЕЖИМ"), QStringLiteral("ГРУППА/ЗОНА"),
        QStringLiteral("ПРИМ.")};
    return section >= 0 && section < kColumns ? headers[section] : QVariant();
}

} // namespace kvort::gui
