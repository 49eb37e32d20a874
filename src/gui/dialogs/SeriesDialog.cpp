#include "gui/dialogs/SeriesDialog.h"

#include "gui/GuiText.h"
#include "gui/dialogs/DialogFrame.h"
#include "text/Literals.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kvort::gui {

using namespace text::literals;

namespace {
// Icon, close button and the window manager's padding around the title.
constexpr int kTitleBarAllowance = 110;
} // namespace

SeriesDialog::SeriesDialog(QWidget* parent) : QDialog(parent), m_choices(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("seriesDialog"));
    setWindowTitle(QStringLiteral("Выберите серию прибора"));
    useDialogFrame(this, DialogFrame::FixedSize);
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
    m_cancel = buttons->addButton(QStringLiteral("ОТМЕНИТЬ"), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("seriesCancelButton"));
    ok->setObjectName(QStringLiteral("seriesOkButton"));
    fh->setObjectName(QStringLiteral("seriesFhRadio"));
    i->setObjectName(QStringLiteral("seriesIRadio"));
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, [this, fh, i] {
        m_choices->setExclusive(false);
        fh->setChecked(false);
        i->setChecked(false);
        m_choices->setExclusive(true);
        reject();
    });
    ok->setDefault(true);
    ok->setFocus();
    // The frame is fixed, and its caption must be readable in it: the
    // content alone would make the dialog narrower than its title. The
    // title bar's font is the window manager's; the application's bold font
    // and room for the icon and the close button come close enough.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int titleWidth =
        QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarAllowance;
    const QSize content = layout->sizeHint();
    setFixedSize(std::max(content.width(), titleWidth), content.height());
}

void SeriesDialog::keyPressEvent(QKeyEvent* event) {
    // Escape is the person's "ОТМЕНИТЬ", not the frame's close button.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        m_cancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
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
