#include "gui/MainWindow.h"

#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "document/ConfigHistory.h"
#include "gui/CompareActions.h"
#include "gui/Guarded.h"
#include "gui/GuiText.h"
#include "gui/ServiceActions.h"
#include "gui/StatusPanels.h"
#include "gui/TransferActions.h"
#include "gui/pages/AlarmPage.h"
#include "gui/pages/DirectionsPage.h"
#include "gui/pages/ScenarioPage.h"
#include "gui/widgets/ListKeyFilter.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QToolBar>

namespace fs = std::filesystem;

namespace kvort::gui {

using namespace text::literals;

namespace {

constexpr int kMinWidth = 972;
constexpr int kMinHeight = 612;

FileDialogOptions configDialog() {
    FileDialogOptions options;
    options.filter = "*.cnf|*.cnf";
    options.defaultExtension = ".cnf";
    return options;
}

constexpr std::string_view kSaveQuestion = "СОХРАНИТЬ ИЗМЕНЕНИЯ В КОНФИГУРАЦИИ? "_cp;
constexpr std::string_view kSourcePrefix = "  ИСТОЧНИК:  "_cp;

} // namespace

MainWindow::MainWindow(UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_status(new StatusPanels(this)),
      m_workflows(std::make_unique<Workflows>(m_session, Ports{prompts, *m_status, *this, *this})),
      m_actions(new Actions(this)), m_keyFilter(new ListKeyFilter(this)) {
    setObjectName(QStringLiteral("KvortConfig"));
    setWindowTitle(qs(MainCaption()));
    setMinimumSize(kMinWidth, kMinHeight);
    // The window hears of a new configuration before its pages do.
    m_session.addObserver(this);
    m_compare = new CompareActions(m_session, *m_workflows, prompts, *m_status,
                                   m_actions->get(ActionId::WriteConfig), this);
    m_transfers =
        new TransferActions(*m_workflows, prompts, *m_status, *m_actions, *m_compare, this);
    m_compare->setNoPanel([this] { m_transfers->explainNoPanel(); });
    m_service = new ServiceActions(
        m_session, prompts, *m_status, *m_actions,
        [this] {
            flushPages();
            m_session.save();
        },
        this);
    createMenus();
    createToolBar();
    createPages();
    connectActions();
    m_keyFilter->installOn(this);
    m_tabs->hide();
}

MainWindow::~MainWindow() {
    m_session.removeObserver(this);
    m_session.close();
}

void MainWindow::showOnScreen() {
    // Restored size: the screen less 70 by less 150 pixels, centred; the
    // window itself opens maximized.
    if (QScreen* screen = QApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        QSize size(std::max(kMinWidth, area.width() - 70),
                   std::max(kMinHeight, area.height() - 150));
        resize(size);
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    showMaximized();
}

// ---- building the window -------------------------------------------------

void MainWindow::createMenus() {
    const Actions& a = *m_actions;
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mainMenu"));
    QMenu* mode = bar->addMenu(QStringLiteral("Режим"));
    mode->setObjectName(QStringLiteral("modeMenu"));
    mode->addActions({a[ActionId::FileOpen1], a[ActionId::NewConfig], a[ActionId::ReadConfigPU],
                      a[ActionId::WriteConfig], a[ActionId::ReadConfigCard],
                      a[ActionId::WriteConfigCard], a[ActionId::FileJSON]});
    mode->addAction(m_compare->withPanel());
    mode->addSeparator();
    mode->addAction(a[ActionId::FileExit1]);
    QMenu* service = bar->addMenu(QStringLiteral("Сервис"));
    service->setObjectName(QStringLiteral("serviceMenu"));
    service->addAction(a[ActionId::PrintConfig]);
    service->addAction(m_compare->withFile());
    service->addAction(m_service->history());
    QMenu* archives = bar->addMenu(QStringLiteral("Архивы"));
    archives->setObjectName(QStringLiteral("archivesMenu"));
    archives->addActions(
        {a[ActionId::ReadArhiveAlarm], a[ActionId::ReadArhiveFault], a[ActionId::ReadArhiveEvent]});
    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addActions({a[ActionId::HelpConfig], a[ActionId::AboutConfig]});
}

void MainWindow::createToolBar() {
    const Actions& a = *m_actions;
    QToolBar* bar = addToolBar(QStringLiteral("Панель инструментов"));
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addActions({a[ActionId::FileOpen1], a[ActionId::NewConfig], a[ActionId::PrintConfig],
                     a[ActionId::ReadConfigPU], a[ActionId::WriteConfig],
                     a[ActionId::ReadConfigCard], a[ActionId::WriteConfigCard]});
    // The progress bar fills the space up to the help button, which keeps
    // to the right edge however wide the window is.
    m_status->addProgressBar(bar);
    bar->addAction(a[ActionId::HelpConfig]);
}

void MainWindow::createPages() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    const PageContext context{m_session, m_prompts, *m_status};
    m_alarm = new AlarmPage(context, m_tabs);
    m_scenarios = new ScenarioPage(context, m_tabs);
    m_directions = new DirectionsPage(context, m_tabs);
    m_pages = {m_alarm, m_scenarios, m_directions};
    for (ConfigPage* page : m_pages)
        m_tabs->addTab(page, page->title());
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) { tabChanged(index); });
    setCentralWidget(m_tabs);
    // Ctrl+Tab and Ctrl+Shift+Tab switch tabs wherever the focus is (the
    // tab bar alone would take them only while it holds the focus).
    auto tabKey = [this](const char* name, QKeySequence::StandardKey keys, int step) {
        auto* key = new QAction(this);
        key->setObjectName(QLatin1String(name));
        key->setShortcuts(keys);
        key->setShortcutContext(Qt::WindowShortcut);
        connect(key, &QAction::triggered, this, [this, step] {
            if (!m_tabs->isVisible() || !m_tabs->isEnabled())
                return;
            const int count = m_tabs->count();
            m_tabs->setCurrentIndex((m_tabs->currentIndex() + step + count) % count);
        });
        addAction(key);
    };
    tabKey("nextTabAction", QKeySequence::NextChild, 1);
    tabKey("previousTabAction", QKeySequence::PreviousChild, -1);
}

void MainWindow::connectActions() {
    auto on = [this](ActionId id, const std::function<void()>& body) {
        connect(m_actions->get(id), &QAction::triggered, this, [body] { body(); });
    };
    on(ActionId::FileOpen1, [this] { FileOpen1Execute(); });
    on(ActionId::NewConfig, [this] { NewConfigExecute(); });
    on(ActionId::SaveConfig, [this] { SaveConfigExecute(); });
    on(ActionId::NotSaveConfig, [this] { NotSaveConfigExecute(); });
    on(ActionId::FileExit1, [this] { close(); });
}

// ---- state -----------------------------------------------------------------

bool MainWindow::guarded(const std::function<void()>& body) {
    return gui::guarded(m_prompts, *m_status, body);
}

void MainWindow::enter(WindowState state) {
    switch (m_actions->enter(state)) {
    case TabArea::Show:
        selectFirstPage();
        break;
    case TabArea::Hide:
        m_tabs->hide();
        break;
    case TabArea::Enable:
        m_tabs->setEnabled(true);
        break;
    case TabArea::Disable:
        m_tabs->setEnabled(false);
        break;
    case TabArea::Keep:
        break;
    }
}

void MainWindow::selectFirstPage() {
    // A program's own choice of tab is not the person's switch: the pages
    // hear only of the latter.
    const QSignalBlocker block(m_tabs);
    if (m_tabs->currentWidget() != m_alarm)
        m_status->setStatus(""); // the note of the tab being left
    m_tabs->setCurrentWidget(m_alarm);
    m_tabs->show();
}

void MainWindow::tabChanged(int index) {
    if (auto* page = qobject_cast<ConfigPage*>(m_tabs->widget(index)))
        guarded([&] { page->shown(); });
}

void MainWindow::configurationChanged(SessionChange change) {
    if (change != SessionChange::Loaded)
        return;
    // A saved read has set the window up already (ReadSaved).
    if (m_showingRead) {
        m_showingRead = false;
        return;
    }
    selectFirstPage();
    m_status->setBusy(true);
    enter(WindowState::Opened);
}

void MainWindow::showSource() {
    m_status->setSource(qs(kSourcePrefix) + QString::fromStdString(m_session.sourceName()));
    m_alarm->zoneGrid()->setFocus();
}

void MainWindow::flushPages() {
    for (ConfigPage* page : m_pages)
        page->flush();
}

// ---- the lifecycle ---------------------------------------------------------

void MainWindow::NewConfigExecute() {
    enter(WindowState::NewAsking);
    m_alarm->beginNew();
    FileDialogOptions options = configDialog();
    options.askBeforeReplacing = false; // the question below names the whole set
    const std::optional<fs::path> chosen = m_prompts.saveFile(options);
    if (!chosen || !mayReplace(*chosen)) {
        enter(WindowState::NewCancelled);
        return;
    }
    const bool created = guarded([&] {
        try {
            m_session.create(*chosen);
        } catch (...) {
            // Nothing was opened: the window stays as after a cancel.
            enter(WindowState::NewCancelled);
            throw;
        }
    });
    if (!created)
        return;
    m_alarm->showPanels();
    enter(WindowState::NewCreated);
    // The status bar names what is being edited, the new configuration too
    // (the open prompt goes by the session's source, not by this line).
    m_status->setSource(qs(kSourcePrefix) +
                        QString::fromStdString(m_session.cnfPath().stem().string()));
    m_alarm->zoneGrid()->setFocus();
}

bool MainWindow::mayReplace(const fs::path& chosen) {
    const fs::path cnf = ConfigFileSet(chosen).cnf();
    std::error_code ec;
    if (!fs::exists(cnf, ec))
        return true;
    const std::string question =
        std::string("КОНФИГУРАЦИЯ "_cp) + text::fromUtf8Lossy(cnf.string()) +
        std::string(" УЖЕ СУЩЕСТВУЕТ. СОЗДАТЬ НОВУЮ НА ЕЕ МЕСТЕ? ПРЕЖНЯЯ КОНФИГУРАЦИЯ БУДЕТ "
                    "СОХРАНЕНА В ЕЕ ИСТОРИИ (ПАПКА "_cp) +
        text::fromUtf8Lossy(historyFolder(ConfigFileSet(cnf)).filename().string()) + ")";
    return m_prompts.message("ИНФОРМАЦИЯ"_cp, question, MsgIcon::Question, MsgButtons::YesNo) ==
           MsgResult::Yes;
}

void MainWindow::FileOpen1Execute() {
    FileOpen1BeforeExecute();
    const std::optional<fs::path> chosen = m_prompts.openFile(configDialog());
    if (chosen)
        FileOpen1Accept(*chosen);
}

bool MainWindow::FileOpen1BeforeExecute() {
    // Only a configuration opened or read in this run (the session has a
    // source; the status line names a new one too) has working copies or a
    // file to save into; after a new one the dialog comes without a question.
    if (m_session.sourceName().empty() || !m_session.modified())
        return false;
    m_session.setModified(false);
    const MsgResult answer =
        m_prompts.message("ИНФОРМАЦИЯ"_cp, kSaveQuestion, MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgResult::Yes) {
        SaveConfigExecute();
    } else if (NotSaveConfigExecute()) {
        // The files are back as opened; the window shows them, whatever
        // becomes of the open dialog (a cancel keeps this configuration).
        guarded([&] { m_session.reload(); });
        m_status->setBusy(false);
    }
    return true;
}

void MainWindow::FileOpen1Accept(const fs::path& chosen) {
    guarded([&] {
        m_session.open(chosen);
        showSource();
    });
    m_status->setBusy(false);
}

bool MainWindow::SaveConfigExecute() {
    if (m_session.currentPath().empty())
        return true;
    return guarded([&] {
        flushPages();
        m_session.save();
    });
}

bool MainWindow::NotSaveConfigExecute() {
    if (m_session.currentPath().empty())
        return true;
    return guarded([&] { m_session.discard(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A transfer waits in its own event loop with the port and the image in
    // use; the window closes once it has ended.
    if (m_workflows->running()) {
        event->ignore();
        return;
    }
    // FormCloseQuery
    if (m_session.modified()) {
        const MsgResult answer = m_prompts.message("ИНФОРМАЦИЯ"_cp, kSaveQuestion,
                                                   MsgIcon::Question, MsgButtons::YesNoCancel);
        if (answer == MsgResult::Cancel) {
            event->ignore();
            return;
        }
        const bool done = answer == MsgResult::Yes ? SaveConfigExecute() : NotSaveConfigExecute();
        // A save or discard that failed has been shown; closing now would
        // lose the edits it was meant to keep.
        if (!done) {
            event->ignore();
            return;
        }
        m_session.setModified(false);
    }
    // FormClose: the store is released; the port closes with the workflows.
    m_session.close();
    if (m_workflows->port().isOpen())
        m_workflows->port().setOpen(false);
    event->accept();
}

// ---- the ports the workflows talk through ----------------------------------

void MainWindow::enter(WorkflowStage stage) {
    if (stage == WorkflowStage::ReadSaved)
        m_showingRead = true;
    enter(windowStateOf(stage));
    if (stage == WorkflowStage::ReadSaved)
        m_status->setBusy(true);
}

void MainWindow::configurationRead(const fs::path&) {
    showSource();
}

} // namespace kvort::gui
