// The report preview driven as a person uses it: paging, saving as PDF, and
// the print action's sequence of previews.
#include "gui/report/ReportPreview.h"

#include "ScriptedPrompts.h"
#include "document/IniStore.h"
#include "text/Cp1251.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using namespace kvort;

namespace {

std::string cp(const char* utf8) {
    return text::fromUtf8(utf8);
}

class Preview : public ::testing::Test {
  protected:
    fs::path dir =
        fs::temp_directory_path() / ("kvort-preview-" + std::to_string(std::random_device{}()));
    fs::path sample(const std::string& name) {
        fs::create_directories(dir);
        for (const auto& e : fs::directory_iterator(fs::path(KVORT_EXAMPLES_DIR) / name))
            fs::copy_file(e.path(), dir / e.path().filename());
        return dir / (name + ".cnf");
    }
    void TearDown() override { fs::remove_all(dir); }

    static void click(QWidget& window, const char* name) {
        auto* b = window.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
};

TEST_F(Preview, PagesThroughAndSavesThePdf) {
    const fs::path cnf = sample("small");
    report::Report detectors = report::Report::build(ReportKind::Detectors, cnf);
    ASSERT_GT(detectors.pageCount(), 2);
    ScriptedPrompts prompts;
    prompts.setChangesWorkingDirectory(false);
    gui::ReportPreview preview(detectors, prompts);
    preview.show();

    const int last = detectors.pageCount() - 1;
    EXPECT_EQ(preview.findChild<QLabel*>("pageCountLabel")->text(),
              QStringLiteral("из %1").arg(detectors.pageCount()));
    click(preview, "nextPageButton");
    EXPECT_EQ(preview.currentPage(), 1);
    click(preview, "lastPageButton");
    click(preview, "nextPageButton");
    EXPECT_EQ(preview.currentPage(), last);
    EXPECT_EQ(preview.findChild<QSpinBox*>("pageSpin")->value(), last + 1);
    preview.findChild<QSpinBox*>("pageSpin")->setValue(1);
    EXPECT_EQ(preview.currentPage(), 0);
    EXPECT_TRUE(preview.findChild<QPushButton*>("pageSetupButton")->isVisibleTo(&preview));

    FileDialogOptions options;
    options.filter = "*.pdf|*.pdf";
    options.defaultExtension = ".pdf";
    options.initialName = cp("small_Список извещателей.pdf");
    const fs::path saved = dir / "list.pdf";
    prompts.expectSaveFile(saved, options);
    click(preview, "savePdfButton");
    EXPECT_EQ(readFile(saved).substr(0, 5), "%PDF-");

    // A file that cannot be written is named in an error box; nothing is left.
    const fs::path nowhere = dir / "no" / "list.pdf";
    prompts.expectSaveFile(nowhere).expectMessage(
        cp("ОШИБКА"), cp("Не удалось записать файл ") + nowhere.string(), MsgIcon::Error,
        MsgButtons::Ok, MsgResult::Ok);
    click(preview, "savePdfButton");
    EXPECT_EQ(prompts.pending(), 0u);
    EXPECT_FALSE(fs::exists(nowhere.parent_path()));

    report::Report outputs = report::Report::build(ReportKind::Outputs, cnf);
    gui::ReportPreview other(outputs, prompts);
    EXPECT_FALSE(other.findChild<QPushButton*>("pageSetupButton")->isVisibleTo(&other));
}

TEST_F(Preview, PrintShowsTheReportsOneAfterAnotherInPrintOrder) {
    const fs::path cnf = sample("full");
    ScriptedPrompts prompts;
    QStringList shown;
    int open = -1; // previews alive while one is shown
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown << dialog->windowTitle();
        int alive = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            alive += w->objectName() == QStringLiteral("reportPreview") && w->isVisible();
        open = std::max(open, alive);
        click(*dialog, "closeButton");
    });
    closer.start(10);
    gui::ShowConfigReports(cnf, prompts, nullptr);
    closer.stop();

    const QString p = QStringLiteral("Предварительный просмотр — ");
    EXPECT_EQ(shown, (QStringList{p + "Список извещателей", p + "Релейные сценарии",
                                  p + "Релейные выходы", p + "Направления пожаротушения"}));
    EXPECT_EQ(open, 1);
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
