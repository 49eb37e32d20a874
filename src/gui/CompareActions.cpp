#include "CompareActions.h"

#include "app/ConfigCompare.h"
#include "app/PanelVerify.h"
#include "gui/Guarded.h"
#include "gui/dialogs/CompareDialog.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace kvort::gui {

using namespace text::literals;

std::string_view VerifyOfferQuestion() {
    return "ПРОВЕРИТЬ ЗАПИСЬ? ПЕРЕВЕДИТЕ ПУ-П В РЕЖИМ \"СЧИТЫВАНИЯ КОНФИГУРАЦИИ\" И НАЖМИТЕ \"ДА\""_cp;
}

CompareActions::CompareActions(ConfigSession& session, Workflows& workflows, UserPrompts& prompts,
                               ProgressSink& progress, QAction* enabledLike, QObject* parent)
    : QObject(parent), m_session(session), m_workflows(workflows), m_prompts(prompts),
      m_progress(progress) {
    m_withPanel = new QAction(QStringLiteral("Сравнить с прибором"), this);
    m_withPanel->setObjectName(QStringLiteral("compareWithPanelAction"));
    m_withPanel->setToolTip(QStringLiteral("Считать ПУ-П и сравнить с открытой конфигурацией"));
    m_withFile = new QAction(QStringLiteral("Сравнить с файлом..."), this);
    m_withFile->setObjectName(QStringLiteral("compareWithFileAction"));
    m_withFile->setToolTip(
        QStringLiteral("Сравнить открытую конфигурацию с другой конфигурацией или образом"));
    auto follow = [this, enabledLike] {
        m_withPanel->setEnabled(enabledLike->isEnabled());
        m_withFile->setEnabled(enabledLike->isEnabled());
    };
    follow();
    connect(enabledLike, &QAction::changed, this, follow);
    connect(m_withPanel, &QAction::triggered, this, [this] { compareWithPanel(); });
    connect(m_withFile, &QAction::triggered, this, [this] { compareWithFile(); });
    m_show = [](const QString& title, const std::vector<std::string>& lead, const Comparison& c) {
        CompareDialog dialog(title, lead, c, QApplication::activeWindow());
        dialog.exec();
    };
}

void CompareActions::compareWithPanel() {
    TransferOutcome outcome = TransferOutcome::Stopped;
    guarded(m_prompts, m_progress, [&] {
        outcome = m_workflows.readPanelImage();
        if (outcome != TransferOutcome::Completed)
            return;
        const PanelVerification v = VerifyPanelImage(m_session.panel().image, m_session.cnfPath());
        std::vector<std::string> lead = FormatVerification(v);
        lead.resize(1); // the byte count; the rest is the tree
        Comparison c = v.comparison;
        if (v.same()) {
            c.labelA = text::fromUtf8Lossy(m_session.cnfPath().filename().string());
            c.labelB = std::string("ПУ-П"_cp);
        }
        m_show(QStringLiteral("Сравнение с прибором"), lead, c);
    });
    if (outcome == TransferOutcome::NotFound && m_noPanel)
        m_noPanel();
}

void CompareActions::compareWithFile() {
    guarded(m_prompts, m_progress, [&] {
        FileDialogOptions options;
        options.filter = "*.cnf;*.bin|*.cnf;*.bin";
        options.caption = std::string("Сравнить с файлом"_cp);
        const auto chosen = m_prompts.openFile(options);
        if (!chosen)
            return;
        m_progress.setBusy(true);
        Comparison c;
        try {
            c = CompareSources(SourceFromPath(m_session.cnfPath()), SourceFromPath(*chosen));
        } catch (...) {
            m_progress.setBusy(false);
            throw;
        }
        m_progress.setBusy(false);
        m_show(QStringLiteral("Сравнение с файлом"), {}, c);
    });
}

void CompareActions::offerVerify() {
    if (m_prompts.message("ИНФОРМАЦИЯ"_cp, VerifyOfferQuestion(), MsgIcon::Question,
                          MsgButtons::YesNo) == MsgResult::Yes)
        compareWithPanel();
}

} // namespace kvort::gui
