#pragma once
// The window's drop-down lists. They are selection-only, yet a list whose
// text is set from a file must show that text even when it is none of its
// items (a [СОСТАВ] value like "БДУ(4)" is shown as it stands).
#include <QComboBox>
#include <QElapsedTimer>
#include <QObject>

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

    void showPopup() override;

  signals:
    // A double-click on the list; a single click drops it down at once.
    void doubleClicked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    bool isSecondClick(const QPointF& globalPos) const;
    void takeDoubleClick();

    QString m_freeText;
    QElapsedTimer m_openedByClick; // since the click that dropped the list down
    bool m_popupWatched = false;
};

} // namespace kvort::gui
