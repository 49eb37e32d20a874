// The Qt side of the prompts port: filters, message-box buttons and the
// series dialog, answered by clicking the real dialogs.
#include "gui/dialogs/QtPrompts.h"
#include "TempDir.h"
#include "gui/GuiText.h"
#include "gui/QtTranslations.h"
#include "text/Cp1251.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace kvort::gui::test {

namespace {

// Runs `act` on the modal dialog as soon as it is shown.
void whenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

void clickButton(QWidget* dialog, const QString& text) {
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (b->text() == text) {
            b->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString();
    static_cast<QDialog*>(dialog)->reject();
}

} // namespace

TEST(QtPromptsTest, DelphiFiltersBecomeQtFilters) {
    const std::vector<std::pair<const char*, const char*>> rows = {
        // A description that is its own pattern is shown once.
        {"*.cnf|*.cnf", "*.cnf"},
        {"*.BIN|*.BIN", "*.BIN"},
        {"Конфигурации (*.cnf)|*.cnf|Все файлы|*.*", "Конфигурации (*.cnf);;Все файлы (*.*)"},
        {"Тексты|*.txt;*.TXT", "Тексты (*.txt *.TXT)"},
        {"", ""},
    };
    for (const auto& [delphi, qt] : rows)
        EXPECT_EQ(qtFilter(text::fromUtf8(delphi)).toStdString(), qt) << delphi;
}

TEST(QtPromptsTest, MessageBoxesAnswerWithTheButtonClicked) {
    struct Row {
        MsgButtons buttons;
        const char* click;
        MsgResult expected;
    };
    const std::vector<Row> rows = {
        {MsgButtons::YesNoCancel, "Да", MsgResult::Yes},
        {MsgButtons::YesNoCancel, "Нет", MsgResult::No},
        {MsgButtons::YesNoCancel, "Отмена", MsgResult::Cancel},
        {MsgButtons::YesNo, "Нет", MsgResult::No},
        {MsgButtons::Ok, "OK", MsgResult::Ok},
    };
    QtPrompts prompts;
    for (const Row& row : rows) {
        QString caption, text;
        whenModal([&](QWidget* box) {
            caption = box->windowTitle();
            text = static_cast<QMessageBox*>(box)->text();
            clickButton(box, QString::fromUtf8(row.click));
        });
        const MsgResult got =
            prompts.message(text::fromUtf8("ИНФОРМАЦИЯ"), text::fromUtf8("СОХРАНИТЬ? "),
                            MsgIcon::Question, row.buttons);
        EXPECT_EQ(got, row.expected) << row.click;
        EXPECT_EQ(caption, QString::fromUtf8("ИНФОРМАЦИЯ"));
        EXPECT_EQ(text, QString::fromUtf8("СОХРАНИТЬ? "));
    }
}

TEST(QtPromptsTest, EscapeAndTheFrameGiveOnlyAHarmlessAnswer) {
    // A box with Cancel takes them as Cancel, a lone OK as OK; a Yes/No
    // question has no harmless answer (No to "save?" throws the edits
    // away), so it stays until one of its buttons is pressed.
    struct Row {
        MsgButtons buttons;
        bool staysOpen;
        MsgResult expected;
    };
    const std::vector<Row> rows = {
        {MsgButtons::YesNoCancel, false, MsgResult::Cancel},
        {MsgButtons::OkCancel, false, MsgResult::Cancel},
        {MsgButtons::Ok, false, MsgResult::Ok},
        {MsgButtons::YesNo, true, MsgResult::Yes},
    };
    QtPrompts prompts;
    for (const Row& row : rows) {
        bool openAfterEscape = false, openAfterClose = false;
        whenModal([&](QWidget* box) {
            QTest::keyClick(box, Qt::Key_Escape);
            openAfterEscape = box->isVisible();
            if (openAfterEscape) {
                box->close();
                openAfterClose = box->isVisible();
            }
            if (openAfterClose)
                clickButton(box, QString::fromUtf8("Да"));
        });
        const MsgResult got =
            prompts.message(text::fromUtf8("ИНФОРМАЦИЯ"), text::fromUtf8("СОХРАНИТЬ? "),
                            MsgIcon::Question, row.buttons);
        EXPECT_EQ(openAfterEscape, row.staysOpen) << int(row.buttons);
        EXPECT_EQ(openAfterClose, row.staysOpen) << int(row.buttons);
        EXPECT_EQ(got, row.expected) << int(row.buttons);
    }
}

TEST(QtPromptsTest, SeriesDialogGivesTheSelectedChoiceWhicheverWayItCloses) {
    struct Row {
        const char* name;
        std::function<void(QWidget*)> act;
        int expected;
    };
    auto click = [](const char* text) {
        return [text](QWidget* d) { clickButton(d, QString::fromUtf8(text)); };
    };
    const std::vector<Row> rows = {
        {"OK with the preselected I", click("OK"), 1},
        {"F/H chosen",
         [](QWidget* d) {
             d->findChildren<QRadioButton*>().at(0)->click();
             clickButton(d, QStringLiteral("OK"));
         },
         0},
        {"ОТМЕНИТЬ clears the choice", click("ОТМЕНИТЬ"), -1},
        {"Escape is ОТМЕНИТЬ", [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }, -1},
        {"closed by its frame", [](QWidget* d) { d->close(); }, 1},
    };
    QtPrompts prompts;
    for (const Row& row : rows) {
        QString caption;
        QStringList choices;
        int width = 0, captionWidth = 0;
        Qt::WindowFlags flags;
        whenModal([&](QWidget* d) {
            caption = d->windowTitle();
            width = d->width();
            captionWidth = d->fontMetrics().horizontalAdvance(caption);
            flags = d->windowFlags();
            for (QRadioButton* r : d->findChildren<QRadioButton*>())
                choices << r->text();
            row.act(d);
        });
        EXPECT_EQ(prompts.chooseSeries(), row.expected) << row.name;
        EXPECT_EQ(caption, QString::fromUtf8("Выберите серию прибора"));
        // The caption fits the title bar; a modal choice is not minimised.
        EXPECT_GT(width, captionWidth + 60) << row.name;
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(choices.join(u'|'), QString::fromUtf8("СЕРИЯ  \"F\" \"H\"|СЕРИЯ   \"I\""));
    }
}

TEST(QtPromptsTest, InputBoxCancelGivesBackTheInitialText) {
    QtPrompts prompts;
    whenModal([](QWidget* d) { clickButton(d, QStringLiteral("Отмена")); });
    EXPECT_EQ(text::toUtf8(prompts.inputBox(text::fromUtf8("ППКП1"), text::fromUtf8("ВВЕДИТЕ"),
                                            text::fromUtf8("СТАРЫЙ"))),
              "СТАРЫЙ");
}

TEST(QtPromptsTest, ASaveDialogAsksInRussianBeforeReplacingAFile) {
    const std::unique_ptr<QTranslator> texts = installQtTranslations();
    ASSERT_NE(texts, nullptr) << "qt6-translations-l10n is not installed";
    kvort::test::TempDir dir(kvort::test::TempDir::Cwd::Enter);
    std::ofstream(dir / "ОБЪЕКТ.json") << "{}";
    QtPrompts prompts;
    FileDialogOptions options;
    options.filter = "*.json|*.json";
    options.defaultExtension = ".json";
    options.initialName = text::fromUtf8("ОБЪЕКТ.json");

    struct Row {
        const char* name;
        bool ask;
        const char* answer; // the button of the question, "" when none comes
        bool chosen;
    };
    for (const Row& row :
         {Row{"asked, replaced", true, "Да", true}, Row{"asked, kept", true, "Нет", false},
          Row{"not asked", false, "", true}}) {
        SCOPED_TRACE(row.name);
        options.askBeforeReplacing = row.ask;
        QString question;
        whenModal([&](QWidget* d) {
            auto* dialog = qobject_cast<QFileDialog*>(d);
            ASSERT_NE(dialog, nullptr);
            if (*row.answer)
                whenModal([&](QWidget* modal) {
                    auto* box = qobject_cast<QMessageBox*>(modal);
                    ASSERT_NE(box, nullptr);
                    question = box->text();
                    QAbstractButton* button = box->button(
                        std::string(row.answer) == "Да" ? QMessageBox::Yes : QMessageBox::No);
                    ASSERT_NE(button, nullptr);
                    EXPECT_EQ(button->text().remove(u'&'), QString::fromUtf8(row.answer));
                    button->click();
                });
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
            // Kept: the dialog stays for another name; the person cancels.
            if (dialog->isVisible())
                dialog->reject();
        });
        const auto chosen = prompts.saveFile(options);
        EXPECT_EQ(chosen.has_value(), row.chosen);
        if (chosen) {
            EXPECT_EQ(chosen->filename(), "ОБЪЕКТ.json");
        }
        if (*row.answer) {
            EXPECT_TRUE(question.contains(QStringLiteral("ОБЪЕКТ.json"))) << question.toStdString();
            EXPECT_TRUE(question.contains(QStringLiteral("уже существует")))
                << question.toStdString();
        } else {
            EXPECT_TRUE(question.isEmpty());
        }
    }
    QLocale::setDefault(QLocale::c());
}

} // namespace kvort::gui::test
