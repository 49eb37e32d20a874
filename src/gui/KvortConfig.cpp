#include "KvortConfig.h"

#include "AboutBox.h"
#include "DropDownList.h"
#include "GuiText.h"
#include "app/CardFiles.h"
#include "app/ConfigCheck.h"
#include "app/FileActions.h"
#include "app/PanelTransfer.h"
#include "app/ReadCompletion.h"
#include "document/Config.h"
#include "document/ConfigFileSet.h"
#include "image/Encoder.h"
#include "text/Error.h"
#include "text/Format.h"
#include "text/Literals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace fs = std::filesystem;

namespace kvort::gui {

using namespace text::literals;

namespace {

constexpr int kMinWidth = 972;
constexpr int kMinHeight = 612;

QAction* makeAction(QObject* parent, const char* objectName, const QString& caption,
                    const QString& hint, QKeySequence shortcut = {}) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(objectName));
    if (!hint.isEmpty())
        action->setToolTip(hint);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

// Tool-bar pictures: a coloured tile with a short label and, for the
// transfers, an arrow saying which way the configuration goes.
enum class Arrow { None, Down, Up };
QIcon tileIcon(const QString& label, const QColor& colour, Arrow arrow) {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 10, 10);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(label.size() > 2 ? 17 : 24);
    p.setFont(font);
    p.setPen(Qt::white);
    const QRectF textBox = arrow == Arrow::None ? QRectF(3, 3, 58, 58) : QRectF(3, 6, 58, 28);
    p.drawText(textBox, Qt::AlignCenter, label);
    if (arrow != Arrow::None) {
        const qreal top = 36, bottom = 56, mid = 32;
        QPolygonF head;
        if (arrow == Arrow::Down)
            head << QPointF(mid - 11, bottom - 10) << QPointF(mid + 11, bottom - 10)
                 << QPointF(mid, bottom);
        else
            head << QPointF(mid - 11, top + 10) << QPointF(mid + 11, top + 10) << QPointF(mid, top);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawPolygon(head);
        p.fillRect(QRectF(mid - 3, arrow == Arrow::Down ? top : top + 9, 6, 11), Qt::white);
    }
    return QIcon(pixmap);
}

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

} // namespace

KvortConfig::KvortConfig(UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_keyFilter(new ListKeyFilter(this)),
      m_link(std::make_unique<PanelLink>(m_port, m_session.image.data(), m_blockSize,
                                         m_session.linkSeries)) {
    setObjectName(QStringLiteral("KvortConfig"));
    setWindowTitle(qs(MainCaption()));
    setMinimumSize(kMinWidth, kMinHeight);
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createTabs();
    m_keyFilter->installOn(this);
    m_tabs->hide();
}

KvortConfig::~KvortConfig() {
    FormClose();
}

void KvortConfig::showOnScreen() {
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

void KvortConfig::createActions() {
    QStyle* st = style();
    const QColor panel(0x1565C0), card(0x2E7D32), print(0x6D4C41), help(0x546E7A);
    FileOpen1 = makeAction(this, "FileOpen1", QStringLiteral("Открыть конфигурацию"),
                           QStringLiteral("Открыть конфигурацию"), Qt::Key_F2);
    FileOpen1->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    NewConfig = makeAction(this, "NewConfig", QStringLiteral("Создать конфигурацию"),
                           QStringLiteral("Новая конфигурация"), Qt::Key_F4);
    NewConfig->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    ReadConfigPU = makeAction(this, "ReadConfigPU", QStringLiteral("Считать с ПУ-П"),
                              QStringLiteral("Чтение конфигурации с прибора ПУ"), Qt::Key_F8);
    ReadConfigPU->setIcon(tileIcon(QStringLiteral("ПУ"), panel, Arrow::Down));
    WriteConfig = makeAction(this, "WriteConfig", QStringLiteral("Записать в ПУ-П"),
                             QStringLiteral("Запись конфигурации\nв прибор ПУ"), Qt::Key_F9);
    WriteConfig->setIcon(tileIcon(QStringLiteral("ПУ"), panel, Arrow::Up));
    ReadConfigCard = makeAction(this, "ReadConfigCard", QStringLiteral("Считать с &SD-карты"),
                                QStringLiteral("Чтение конфигурации с SD-карты"),
                                QKeySequence(Qt::CTRL | Qt::Key_F8));
    ReadConfigCard->setIcon(tileIcon(QStringLiteral("SD"), card, Arrow::Down));
    WriteConfigCard = makeAction(this, "WriteConfigCard", QStringLiteral("Записать на S&D-карту"),
                                 QStringLiteral("Запись конфигурации на SD-карточку"),
                                 QKeySequence(Qt::CTRL | Qt::Key_F9));
    WriteConfigCard->setIcon(tileIcon(QStringLiteral("SD"), card, Arrow::Up));
    FileJSON = makeAction(this, "FileJSON", QStringLiteral("Создать &JSON-файл"), {});
    FileExit1 = makeAction(this, "FileExit1", QStringLiteral("Выход"), {});
    PrintConfig =
        makeAction(this, "PrintConfig", QStringLiteral("Печать"),
                   QStringLiteral("Печать конфигурации"), QKeySequence(Qt::CTRL | Qt::Key_P));
    PrintConfig->setIcon(tileIcon(QStringLiteral("ПЕЧ"), print, Arrow::None));
    ReadArhiveAlarm = makeAction(this, "ReadArhiveAlarm", QStringLiteral("Архив пожаров"), {});
    ReadArhiveFault = makeAction(this, "ReadArhiveFault", QStringLiteral("Архив отказов"), {});
    ReadArhiveEvent = makeAction(this, "ReadArhiveEvent", QStringLiteral("Архив событий"), {});
    HelpConfig = makeAction(this, "HelpConfig", QStringLiteral("Помощь"), QStringLiteral("Помощь"),
                            Qt::Key_F1);
    HelpConfig->setIcon(tileIcon(QStringLiteral("?"), help, Arrow::None));
    AboutConfig = makeAction(this, "AboutConfig", QStringLiteral("О программе"), {});
    ReadConfig = makeAction(this, "ReadConfig", QStringLiteral("Считать конфигурацию"),
                            QStringLiteral("Считать конфигурацию\nс прибора ПУ"));
    SaveConfig = makeAction(this, "SaveConfig", QStringLiteral("Сохранить"), {});
    NotSaveConfig = makeAction(this, "NotSaveConfig", QStringLiteral("Не сохранять"), {});

    for (QAction* a : {WriteConfig, WriteConfigCard, PrintConfig, FileJSON})
        a->setEnabled(false);
    // The shortcuts must work with the menus closed and the tool bar hidden.
    addActions({FileOpen1, NewConfig, ReadConfigPU, WriteConfig, ReadConfigCard, WriteConfigCard,
                PrintConfig, HelpConfig});

    connect(FileOpen1, &QAction::triggered, this, [this] { FileOpen1Execute(); });
    connect(NewConfig, &QAction::triggered, this, [this] { NewConfigExecute(); });
    connect(SaveConfig, &QAction::triggered, this, [this] { SaveConfigExecute(); });
    connect(NotSaveConfig, &QAction::triggered, this, [this] { NotSaveConfigExecute(); });
    connect(FileExit1, &QAction::triggered, this, [this] { close(); });
    connect(HelpConfig, &QAction::triggered, this, [this] { HelpConfigExecute(); });
    connect(AboutConfig, &QAction::triggered, this, [this] { AboutConfigExecute(); });
    connect(ReadConfigPU, &QAction::triggered, this, [this] { ReadConfigPUExecute(); });
    connect(ReadConfigCard, &QAction::triggered, this, [this] { ReadConfigCardExecute(); });
    connect(WriteConfig, &QAction::triggered, this, [this] { WriteConfigExecute(); });
    connect(WriteConfigCard, &QAction::triggered, this, [this] { WriteConfigCardExecute(); });
    connect(FileJSON, &QAction::triggered, this, [this] { FileJSONExecute(); });
    connect(PrintConfig, &QAction::triggered, this, [this] { notAvailable("ПЕЧАТЬ"_cp); });
    connect(ReadArhiveAlarm, &QAction::triggered, this,
            [this] { openArchive(int(ArchiveKind::Fires)); });
    connect(ReadArhiveFault, &QAction::triggered, this,
            [this] { openArchive(int(ArchiveKind::Faults)); });
    connect(ReadArhiveEvent, &QAction::triggered, this,
            [this] { openArchive(int(ArchiveKind::Events)); });
}

void KvortConfig::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mainMenu"));
    QMenu* mode = bar->addMenu(QStringLiteral("Режим"));
    mode->setObjectName(QStringLiteral("modeMenu"));
    mode->addActions({FileOpen1, NewConfig, ReadConfigPU, WriteConfig, ReadConfigCard,
                      WriteConfigCard, FileJSON});
    mode->addSeparator();
    mode->addAction(FileExit1);
    QMenu* service = bar->addMenu(QStringLiteral("Сервис"));
    service->setObjectName(QStringLiteral("serviceMenu"));
    service->addAction(PrintConfig);
    QMenu* archives = bar->addMenu(QStringLiteral("Архивы"));
    archives->setObjectName(QStringLiteral("archivesMenu"));
    archives->addActions({ReadArhiveAlarm, ReadArhiveFault, ReadArhiveEvent});
    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addActions({HelpConfig, AboutConfig});
}

void KvortConfig::createToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Панель инструментов"));
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addActions({FileOpen1, NewConfig, PrintConfig, ReadConfigPU, WriteConfig, ReadConfigCard,
                     WriteConfigCard});
    // The progress bar fills the space up to the help button, which keeps
    // to the right edge however wide the window is.
    auto* stretch = new QWidget(bar);
    stretch->setObjectName(QStringLiteral("progressHolder"));
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* holderLayout = new QHBoxLayout(stretch);
    holderLayout->setContentsMargins(8, 0, 8, 0);
    m_progress = new QProgressBar(stretch);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_progress->hide();
    holderLayout->addWidget(m_progress);
    bar->addWidget(stretch);
    bar->addAction(HelpConfig);
}

void KvortConfig::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(true);
    m_sourcePanel = new QLabel(bar);
    m_sourcePanel->setObjectName(QStringLiteral("sourcePanel"));
    m_sourcePanel->setFixedWidth(300);
    m_sourcePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusPanel = new QLabel(bar);
    m_statusPanel->setObjectName(QStringLiteral("statusPanel"));
    m_statusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(m_sourcePanel);
    bar->addWidget(m_statusPanel, 1);
}

void KvortConfig::createTabs() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));

    auto* alarm = new QWidget(m_tabs);
    alarm->setObjectName(QStringLiteral("alarmTab"));
    auto* row = new QHBoxLayout(alarm);
    row->setContentsMargins(4, 4, 4, 4);
    row->addWidget(createCompositionPanel());
    row->addWidget(createZonePanel());
    row->addWidget(createDetectorPanel(), 1);
    m_tabs->addTab(alarm, QStringLiteral("Сигнализация"));

    // The scenario editor comes in a later version; the tab lists the
    // scenarios of the file, read-only, so nothing looks editable that is not.
    auto* scenarios = new QWidget(m_tabs);
    scenarios->setObjectName(QStringLiteral("scenarioTab"));
    auto* scenarioLayout = new QVBoxLayout(scenarios);
    auto* scenarioNote =
        new QLabel(QStringLiteral("Редактор релейных сценариев ещё не встроен в эту версию. "
                                  "Сценарии конфигурации показаны только для просмотра."),
                   scenarios);
    scenarioNote->setWordWrap(true);
    scenarioLayout->addWidget(scenarioNote);
    m_scenarioGrid = new QTableWidget(0, 4, scenarios);
    m_scenarioGrid->setObjectName(QStringLiteral("scenarioView"));
    m_scenarioGrid->setHorizontalHeaderLabels({QStringLiteral("СЦЕНАРИЙ"), QStringLiteral("РЕЖИМ"),
                                               QStringLiteral("ПРИМЕЧАНИЕ"),
                                               QStringLiteral("ШАГИ")});
    m_scenarioGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_scenarioGrid->verticalHeader()->hide();
    m_scenarioGrid->horizontalHeader()->setStretchLastSection(true);
    m_scenarioGrid->setColumnWidth(2, 200);
    scenarioLayout->addWidget(m_scenarioGrid, 1);
    m_tabs->addTab(scenarios, QStringLiteral("Релейные сценарии"));

    auto* directions = new QWidget(m_tabs);
    directions->setObjectName(QStringLiteral("directionTab"));
    auto* directionLayout = new QVBoxLayout(directions);
    auto* directionNote = new QLabel(
        QStringLiteral("Редактор направлений пожаротушения ещё не встроен в эту версию. "
                       "Направления конфигурации показаны только для просмотра; при "
                       "сохранении они записываются в файл такими, какими были прочитаны."),
        directions);
    directionNote->setWordWrap(true);
    directionLayout->addWidget(directionNote);
    m_directionGrid = new QTableWidget(kDirectionCount, 8, directions);
    m_directionGrid->setObjectName(QStringLiteral("directionView"));
    m_directionGrid->setHorizontalHeaderLabels({QStringLiteral("ЗОНА"), QStringLiteral("РЕЛЕ 1"),
                                                QStringLiteral("РЕЛЕ 2"), QStringLiteral("РЕЛЕ 3"),
                                                QStringLiteral("РЕЛЕ 4"), QStringLiteral("РЕЛЕ 5"),
                                                QStringLiteral("СЦЕН."), QStringLiteral("БРИТ")});
    QStringList rows;
    for (int d = 1; d <= kDirectionCount; ++d)
        rows << qs(DirectionSection(d));
    m_directionGrid->setVerticalHeaderLabels(rows);
    m_directionGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_directionGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    directionLayout->addWidget(m_directionGrid, 1);
    m_tabs->addTab(directions, QStringLiteral("Пожаротушение"));

    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) { tabChanged(index); });
    setCentralWidget(m_tabs);
}

QWidget* KvortConfig::createZonePanel() {
    m_zonePanel = new QWidget(this);
    m_zonePanel->setObjectName(QStringLiteral("zonePanel"));
    auto* layout = new QVBoxLayout(m_zonePanel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("ЗОНА"), m_zonePanel);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    // Column 0 and the header row are fixed: the labels "%3.3d (%2.2d)" of
    // zone and group; column 1 holds the names the encoder takes.
    m_zoneGrid = new QTableWidget(kZoneCount, 2, m_zonePanel);
    m_zoneGrid->setObjectName(QStringLiteral("zoneGrid"));
    m_zoneGrid->setHorizontalHeaderLabels({qs("  ЗОНА"_cp), qs("    ТЕКСТ"_cp)});
    m_zoneGrid->verticalHeader()->hide();
    m_zoneGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_zoneGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int z = 1; z <= kZoneCount; ++z) {
        auto* label = fixedItem(qs(text::Format("%3.3d (%2.2d)", {z, (z - 1) / 32 + 1})));
        label->setBackground(palette().button());
        m_zoneGrid->setItem(z - 1, 0, label);
        m_zoneGrid->setItem(z - 1, 1, new QTableWidgetItem());
    }
    m_zoneGrid->setColumnWidth(0, 68);
    m_zoneGrid->setColumnWidth(1, 140);
    m_zoneGrid->verticalHeader()->setDefaultSectionSize(20);
    m_zoneGrid->setFixedWidth(68 + 140 + 22);
    layout->addWidget(m_zoneGrid, 1);
    return m_zonePanel;
}

QWidget* KvortConfig::createDetectorPanel() {
    m_detectorPanel = new QWidget(this);
    m_detectorPanel->setObjectName(QStringLiteral("detectorPanel"));
    auto* layout = new QVBoxLayout(m_detectorPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("ТЕКСТ"), m_detectorPanel);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    m_detectorGrid = new QTableWidget(0, 5, m_detectorPanel);
    m_detectorGrid->setObjectName(QStringLiteral("detectorGrid"));
    m_detectorGrid->setHorizontalHeaderLabels({qs(" АДРЕС"_cp), qs("      ТИП"_cp),
                                               qs("     ЗОНА"_cp),
                                               qs("               СООБЩЕНИЕ"_cp), qs(" СОСТ."_cp)});
    m_detectorGrid->verticalHeader()->hide();
    m_detectorGrid->verticalHeader()->setDefaultSectionSize(20);
    m_detectorGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_detectorGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_detectorGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_detectorGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_detectorGrid->setColumnWidth(0, 64);
    m_detectorGrid->setColumnWidth(1, 112);
    m_detectorGrid->setColumnWidth(2, 136);
    m_detectorGrid->setColumnWidth(4, 52);
    m_detectorGrid->installEventFilter(this);
    m_detectorPanel->installEventFilter(this);
    connect(m_detectorGrid, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { detectorActivated(row); });
    layout->addWidget(m_detectorGrid, 1);
    return m_detectorPanel;
}

// ---- small helpers -------------------------------------------------------

bool KvortConfig::guarded(const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        setBusy(false);
        showError(e.what());
    }
    return false;
}

void KvortConfig::showError(const std::string& utf8Message) {
    m_prompts.message("ОШИБКА"_cp, text::fromUtf8Lossy(utf8Message), MsgIcon::Error,
                      MsgButtons::Ok);
}

void KvortConfig::notAvailable(std::string_view what) {
    m_prompts.message("ИНФОРМАЦИЯ"_cp,
                      std::string(what) + ": " +
                          std::string("ФУНКЦИЯ ЕЩЕ НЕ ДОСТУПНА В ЭТОЙ ВЕРСИИ"_cp),
                      MsgIcon::Information, MsgButtons::Ok);
}

void KvortConfig::setSourceLine(const QString& text) {
    m_sourcePanel->setText(text);
}
QString KvortConfig::sourceLine() const {
    return m_sourcePanel->text();
}

void KvortConfig::selectFirstTab() {
    // A program's own choice of tab is not the person's switch: the tab
    // logic runs only for the latter.
    const QSignalBlocker block(m_tabs);
    m_tabs->setCurrentIndex(0);
    m_tabs->show();
}

ZoneNames KvortConfig::zoneNames() const {
    ZoneNames names;
    for (int z = 0; z < kZoneCount; ++z) {
        QTableWidgetItem* item = m_zoneGrid->item(z, 1);
        names[z] = item ? cp(item->text()) : std::string();
    }
    return names;
}

fs::path KvortConfig::helpPath() const {
    const fs::path dir(QCoreApplication::applicationDirPath().toStdString());
    const fs::path beside = dir / "KvortConfigHelp" / "KvortConfig.html";
    std::error_code ec;
    if (fs::exists(beside, ec))
        return beside;
    // Installed under the usual prefix layout the page lives in share/.
    const fs::path shared =
        dir.parent_path() / "share" / "kvort-config" / "KvortConfigHelp" / "KvortConfig.html";
    if (fs::exists(shared, ec))
        return shared;
    return beside;
}

void KvortConfig::HelpConfigExecute() {
    m_prompts.openDocument(helpPath());
}

void KvortConfig::AboutConfigExecute() {
    AboutBox box(this);
    box.exec();
}

// ---- the tabs ------------------------------------------------------------

void KvortConfig::tabChanged(int index) {
    guarded([&] {
        switch (index) {
        case 0:
            ShowRelayBlockLabels();
            ShowExtinguishingBlockLabels();
            setStatus("");
            break;
        case 1:
            loadScenarioList();
            setStatus("");
            break;
        case 2:
            if (m_configModified) {
                m_configModified = false;
                writeZoneNames();
            }
            setStatus("ТОЛЬКО ДЛЯ ПРИБОРОВ ПУ-ПТ ИЛИ ПУ-П С ПРОШИВКОЙ ПТ"_cp);
            loadDirections();
            break;
        default:
            break;
        }
    });
}

void KvortConfig::writeZoneNames() {
    if (!m_configStore)
        return;
    const ZoneNames names = zoneNames();
    IniStore::Batch batch(*m_configStore);
    for (int z = 1; z <= kZoneCount; ++z)
        m_configStore->WriteString(SectionZones(), std::to_string(z), names[z - 1]);
    batch.commit();
}

void KvortConfig::loadDirections() {
    // The direction editor's loader: a defined section shows its zone,
    // relays and scenario, and the БРИТ link from БДУ4 before БРИТ; an
    // undefined one shows "НЕТ" with nothing else.
    m_directions = DirectionChoices{};
    for (int d = 1; d <= kDirectionCount; ++d) {
        DirectionChoice& c = m_directions[d - 1];
        if (m_configStore) {
            const Direction dir = ReadDirection(*m_configStore, d, BritKeyOrder::Bdu4First);
            if (dir.exists) {
                c.zone = dir.zone;
                c.relays = dir.relays;
                c.scenario = dir.scenarioText;
                c.britModule = dir.brit.substr(0, std::min<size_t>(1, dir.brit.size()));
                c.britLine = dir.brit.size() > 1 ? dir.brit.substr(1, 1) : std::string();
            }
        }
        const bool none = c.zone == "НЕТ"_cp;
        QStringList cells;
        cells << qs(c.zone);
        for (const std::string& r : c.relays)
            cells << (none ? QString() : qs(r));
        cells << (none ? QString() : qs(c.scenario));
        cells << (none || c.britModule.empty() ? QString() : qs(c.britModule + c.britLine + "/01"));
        for (int col = 0; col < cells.size(); ++col)
            m_directionGrid->setItem(d - 1, col, new QTableWidgetItem(cells[col]));
    }
}

void KvortConfig::loadScenarioList() {
    m_scenarioGrid->setRowCount(0);
    if (!m_configStore)
        return;
    for (int s = 1; s <= kScenarioCount; ++s) {
        const Scenario sc = ReadScenario(*m_configStore, s);
        if (!sc.exists)
            continue;
        int row = m_scenarioGrid->rowCount();
        m_scenarioGrid->insertRow(row);
        QStringList steps;
        for (const std::string& step : sc.steps)
            if (!step.empty())
                steps << qs(step);
        m_scenarioGrid->setItem(row, 0, new QTableWidgetItem(QString::number(s)));
        m_scenarioGrid->setItem(
            row, 1, new QTableWidgetItem(sc.mode < 0 ? QString() : QString::number(sc.mode)));
        m_scenarioGrid->setItem(row, 2, new QTableWidgetItem(qs(sc.note)));
        m_scenarioGrid->setItem(row, 3, new QTableWidgetItem(steps.join(QStringLiteral("  "))));
    }
}

// ---- resizing ------------------------------------------------------------

void KvortConfig::FormCanResize() {
    // The message column takes all the width the other four leave.
    int width = m_detectorPanel->width();
    for (int c : {0, 1, 2, 4})
        width -= m_detectorGrid->columnWidth(c);
    m_detectorGrid->setColumnWidth(3, std::max(40, width - 40));
}

bool KvortConfig::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_detectorPanel && event->type() == QEvent::Resize)
        FormCanResize();
    if (watched == m_detectorGrid && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            detectorActivated(m_detectorGrid->currentRow());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- WorkbenchView -------------------------------------------------------

void KvortConfig::setStatus(std::string_view text) {
    m_statusPanel->setText(qs(text));
}

void KvortConfig::setProgress(int position, int max) {
    m_progress->setMaximum(max);
    m_progress->setValue(position);
    m_progress->setVisible(max > 0);
}

void KvortConfig::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void KvortConfig::setOperationsEnabled(bool enabled) {
    // A transfer holds the configuration and the port: nothing that edits,
    // reads or writes may start meanwhile. JSON export keeps its state.
    for (QAction* a : {FileOpen1, NewConfig, ReadConfig, PrintConfig, WriteConfig, WriteConfigCard,
                       ReadConfigPU, ReadConfigCard})
        a->setEnabled(enabled);
    m_tabs->setEnabled(enabled);
    m_transferRunning = !enabled;
}

void KvortConfig::processEvents() {
    QCoreApplication::processEvents();
}

void KvortConfig::beginRead() {
    m_readRunning = true;
    m_tabs->hide();
    for (QAction* a : {FileOpen1, NewConfig, ReadConfig, PrintConfig, WriteConfig, WriteConfigCard,
                       ReadConfigPU, ReadConfigCard, FileJSON})
        a->setEnabled(false);
}

void KvortConfig::readNotSaved() {
    m_readRunning = false;
    for (QAction* a : {FileOpen1, NewConfig, ReadConfig, FileJSON})
        a->setEnabled(true);
}

void KvortConfig::readFailed() {
    // No image came, so there is nothing to export either.
    m_readRunning = false;
    for (QAction* a : {FileOpen1, NewConfig, ReadConfig})
        a->setEnabled(true);
}

void KvortConfig::showReadConfiguration(const fs::path& cnf) {
    m_readRunning = false;
    m_session.CurrentConfigPath = cnf;
    m_configStore = std::make_unique<IniStore>(cnf);
    ShowRelayBlockLabels();
    ShowExtinguishingBlockLabels();
    selectFirstTab();
    setBusy(true);
    for (QAction* a : {NewConfig, FileOpen1, ReadConfig, PrintConfig, WriteConfig, WriteConfigCard,
                       ReadConfigPU, ReadConfigCard})
        a->setEnabled(true);
    LoadConfigView();
    setSourceLine(qs("  ИСТОЧНИК:  "_cp) + QString::fromStdString(ConfigFileSet(cnf).name()));
    m_zoneGrid->setFocus();
}

void KvortConfig::playNotify() {
    QApplication::beep();
}

// ---- the workflows behind the actions ------------------------------------

void KvortConfig::WriteConfigExecute() {
    m_port.setPortMap(PortMap::fromEnvironment());
    WriteSteps steps;
    steps.buildImage = [this] {
        ViewProgress progress(*this);
        BuildPanelImage(m_session.image, m_session.CurrentConfigPath, zoneNames(), &progress);
    };
    steps.check = [this] {
        m_session.DeviceSeries = SeriesFromCode(m_session.linkSeries);
        return static_cast<int>(CheckConfiguration(m_session, m_prompts, *this));
    };
    guarded([&] { kvort::WriteConfig(*m_link, m_port, m_prompts, *this, steps); });
}

void KvortConfig::ReadConfigPUExecute() {
    // Both reads run the one read procedure, which does nothing while it is
    // disabled (during a transfer, or before a configuration is there again).
    if (!ReadConfig->isEnabled())
        return;
    m_port.setPortMap(PortMap::fromEnvironment());
    ReadSteps steps;
    steps.complete = [this] { CompleteRead(m_session, ReadSource::Panel, m_prompts, *this); };
    const bool done =
        guarded([&] { kvort::ReadConfigPU(*m_link, m_port, m_prompts, *this, steps); });
    if (!done && m_readRunning)
        readNotSaved();
}

void KvortConfig::WriteConfigCardExecute() {
    guarded([&] { kvort::WriteConfigCard(m_session, zoneNames(), m_prompts, *this); });
}

void KvortConfig::ReadConfigCardExecute() {
    if (!ReadConfig->isEnabled())
        return;
    const bool done = guarded([&] { kvort::ReadConfigCard(m_session, m_prompts, *this); });
    // A read that failed half-way has hidden the configuration and disabled
    // the actions; the window must not stay locked.
    if (!done && m_readRunning)
        readNotSaved();
}

void KvortConfig::FileJSONExecute() {
    guarded([&] { kvort::FileJSON(m_session.CurrentConfigPath, m_prompts); });
}

void KvortConfig::openArchive(int kind) {
    guarded([&] {
        OpenArchiveText(static_cast<ArchiveKind>(kind), m_session.CurrentConfigPath, m_prompts);
    });
}

} // namespace kvort::gui
