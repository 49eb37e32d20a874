#pragma once
// A label of the БРВУ and БДУ frames: hidden until the block is in use, and
// a double-click on it edits the block's comment.
#include <QLabel>

namespace kvort::gui {

class BlockLabel : public QLabel {
    Q_OBJECT
  public:
    BlockLabel(const QString& text, QWidget* parent);

  signals:
    void doubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace kvort::gui
