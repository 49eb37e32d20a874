#pragma once
// "Пожаротушение". The direction editor comes in a later version; the tab
// shows the eight directions the session holds, read-only, and saving
// writes them back as they were read.
#include "gui/pages/ConfigPage.h"

class QTableWidget;

namespace kvort::gui {

class DirectionsPage : public ConfigPage {
    Q_OBJECT
  public:
    DirectionsPage(const PageContext& context, QWidget* parent);
    QString title() const override;
    void load(SessionChange change) override;
    // Unsaved zone names go into the file first: the direction editor takes
    // the zones from it.
    void shown() override;

  private:
    void showDirections();
    QTableWidget* m_grid;
};

} // namespace kvort::gui
