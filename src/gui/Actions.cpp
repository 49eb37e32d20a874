#include "gui/Actions.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QWidget>

namespace kvort::gui {

namespace {

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

struct ActionText {
    ActionId id;
    const char* objectName;
    const char* caption;
    const char* hint;
    QKeySequence shortcut;
};

const ActionText kActionTexts[kActionCount] = {
    {ActionId::FileOpen1, "fileOpenAction", "Открыть конфигурацию", "Открыть конфигурацию",
     Qt::Key_F2},
    {ActionId::NewConfig, "newConfigAction", "Создать конфигурацию", "Новая конфигурация",
     Qt::Key_F4},
    {ActionId::ReadConfigPU, "readConfigPanelAction", "Считать с ПУ-П",
     "Чтение конфигурации с прибора ПУ", Qt::Key_F8},
    {ActionId::WriteConfig, "writeConfigAction", "Записать в ПУ-П",
     "Запись конфигурации\nв прибор ПУ", Qt::Key_F9},
    {ActionId::ReadConfigCard, "readConfigCardAction", "Считать с &SD-карты",
     "Чтение конфигурации с SD-карты", QKeySequence(Qt::CTRL | Qt::Key_F8)},
    {ActionId::WriteConfigCard, "writeConfigCardAction", "Записать на S&D-карту",
     "Запись конфигурации на SD-карточку", QKeySequence(Qt::CTRL | Qt::Key_F9)},
    {ActionId::FileJSON, "fileJsonAction", "Создать &JSON-файл", "", {}},
    {ActionId::FileExit1, "fileExitAction", "Выход", "", {}},
    {ActionId::PrintConfig, "printConfigAction", "Печать", "Печать конфигурации",
     QKeySequence(Qt::CTRL | Qt::Key_P)},
    {ActionId::ReadArhiveAlarm, "readArchiveAlarmAction", "Архив пожаров", "", {}},
    {ActionId::ReadArhiveFault, "readArchiveFaultAction", "Архив отказов", "", {}},
    {ActionId::ReadArhiveEvent, "readArchiveEventAction", "Архив событий", "", {}},
    {ActionId::HelpConfig, "helpConfigAction", "Помощь", "Помощь", Qt::Key_F1},
    {ActionId::AboutConfig, "aboutConfigAction", "О программе", "", {}},
    {ActionId::ReadConfig,
     "readConfigAction",
     "Считать конфигурацию",
     "Считать конфигурацию\nс прибора ПУ",
     {}},
    {ActionId::SaveConfig, "saveConfigAction", "Сохранить", "", {}},
    {ActionId::NotSaveConfig, "notSaveConfigAction", "Не сохранять", "", {}},
};

// The configuration actions, the columns of the table; the others are
// always enabled.
constexpr ActionId kGated[] = {
    ActionId::FileOpen1,    ActionId::NewConfig,      ActionId::ReadConfig,
    ActionId::PrintConfig,  ActionId::WriteConfig,    ActionId::WriteConfigCard,
    ActionId::ReadConfigPU, ActionId::ReadConfigCard, ActionId::FileJSON,
};
constexpr int kGatedCount = sizeof kGated / sizeof kGated[0];

enum E : char { on = 1, off = 0, keep = -1 };

struct Row {
    WindowState state;
    E enabled[kGatedCount]; // in the order of kGated
    TabArea tabs;
};

// clang-format off
//                              Open  New   Read  Print Write WCard RdPU  RdCrd JSON
constexpr Row kTable[] = {
    {WindowState::Start,           {on,   on,   on,   off,  off,  off,  on,   on,   off}, TabArea::Hide},
    {WindowState::NewAsking,       {off,  off,  off,  off,  off,  off,  keep, keep, keep}, TabArea::Show},
    {WindowState::NewCancelled,    {on,   on,   off,  off,  off,  off,  keep, keep, keep}, TabArea::Hide},
    // The two reads too: a read that failed or was not kept disabled them,
    // and nothing else would give them back for the rest of the run.
    {WindowState::NewCreated,      {on,   on,   on,   on,   on,   on,   on,   on,   keep}, TabArea::Keep},
    {WindowState::Opened,          {on,   on,   on,   on,   on,   on,   on,   on,   on},   TabArea::Show},
    // A transfer holds the configuration and the port: nothing that edits,
    // reads or writes may start meanwhile. JSON export keeps its state.
    {WindowState::TransferRunning, {off,  off,  off,  off,  off,  off,  off,  off,  keep}, TabArea::Disable},
    {WindowState::TransferEnded,   {on,   on,   on,   on,   on,   on,   on,   on,   keep}, TabArea::Enable},
    {WindowState::ReadRunning,     {off,  off,  off,  off,  off,  off,  off,  off,  off},  TabArea::Hide},
    // The panel is in front of the installer: the reads can be tried again
    // at once, not only after a configuration has been opened or created.
    {WindowState::ReadNotSaved,    {on,   on,   on,   keep, keep, keep, on,   on,   on},   TabArea::Keep},
    // No image came, so there is nothing to export either.
    {WindowState::ReadFailed,      {on,   on,   on,   keep, keep, keep, on,   on,   keep}, TabArea::Keep},
    {WindowState::ReadShown,       {on,   on,   on,   on,   on,   on,   on,   on,   keep}, TabArea::Show},
};
// clang-format on

} // namespace

WindowState windowStateOf(WorkflowStage stage) {
    switch (stage) {
    case WorkflowStage::TransferRunning:
        return WindowState::TransferRunning;
    case WorkflowStage::TransferEnded:
        return WindowState::TransferEnded;
    case WorkflowStage::ReadRunning:
        return WindowState::ReadRunning;
    case WorkflowStage::ReadNotSaved:
        return WindowState::ReadNotSaved;
    case WorkflowStage::ReadFailed:
        return WindowState::ReadFailed;
    case WorkflowStage::ReadSaved:
        return WindowState::ReadShown;
    }
    return WindowState::TransferEnded;
}

Actions::Actions(QWidget* window) : QObject(window) {
    for (const ActionText& entry : kActionTexts) {
        auto* action = new QAction(QString::fromUtf8(entry.caption), window);
        action->setObjectName(QString::fromLatin1(entry.objectName));
        if (*entry.hint)
            action->setToolTip(QString::fromUtf8(entry.hint));
        if (!entry.shortcut.isEmpty()) {
            action->setShortcut(entry.shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        m_actions[static_cast<int>(entry.id)] = action;
    }
    QStyle* st = window->style();
    const QColor panel(0x1565C0), card(0x2E7D32), print(0x6D4C41), help(0x546E7A);
    get(ActionId::FileOpen1)->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    get(ActionId::NewConfig)->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    get(ActionId::ReadConfigPU)->setIcon(tileIcon(QStringLiteral("ПУ"), panel, Arrow::Down));
    get(ActionId::WriteConfig)->setIcon(tileIcon(QStringLiteral("ПУ"), panel, Arrow::Up));
    get(ActionId::ReadConfigCard)->setIcon(tileIcon(QStringLiteral("SD"), card, Arrow::Down));
    get(ActionId::WriteConfigCard)->setIcon(tileIcon(QStringLiteral("SD"), card, Arrow::Up));
    get(ActionId::PrintConfig)->setIcon(tileIcon(QStringLiteral("ПЕЧ"), print, Arrow::None));
    get(ActionId::HelpConfig)->setIcon(tileIcon(QStringLiteral("?"), help, Arrow::None));

    // The shortcuts must work with the menus closed and the tool bar hidden.
    for (ActionId id : {ActionId::FileOpen1, ActionId::NewConfig, ActionId::ReadConfigPU,
                        ActionId::WriteConfig, ActionId::ReadConfigCard, ActionId::WriteConfigCard,
                        ActionId::PrintConfig, ActionId::HelpConfig})
        window->addAction(get(id));
    enter(WindowState::Start);
}

TabArea Actions::enter(WindowState state) {
    m_state = state;
    for (const Row& row : kTable) {
        if (row.state != state)
            continue;
        for (int c = 0; c < kGatedCount; ++c)
            if (row.enabled[c] != keep)
                get(kGated[c])->setEnabled(row.enabled[c] == on);
        return row.tabs;
    }
    return TabArea::Keep;
}

} // namespace kvort::gui
