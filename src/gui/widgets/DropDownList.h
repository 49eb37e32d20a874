#pragma once
// The window's drop-down lists. They are selection-only, yet a list whose
// text is set from a file must show that text even when it is none of its
// items (a [СОСТАВ] value like "БДУ(4)" is shown as it stands).
#include <QComboBox>
#include <QObject>

class QTimer;

namespace kvort::gui {

class DropDownList : public QComboBox {
    Q_OBJECT
  public:
    explicit DropDownList(QWidget* parent = nullptr);

    // Selects the item with exactly this text, or shows the text with no
    // item selected.
    void setText(const QString& text);
    // The text shown: the selected item's, or the one set from a file.
    QString text() const;

  signals:
    // A double-click on the list; a single click still drops it down.
    void doubleClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    QString m_freeText;
    QTimer* m_clickTimer;
};

} // namespace kvort::gui
