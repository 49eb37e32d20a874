#pragma once
// The title-bar buttons of the window's dialogs. A modal dialog that is
// minimised hides behind the main window and blocks it, so none offers
// minimise; only a dialog whose content can use the room offers maximise.
#include <QWidget>

namespace kvort::gui {

enum class DialogFrame {
    FixedSize, ///< title and close button
    Resizable, ///< title, maximise and close button
    NoClose,   ///< title only: the dialog's own buttons answer it
};

inline void useDialogFrame(QWidget* dialog, DialogFrame frame) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame != DialogFrame::NoClose)
        flags |= Qt::WindowCloseButtonHint;
    if (frame == DialogFrame::FixedSize || frame == DialogFrame::NoClose)
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    else
        flags |= Qt::WindowMaximizeButtonHint;
    dialog->setWindowFlags(flags);
}

} // namespace kvort::gui
