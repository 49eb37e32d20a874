#include "ZoneNameDelegate.h"

#include "app/DetectorEditor.h"
#include "gui/GuiText.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace kvort::gui {

QWidget* ZoneNameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("zoneNameEdit"));
    edit->setFrame(false);
    edit->setMaxLength(kZoneNameLength);
    edit->setProperty("row", index.row());
    connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& typed) {
        const QString clean = qs(ZoneNameInput(cp(typed)));
        if (clean != typed) {
            const int back = int(typed.size() - clean.size());
            const int cursor = edit->cursorPosition();
            edit->setText(clean);
            edit->setCursorPosition(std::clamp(cursor - back, 0, int(clean.size())));
        }
        emit const_cast<ZoneNameDelegate*>(this)->typed(edit->property("row").toInt(),
                                                        edit->text());
    });
    return edit;
}

bool ZoneNameDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(object);
    if (edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const int row = edit->property("row").toInt();
            emit commitData(edit);
            emit closeEditor(edit, QAbstractItemDelegate::NoHint);
            emit entered(row);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace kvort::gui
