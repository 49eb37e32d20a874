#pragma once
// The differences of two configurations, one branch per kind with its
// count, the points the panel cannot hold in a branch of their own. Shows;
// changes nothing.
#include "app/ConfigCompare.h"

#include <QDialog>

#include <string>
#include <vector>

class QTreeWidget;

namespace kvort::gui {

class CompareDialog : public QDialog {
    Q_OBJECT
  public:
    // lead: lines shown above the comparison (CP1251), e.g. the byte count
    // of a panel check.
    CompareDialog(const QString& title, const std::vector<std::string>& lead,
                  const Comparison& comparison, QWidget* parent);
    QTreeWidget* tree() const { return m_tree; }

  private:
    QTreeWidget* m_tree;
};

} // namespace kvort::gui
