#include "gui/ServiceActions.h"

#include "app/FileActions.h"
#include "gui/Actions.h"
#include "gui/Guarded.h"
#include "gui/dialogs/AboutBox.h"
#include "gui/dialogs/HistoryDialog.h"
#include "gui/report/ReportPreview.h"

#include <QAction>
#include <QCoreApplication>
#include <QWidget>

namespace fs = std::filesystem;

namespace kvort::gui {

ServiceActions::ServiceActions(ConfigSession& session, UserPrompts& prompts, ProgressSink& progress,
                               const Actions& actions, std::function<void()> saveShown,
                               QWidget* window)
    : QObject(window), m_session(session), m_prompts(prompts), m_progress(progress),
      m_saveShown(std::move(saveShown)), m_window(window) {
    m_history = new QAction(QStringLiteral("История конфигурации..."), this);
    m_history->setObjectName(QStringLiteral("historyAction"));
    m_history->setToolTip(QStringLiteral("Прежние состояния конфигурации и их восстановление"));
    // Open while a configuration is open and no transfer holds it: as the write.
    QAction* write = actions.get(ActionId::WriteConfig);
    m_history->setEnabled(write->isEnabled());
    connect(write, &QAction::changed, m_history,
            [this, write] { m_history->setEnabled(write->isEnabled()); });
    connect(m_history, &QAction::triggered, this, [this] { showHistory(); });

    auto on = [this, &actions](ActionId id, const std::function<void()>& body) {
        connect(actions.get(id), &QAction::triggered, this, [body] { body(); });
    };
    on(ActionId::HelpConfig, [this] { m_prompts.openDocument(helpPath()); });
    on(ActionId::AboutConfig, [this] {
        AboutBox box(m_window);
        box.exec();
    });
    on(ActionId::FileJSON,
       [this] { guarded([&] { FileJSON(m_session.currentPath(), m_prompts); }); });
    on(ActionId::PrintConfig, [this] {
        guarded([&] { ShowConfigReports(m_session.currentPath(), m_prompts, m_window); });
    });
    const std::pair<ActionId, ArchiveKind> archives[] = {
        {ActionId::ReadArhiveAlarm, ArchiveKind::Fires},
        {ActionId::ReadArhiveFault, ArchiveKind::Faults},
        {ActionId::ReadArhiveEvent, ArchiveKind::Events}};
    for (const auto& [id, kind] : archives)
        on(id, [this, kind = kind] {
            guarded([&] { OpenArchiveText(kind, m_session.currentPath(), m_prompts); });
        });
}

bool ServiceActions::guarded(const std::function<void()>& body) {
    return gui::guarded(m_prompts, m_progress, body);
}

void ServiceActions::showHistory() {
    if (!m_session.isOpen())
        return;
    HistoryDialog dialog(m_session, m_prompts, m_progress, m_saveShown, m_window);
    dialog.exec();
    // A restore has loaded the configuration again; the busy cursor of
    // loading ends here.
    m_progress.setBusy(false);
}

fs::path ServiceActions::helpPath() {
    const fs::path dir(QCoreApplication::applicationDirPath().toStdString());
    fs::path beside = dir / "KvortConfigHelp" / "KvortConfig.html";
    std::error_code ec;
    if (fs::exists(beside, ec))
        return beside;
    // Installed under the usual prefix layout the page lives in share/.
    fs::path shared =
        dir.parent_path() / "share" / "kvort-config" / "KvortConfigHelp" / "KvortConfig.html";
    if (fs::exists(shared, ec))
        return shared;
    return beside;
}

} // namespace kvort::gui
