// Takes the README's pictures of the window: the start state, each tab with
// a configuration open, the detector dialog, and the smallest size the
// window allows.
//     kvort-screenshots OUTDIR CONFIG.cnf
// The configuration is opened in place (working copies are made beside it),
// so point it at a copy.
#include "app/ConfigCompare.h"
#include "document/Config.h"
#include "document/ConfigHistory.h"
#include "document/IniStore.h"
#include "gui/MainWindow.h"
#include "gui/QtTranslations.h"
#include "gui/dialogs/CompareDialog.h"
#include "gui/dialogs/HistoryDialog.h"
#include "gui/dialogs/QtPrompts.h"
#include "gui/dialogs/SeriesDialog.h"
#include "gui/pages/ScenarioPage.h"
#include "text/Literals.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionTitleBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTranslator>
#include <QTreeWidget>
#include <cstdio>

namespace {

bool save(QWidget& window, const QString& file) {
    QCoreApplication::processEvents();
    QTest::qWait(150); // let the window system settle the layout
    const bool ok = window.grab().save(file);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(file));
    return ok;
}

// A dialog as the person sees it: a virtual display has no window manager
// to draw the frame, so the style's own title bar (caption and close
// button) is drawn above the dialog at the dialog's width, which shows
// whether the caption fits.
bool saveDialog(QDialog& dialog, const QString& file) {
    dialog.show();
    QCoreApplication::processEvents();
    QTest::qWait(150);
    const QPixmap body = dialog.grab();
    QStyleOptionTitleBar bar;
    bar.initFrom(&dialog);
    bar.text = dialog.windowTitle();
    bar.icon = QApplication::windowIcon();
    bar.titleBarFlags = dialog.windowFlags();
    bar.titleBarState = Qt::WindowActive;
    bar.state |= QStyle::State_Active;
    bar.subControls = QStyle::SC_All;
    const int barHeight = dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, &dialog);
    bar.rect = QRect(0, 0, body.width(), barHeight);
    QPixmap framed(body.width(), body.height() + barHeight);
    framed.fill(dialog.palette().color(QPalette::Window));
    QPainter painter(&framed);
    dialog.style()->drawComplexControl(QStyle::CC_TitleBar, &bar, &painter, &dialog);
    painter.drawPixmap(0, barHeight, body);
    painter.end();
    dialog.hide();
    const bool ok = framed.save(file);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(file));
    return ok;
}

// The comparison dialog: the configuration against the image of a copy
// changed in a few places, as a panel would give it back.
bool compareShot(const std::filesystem::path& cnf, const QString& file) {
    namespace fs = std::filesystem;
    using namespace kvort;
    using namespace kvort::text::literals;
    const fs::path folder = cnf.parent_path() / "changed";
    fs::create_directories(folder);
    for (int slot = 0; slot <= 8; ++slot)
        fs::copy_file(fs::path(cnf).replace_extension(".tb" + std::to_string(slot)),
                      folder / ("full.tb" + std::to_string(slot)),
                      fs::copy_options::overwrite_existing);
    fs::copy_file(cnf, folder / "full.cnf", fs::copy_options::overwrite_existing);
    {
        IniStore c(folder / "full.cnf");
        c.WriteString("ЗОНА"_cp, "3", "1.03 СЕРВЕРНАЯ"_cp);
        c.WriteString("СЦЕНАРИЙ 01"_cp, "ШАГ 02"_cp, "БРВУ2/03/ВЫКЛ/010"_cp);
        c.WriteString("ОПИСАНИЕ ВЫХОДОВ"_cp, "ПУ-П /05"_cp, "СИРЕНА СКЛАД"_cp);
        IniStore tb(folder / "full.tb1");
        tb.WriteString("И11-01"_cp, "ТЕКСТ"_cp, "ИЗВ.ДЫМ КОРИДОР 2"_cp);
        tb.WriteString("И11-02"_cp, "СОСТОЯНИЕ"_cp, "ВЫКЛ"_cp);
    }
    writeFile(folder / "panel.bin",
              EncodeConfigurationImage(folder / "full.cnf", Series::I).bytes());
    const Comparison c = CompareSources(SourceFromPath(cnf), SourceFromPath(folder / "panel.bin"));
    kvort::gui::CompareDialog dialog(QStringLiteral("Сравнение с файлом"), {}, c, nullptr);
    dialog.resize(900, 520);
    dialog.show();
    return save(dialog, file);
}

// The history dialog over entries made as the window and the command line
// make them: a new configuration over this one, a write to the panel, a
// discard.
bool historyShot(kvort::ConfigSession& session, kvort::UserPrompts& prompts, const QString& file) {
    using namespace kvort;
    const ConfigFileSet set(session.cnfPath());
    keepInHistory(set, reason::kNew, setMembers(set));
    const TPanelImage image = EncodeConfigurationImage(set.cnf(), Series::FH);
    keepImage(set, reason::kWritePanel, image.bytes(), ImageDirection::Written, ImageMedium::Panel,
              ImageSeries::FH);
    keepInHistory(set, reason::kDiscard, {set.cnf(), set.tb(1)});
    NullProgress progress;
    kvort::gui::HistoryDialog dialog(session, prompts, progress, {}, nullptr);
    dialog.tree()->topLevelItem(0)->setExpanded(true);
    dialog.tree()->topLevelItem(2)->setExpanded(true);
    return saveDialog(dialog, file);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const auto qtTexts = kvort::gui::installQtTranslations();
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
    if (auto* scenarios = window.findChild<kvort::gui::ScenarioPage*>())
        scenarios->openScenario(97);
    ok &= save(window, out.filePath(QStringLiteral("scenario-editor.png")));
    // The direction editor with two directions filled in: the copy keeps
    // the sample's first two.
    for (int d = 3; d <= kvort::kDirectionCount; ++d)
        kvort::EraseDirection(window.session().store(), d);
    tabs->setCurrentWidget(page("directionTab"));
    ok &= save(window, out.filePath(QStringLiteral("directions-editor.png")));
    tabs->setCurrentWidget(page("alarmTab"));
    window.resize(window.minimumSize());
    ok &= save(window, out.filePath(QStringLiteral("minimum.png")));
    kvort::gui::SeriesDialog series(&window);
    ok &= saveDialog(series, out.filePath(QStringLiteral("series-dialog.png")));
    window.session().setModified(false);
    ok &= compareShot(std::filesystem::path(argv[2]), out.filePath(QStringLiteral("compare.png")));
    ok &= historyShot(window.session(), prompts, out.filePath(QStringLiteral("history.png")));
    return ok ? 0 : 1;
}
