// Takes the README's pictures of the window: the start state, each tab with
// a configuration open, the detector dialog, and the smallest size the
// window allows.
//     kvort-screenshots OUTDIR CONFIG.cnf
// The configuration is opened in place (working copies are made beside it),
// so point it at a copy.
#include "gui/MainWindow.h"
#include "gui/dialogs/QtPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <QTableWidget>
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

    // The detector dialog over the window, opened as the installer does:
    // a row of the detector grid and Enter.
    if (auto* grid = window.findChild<QTableWidget*>(QStringLiteral("detectorGrid"))) {
        grid->setFocus();
        grid->setCurrentCell(4, 0);
        QTest::keyClick(grid, Qt::Key_Return);
        QTest::qWait(300);
        if (auto* dialog = window.findChild<QDialog*>(QStringLiteral("detectorDialog"));
            dialog && dialog->isVisible()) {
            QPixmap shot = window.grab();
            QPainter painter(&shot);
            painter.drawPixmap(dialog->geometry().topLeft() - window.geometry().topLeft(),
                               dialog->grab());
            painter.end();
            const QString file = out.filePath(QStringLiteral("detector-dialog.png"));
            const bool saved = shot.save(file);
            std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(file));
            ok &= saved;
            dialog->reject();
        } else {
            std::printf("FAILED detector-dialog.png (the dialog did not open)\n");
            ok = false;
        }
    }
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
