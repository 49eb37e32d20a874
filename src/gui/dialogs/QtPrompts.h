#pragma once
// The window's answers to the workflows' questions: Qt message boxes with
// Russian buttons, file dialogs with the system's filters and default
// extensions, the input box and the device-series dialog.
#include "app/UserPrompts.h"

class QWidget;
class QString;

namespace kvort::gui {

class QtPrompts : public UserPrompts {
  public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    MsgResult message(std::string_view caption, std::string_view text, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<std::filesystem::path> openFile(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) override;
    std::string inputBox(std::string_view caption, std::string_view prompt,
                         std::string_view initial) override;
    int chooseSeries() override;
    void openDocument(const std::filesystem::path& path) override;

  private:
    std::optional<std::filesystem::path> fileDialog(const FileDialogOptions& options, bool save);
    QWidget* m_parent;
};

// "Конфигурации (*.cnf)|*.cnf|Все файлы|*.*" -> "Конфигурации (*.cnf);;Все файлы (*.*)".
// The Delphi form pairs a description with its patterns; Qt wants the
// patterns in brackets.
QString qtFilter(std::string_view delphiFilter);

} // namespace kvort::gui
