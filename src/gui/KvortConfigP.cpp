// kvort-config: the window. An optional argument names a configuration to
// open at start.
#include "gui/MainWindow.h"
#include "gui/dialogs/QtPrompts.h"

#include <QApplication>
#include <QIcon>
#include <filesystem>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kvort-config"));
    QApplication::setDesktopFileName(QStringLiteral("kvort-config"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kvort-config"),
                                                 QIcon(QStringLiteral(":/kvort-config.png"))));

    kvort::gui::QtPrompts prompts;
    kvort::gui::MainWindow window(prompts);
    prompts.setParent(&window);
    window.showOnScreen();

    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        window.FileOpen1Accept(std::filesystem::path(args.at(1).toStdString()));
    return app.exec();
}
