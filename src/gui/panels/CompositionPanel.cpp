#include "gui/panels/CompositionPanel.h"

#include "document/Config.h"
#include "gui/GuiText.h"
#include "gui/widgets/BlockLabel.h"
#include "gui/widgets/DropDownList.h"
#include "text/Literals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvort::gui {

using namespace text::literals;

CompositionPanel::CompositionPanel(QWidget* parent) : QGroupBox(QStringLiteral("СОСТАВ"), parent) {
    setObjectName(QStringLiteral("compositionPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* slotGrid = new QGridLayout;
    slotGrid->setVerticalSpacing(2);
    for (int n = 0; n < kSlotCount; ++n) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("slot%1Button").arg(n));
        button->setText(QString::number(n));
        button->setToolTip(n == 0 ? QStringLiteral("Показать состав ПУ-П(Ctrl+0)")
                                  : QStringLiteral("Показать состав ППКП %1(Ctrl+%1)").arg(n));
        button->setFixedSize(22, 22);
        connect(button, &QToolButton::clicked, this, [this, n] { emit slotButtonClicked(n); });
        auto* list = new DropDownList(this);
        list->setObjectName(QStringLiteral("slot%1Combo").arg(n));
        if (n == 0)
            list->addItem(qs("ПУ-П"_cp));
        else
            list->addItems({qs("НЕТ"_cp), qs("ППКП"_cp), qs("БРИТ"_cp), qs("ПИУ"_cp), QString()});
        list->setCurrentIndex(0);
        list->setEnabled(n <= 1);
        list->setMinimumWidth(90);
        // Only the person's choice is a slot change; texts set by the
        // program are not.
        connect(list, &QComboBox::activated, this, [this, n](int) { emit slotChosen(n); });
        connect(list, &DropDownList::doubleClicked, this,
                [this, n] { emit commentRequested(SlotDeviceKey(n)); });
        slotGrid->addWidget(button, n, 0);
        slotGrid->addWidget(list, n, 1);
        m_buttons[n] = button;
        m_lists[n] = list;
    }
    layout->addLayout(slotGrid);

    auto makeFrame = [&](const QString& title, std::array<BlockLabel*, 8>& labels,
                         const char* prefix) {
        auto* frame = new QGroupBox(title, this);
        frame->setObjectName(QStringLiteral("%1Frame").arg(QLatin1String(prefix)));
        auto* frameLayout = new QVBoxLayout(frame);
        frameLayout->setSpacing(1);
        for (int b = 1; b <= 8; ++b) {
            const QString text = title + QString::number(b);
            auto* label = new BlockLabel(text, frame);
            label->setObjectName(QStringLiteral("%1%2Label").arg(QLatin1String(prefix)).arg(b));
            label->hide();
            connect(label, &BlockLabel::doubleClicked, this,
                    [this, text] { emit commentRequested(cp(text)); });
            frameLayout->addWidget(label);
            labels[b - 1] = label;
        }
        frameLayout->addStretch(1);
        return frame;
    };
    auto* frames = new QHBoxLayout;
    frames->addWidget(makeFrame(QStringLiteral("БРВУ"), m_relayLabels, "relay"));
    frames->addWidget(makeFrame(QStringLiteral("БДУ"), m_extinguishingLabels, "extinguishing"));
    layout->addLayout(frames, 1);
    setFixedWidth(150);
}

void CompositionPanel::reset() {
    for (int n = 0; n < kSlotCount; ++n) {
        m_lists[n]->setCurrentIndex(0);
        m_lists[n]->setEnabled(n <= 1);
    }
}

void CompositionPanel::setRelayBlocks(const BlocksInUse& blocks) {
    for (int b = 0; b < 8; ++b)
        m_relayLabels[b]->setVisible(blocks[b]);
}

void CompositionPanel::setExtinguishingBlocks(const BlocksInUse& blocks) {
    for (int b = 0; b < 8; ++b)
        m_extinguishingLabels[b]->setVisible(blocks[b]);
}

} // namespace kvort::gui
