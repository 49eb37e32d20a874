#pragma once
// "ТЕКСТ": the read-only detectors of one slot (address, type, zone,
// message, state). The message column takes all the width the others leave.
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QTableWidget;

namespace kvort::gui {

class DetectorGrid : public QWidget {
    Q_OBJECT
  public:
    struct Row {
        int row = 0;
        std::array<QString, 5> cells;
    };
    explicit DetectorGrid(QWidget* parent);
    // Replaces the grid's content: rowCount rows, the given ones filled.
    void fill(int rowCount, const std::vector<Row>& rows);
    // Shows one row anew, in place: the current row and the scroll stay.
    void setRow(const Row& row);
    QTableWidget* table() const { return m_grid; }

  signals:
    // Double-click or Enter on a row that holds an address.
    void detectorActivated(const QString& address);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void activate(int row);
    void fitMessageColumn();
    QTableWidget* m_grid;
};

} // namespace kvort::gui
