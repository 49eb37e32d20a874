#pragma once
// "СОСТАВ": the nine slot rows (a button that shows the slot and a list of
// its device kind) and the БРВУ and БДУ frames. Widgets only; what a choice
// writes is the alarm page's.
#include "document/EditorViews.h"

#include <QGroupBox>

#include <array>
#include <string>

class QLabel;
class QToolButton;

namespace kvort::gui {

class DropDownList;
class BlockLabel;

class CompositionPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit CompositionPanel(QWidget* parent);

    DropDownList* slotList(int slot) const { return m_lists[slot]; }
    // Slot 0 "ПУ-П", the others "НЕТ"; slots 0 and 1 enabled.
    void reset();
    void setRelayBlocks(const BlocksInUse& blocks);
    void setExtinguishingBlocks(const BlocksInUse& blocks);

  signals:
    void slotChosen(int slot);              // the person picked an item
    void slotButtonClicked(int slot);       // "show slot N"
    void commentRequested(std::string key); // CP1251 key of [КОММЕНТАРИИ К ПРИБОРАМ]

  private:
    std::array<QToolButton*, 9> m_buttons{};
    std::array<DropDownList*, 9> m_lists{};
    std::array<BlockLabel*, 8> m_relayLabels{};
    std::array<BlockLabel*, 8> m_extinguishingLabels{};
};

} // namespace kvort::gui
