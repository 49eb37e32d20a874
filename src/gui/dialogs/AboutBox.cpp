#include "gui/dialogs/AboutBox.h"

#include "document/Config.h"
#include "gui/GuiText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvort::gui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    auto* title =
        new QLabel(QStringLiteral("<b>КвортКонфигуратор %1</b>").arg(qs(ToolVersion())), this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto* body = new QLabel(
        QStringLiteral("Конфигурирование приборов адресной системы пожарной сигнализации "
                       "и пожаротушения КВОРТ серий F, H и I.\n\n"
                       "Сборка для Linux (Qt %1).\n"
                       "Вопросы по настройке приборов — в службу технической поддержки "
                       "поставщика системы КВОРТ.")
            .arg(QString::fromLatin1(qVersion())),
        this);
    body->setWordWrap(true);
    body->setAlignment(Qt::AlignCenter);
    layout->addWidget(body);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close =
        buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    setFixedSize(420, 220);
    if (parent)
        move(parent->geometry().center() - rect().center());
}

} // namespace kvort::gui
