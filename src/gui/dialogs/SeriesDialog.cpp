#include "gui/dialogs/SeriesDialog.h"

#include "gui/GuiText.h"
#include "text/Literals.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kvort::gui {

using namespace text::literals;

SeriesDialog::SeriesDialog(QWidget* parent) : QDialog(parent), m_choices(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("seriesDialog"));
    setWindowTitle(QStringLiteral("Выберите серию прибора"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(this);
    group->setToolTip(QStringLiteral("Серии F,H"));
    auto* groupLayout = new QVBoxLayout(group);
    auto* fh = new QRadioButton(qs("СЕРИЯ  \"F\" \"H\""_cp), group);
    auto* i = new QRadioButton(qs("СЕРИЯ   \"I\""_cp), group);
    groupLayout->addWidget(fh);
    groupLayout->addWidget(i);
    m_choices->addButton(fh, 0);
    m_choices->addButton(i, 1);
    i->setChecked(true);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("ОТМЕНИТЬ"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, [this, fh, i] {
        m_choices->setExclusive(false);
        fh->setChecked(false);
        i->setChecked(false);
        m_choices->setExclusive(true);
        reject();
    });
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setDefault(true);
    ok->setFocus();
}

int SeriesDialog::series() const {
    return m_choices->checkedId(); // -1 when nothing is selected
}

int SeriesDialog::choose(QWidget* parent) {
    SeriesDialog dialog(parent);
    dialog.exec();
    return dialog.series();
}

} // namespace kvort::gui
