#pragma once
// A label of the БРВУ and БДУ frames: hidden until the block is in use, and
// a double-click on it (or Enter while it has the focus) edits the block's
// comment.
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
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kvort::gui
