#include "gui/dialogs/QtPrompts.h"

#include "gui/GuiText.h"
#include "gui/dialogs/DialogFrame.h"
#include "gui/dialogs/SeriesDialog.h"
#include "text/Literals.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

namespace kvort::gui {

using namespace text::literals;

namespace {

// A question that only its buttons answer, as the platform's Yes/No box is:
// Qt would take Escape or the frame's close button as "No", and "No" to
// "save the changes?" restores the files and throws the edits away.
class MessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;
    bool buttonsOnly = false;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (buttonsOnly && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (buttonsOnly) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

} // namespace

QString qtFilter(std::string_view delphiFilter) {
    const QStringList parts = qs(delphiFilter).split(u'|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        QString description = parts[i];
        // A description that is its own pattern ("*.cnf|*.cnf") is shown
        // once, as the person knows it; Qt takes a filter without brackets
        // as its patterns.
        if (description.trimmed() == parts[i + 1].trimmed()) {
            entries << patterns;
            continue;
        }
        // A description that already shows its patterns keeps them once.
        if (description.contains(u'('))
            description = description.left(description.indexOf(u'(')).trimmed();
        entries << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    if (entries.isEmpty() && !parts.isEmpty() && !parts[0].isEmpty())
        entries << parts[0];
    return entries.join(QStringLiteral(";;"));
}

MsgResult QtPrompts::message(std::string_view caption, std::string_view text, MsgIcon icon,
                             MsgButtons buttons) {
    MessageBox box(m_parent);
    box.buttonsOnly = buttons == MsgButtons::YesNo;
    // A question only its buttons answer offers no close button either.
    useDialogFrame(&box, box.buttonsOnly ? DialogFrame::NoClose : DialogFrame::FixedSize);
    box.setWindowTitle(qs(caption));
    box.setText(qs(text));
    switch (icon) {
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    QAbstractButton* yes = nullptr;
    QAbstractButton* no = nullptr;
    QAbstractButton* ok = nullptr;
    QAbstractButton* cancel = nullptr;
    switch (buttons) {
    case MsgButtons::Ok:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        break;
    case MsgButtons::OkCancel:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        break;
    case MsgButtons::YesNo:
        yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        break;
    case MsgButtons::YesNoCancel:
        yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        break;
    }
    if (cancel)
        box.setEscapeButton(cancel);
    box.exec();
    QAbstractButton* pressed = box.clickedButton();
    if (pressed && pressed == yes)
        return MsgResult::Yes;
    if (pressed && pressed == no)
        return MsgResult::No;
    if (pressed && pressed == ok)
        return MsgResult::Ok;
    if (cancel)
        return MsgResult::Cancel;
    // Only reached when something other than the person ended the box.
    return no ? MsgResult::No : MsgResult::Ok;
}

std::optional<std::filesystem::path> QtPrompts::fileDialog(const FileDialogOptions& options,
                                                           bool save) {
    QFileDialog dialog(m_parent, qs(options.caption));
    useDialogFrame(&dialog, DialogFrame::Resizable);
    // The folder the person last chose (the working directory), not the
    // toolkit's own memory of the last folder.
    dialog.setDirectory(QDir::currentPath());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The toolkit's own question, in Russian with its translations loaded;
    // the new-configuration dialog asks about the whole set itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.askBeforeReplacing);
    QString ext = qs(options.defaultExtension);
    if (ext.startsWith(u'.'))
        ext.remove(0, 1);
    if (!ext.isEmpty())
        dialog.setDefaultSuffix(ext);
    const QString filter = qtFilter(options.filter);
    if (!filter.isEmpty())
        dialog.setNameFilter(filter);
    if (!options.initialName.empty())
        dialog.selectFile(qs(options.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    std::filesystem::path chosen(dialog.selectedFiles().first().toStdString());
    makeWorkingDirectoryOf(chosen);
    return chosen;
}

std::optional<std::filesystem::path> QtPrompts::openFile(const FileDialogOptions& options) {
    return fileDialog(options, false);
}

std::optional<std::filesystem::path> QtPrompts::saveFile(const FileDialogOptions& options) {
    return fileDialog(options, true);
}

std::string QtPrompts::inputBox(std::string_view caption, std::string_view prompt,
                                std::string_view initial) {
    QInputDialog dialog(m_parent);
    useDialogFrame(&dialog, DialogFrame::FixedSize);
    dialog.setWindowTitle(qs(caption));
    dialog.setLabelText(qs(prompt));
    dialog.setTextValue(qs(initial));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted)
        return std::string(initial);
    return cp(dialog.textValue());
}

int QtPrompts::chooseSeries() {
    return SeriesDialog::choose(m_parent);
}

void QtPrompts::openDocument(const std::filesystem::path& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path.string())));
}

} // namespace kvort::gui
