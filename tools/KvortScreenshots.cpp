// Takes the README's pictures of the window: the start state, each tab with
// a configuration open, and the smallest size the window allows.
//     kvort-screenshots OUTDIR CONFIG.cnf
// The configuration is opened in place (working copies are made beside it),
// so point it at a copy.
#include "gui/MainWindow.h"
#include "gui/dialogs/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cstdio>

namespace {

bool save(QWidget& window, const QString& file) {
    QCoreApplication::processEvents();
    QTest::qWait(150); // let the window system settle the layout
    const bool ok = window.grab().save(file);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(file));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvort-screenshots OUTDIR CONFIG.cnf\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    kvort::gui::QtPrompts prompts;
    kvort::gui::MainWindow window(prompts);
    prompts.setParent(&window);
    window.resize(1400, 860);
    window.show();
    bool ok = save(window, out.filePath(QStringLiteral("start.png")));

    window.FileOpen1Accept(std::filesystem::path(argv[2]));
    if (auto* slot1 = window.findChild<QToolButton*>(QStringLiteral("slot1Button")))
        slot1->click();
    ok &= save(window, out.filePath(QStringLiteral("alarm.png")));
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("tabs"));
    auto page = [&](const char* name) { return window.findChild<QWidget*>(QLatin1String(name)); };
    tabs->setCurrentWidget(page("scenarioTab"));
    ok &= save(window, out.filePath(QStringLiteral("scenarios.png")));
    tabs->setCurrentWidget(page("directionTab"));
    ok &= save(window, out.filePath(QStringLiteral("extinguishing.png")));
    tabs->setCurrentWidget(page("alarmTab"));
    window.resize(window.minimumSize());
    ok &= save(window, out.filePath(QStringLiteral("minimum.png")));
    window.session().setModified(false);
    return ok ? 0 : 1;
}
