#pragma once
// "ЗОНА": the 256 zone names, row Z column 1, under the fixed labels
// "%3.3d (%2.2d)" of zone and group. It shows what the session holds.
#include "document/Config.h"

#include <QWidget>

class QTableWidget;

namespace kvort::gui {

class ZoneGrid : public QWidget {
    Q_OBJECT
  public:
    explicit ZoneGrid(QWidget* parent);
    void setNames(const ZoneNames& names);
    QTableWidget* table() const { return m_grid; }

  signals:
    // A name in the grid changed (not by setNames).
    void nameEdited(int zone, const QString& name);
    // A key typed into a name: the text as it stands.
    void nameTyped(int zone, const QString& name);
    // Enter on a name: it is to be written at once.
    void nameEntered(int zone);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QTableWidget* m_grid;
};

} // namespace kvort::gui
