#include "gui/widgets/ListKeyFilter.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QWidget>

namespace kvort::gui {

void ListKeyFilter::installOn(QWidget* root) {
    const auto lists = root->findChildren<QComboBox*>();
    for (QComboBox* list : lists) {
        list->installEventFilter(this);
        if (list->view())
            list->view()->installEventFilter(this);
    }
}

bool ListKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (!typed.isEmpty() && typed.at(0).isPrint())
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kvort::gui
