#pragma once
// The list of the 128 relay scenarios as the file holds them: label, mode,
// zone (or group, or "В ЛЮБОЙ") and note.
#include "app/ScenarioDraft.h"

#include <QAbstractTableModel>

#include <vector>

namespace kvort::gui {

class ScenarioListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // Reads every row anew; with no configuration the rows keep only their
    // labels.
    void load(const IniStore* cnf);
    // Reads one row anew, after its scenario was saved or deleted.
    void reload(const IniStore& cnf, int scenario);
    const ScenarioRow& row(int scenario) const { return m_rows.at(scenario - 1); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<ScenarioRow> m_rows;
};

} // namespace kvort::gui
