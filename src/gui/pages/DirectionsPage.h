#pragma once
// "Пожаротушение": the eight fire-extinguishing directions, 1..4 in the top
// row and 5..8 in the bottom one. What the groups show is the session's
// (saving the configuration writes it); each group's button saves its own
// direction into NAME.cnf at once.
#include "gui/pages/ConfigPage.h"

#include <array>

namespace kvort::gui {

class DirectionGroup;

class DirectionsPage : public ConfigPage {
    Q_OBJECT
  public:
    DirectionsPage(const PageContext& context, QWidget* parent);
    QString title() const override;
    void load(SessionChange change) override;
    // Unsaved zone names go into the file first; then the directions are
    // read again, so choices not saved are dropped.
    void shown() override;
    void flush() override;

    DirectionGroup* group(int direction) const { return m_groups.at(direction - 1); }

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void loadDirections();
    void choiceMade(DirectionGroup* group);
    void save(DirectionGroup* group);

    std::array<DirectionGroup*, kDirectionCount> m_groups{};
    // The note of this tab is on the status bar (it goes when the tab does).
    bool m_noteShown = false;
};

} // namespace kvort::gui
