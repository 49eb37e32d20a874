#include "gui/dialogs/HistoryDialog.h"

#include "document/ConfigFileSet.h"
#include "gui/Guarded.h"
#include "gui/GuiText.h"
#include "gui/dialogs/DialogFrame.h"
#include "text/Literals.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace kvort::gui {

using namespace text::literals;

namespace {

enum Column { kTime, kReason, kFile, kSize, kColumns };

QString sizeText(std::uintmax_t bytes) {
    return QString::fromStdString(SizeText(bytes));
}

QString imageText(const KeptImage& img) {
    QString s = img.direction == ImageDirection::Written ? QStringLiteral("образ, записанный ")
                                                         : QStringLiteral("образ, считанный ");
    if (img.direction == ImageDirection::Written)
        s += img.medium == ImageMedium::Card ? QStringLiteral("на SD-карту")
                                             : QStringLiteral("в прибор");
    else
        s += img.medium == ImageMedium::Card ? QStringLiteral("с SD-карты")
                                             : QStringLiteral("из прибора");
    return s;
}

// Only an entry that holds NAME.cnf can be put back.
bool restorable(const HistoryEntry& e, const std::string& cnfName) {
    return std::any_of(e.files.begin(), e.files.end(),
                       [&](const HistoryFile& f) { return f.name == cnfName; });
}

} // namespace

std::string RestoreQuestion(const HistoryEntry& entry) {
    return std::string("ВОССТАНОВИТЬ КОНФИГУРАЦИЮ ИЗ ИСТОРИИ ПО СОСТОЯНИЮ НА "_cp) + entry.time +
           "? " + std::string("ТЕКУЩАЯ КОНФИГУРАЦИЯ БУДЕТ СОХРАНЕНА В ИСТОРИИ."_cp);
}

HistoryDialog::HistoryDialog(ConfigSession& session, UserPrompts& prompts, ProgressSink& progress,
                             std::function<void()> beforeRestore, QWidget* parent)
    : QDialog(parent), m_session(session), m_prompts(prompts), m_progress(progress),
      m_beforeRestore(std::move(beforeRestore)) {
    setObjectName(QStringLiteral("historyDialog"));
    useDialogFrame(this, DialogFrame::Resizable);
    const ConfigFileSet set(m_session.cnfPath());
    setWindowTitle(QStringLiteral("История конфигурации ") + QString::fromStdString(set.name()));
    auto* layout = new QVBoxLayout(this);
    auto* lead = new QLabel(
        QStringLiteral("Папка истории: %1\nХранятся последние %2 записей. Восстановление сначала "
                       "сохраняет текущую конфигурацию отдельной записью.")
            .arg(QString::fromStdString(historyFolder(set).string()))
            .arg(kHistoryKeep),
        this);
    lead->setObjectName(QStringLiteral("historyLead"));
    lead->setWordWrap(true);
    lead->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lead);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("historyTree"));
    m_tree->setColumnCount(kColumns);
    m_tree->setHeaderLabels({QStringLiteral("Время"), QStringLiteral("Причина"),
                             QStringLiteral("Файл"), QStringLiteral("Размер, байт")});
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setRootIsDecorated(true);
    layout->addWidget(m_tree, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("historyButtons"));
    m_restore = buttons->addButton(QStringLiteral("Восстановить..."), QDialogButtonBox::ActionRole);
    m_restore->setObjectName(QStringLiteral("historyRestoreButton"));
    QPushButton* close =
        buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("historyCloseButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_restore, &QPushButton::clicked, this, [this] { restoreSelected(); });
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, [this] { selectionChanged(); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (!item->parent())
            item->setExpanded(!item->isExpanded());
    });
    layout->addWidget(buttons);
    fill();
    resize(820, 480);
}

void HistoryDialog::fill() {
    m_tree->clear();
    const ConfigFileSet set(m_session.cnfPath());
    const std::string cnfName = set.cnf().filename().string();
    m_entries = listHistory(set);
    std::reverse(m_entries.begin(), m_entries.end()); // the newest on top
    for (const HistoryEntry& e : m_entries) {
        const std::uintmax_t total =
            std::accumulate(e.files.begin(), e.files.end(), std::uintmax_t{0},
                            [](std::uintmax_t sum, const HistoryFile& f) { return sum + f.size; });
        auto* row = new QTreeWidgetItem(
            m_tree, {QString::fromStdString(e.time), QString::fromStdString(reasonText(e.reason)),
                     QStringLiteral("файлов: %1").arg(e.files.size()), sizeText(total)});
        row->setData(kTime, Qt::UserRole, QString::fromStdString(e.name));
        row->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
        if (!restorable(e, cnfName))
            row->setToolTip(kReason,
                            QStringLiteral("Без файла конфигурации: только для просмотра"));
        for (const HistoryFile& f : e.files) {
            QString name = QString::fromStdString(f.name);
            if (e.image && e.image->file == f.name)
                name += QStringLiteral(" (") + imageText(*e.image) + u')';
            auto* file = new QTreeWidgetItem(row, {QString(), QString(), name, sizeText(f.size)});
            file->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
            file->setFlags(file->flags() & ~Qt::ItemIsSelectable);
        }
    }
    for (int c = 0; c < kColumns; ++c)
        m_tree->resizeColumnToContents(c);
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
    selectionChanged();
}

std::string HistoryDialog::entryName(int row) const {
    return row >= 0 && row < static_cast<int>(m_entries.size()) ? m_entries[row].name
                                                                : std::string();
}

void HistoryDialog::selectionChanged() {
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    const int row = selected.isEmpty() ? -1 : m_tree->indexOfTopLevelItem(selected.first());
    const std::string cnfName = ConfigFileSet(m_session.cnfPath()).cnf().filename().string();
    m_restore->setEnabled(row >= 0 && restorable(m_entries[row], cnfName));
}

void HistoryDialog::restoreSelected() {
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    const int row = selected.isEmpty() ? -1 : m_tree->indexOfTopLevelItem(selected.first());
    if (row < 0)
        return;
    const HistoryEntry entry = m_entries[row];
    if (m_prompts.message("ИНФОРМАЦИЯ"_cp, RestoreQuestion(entry), MsgIcon::Question,
                          MsgButtons::YesNo) != MsgResult::Yes)
        return;
    const bool restored = guarded(m_prompts, m_progress, [&] {
        if (m_beforeRestore)
            m_beforeRestore();
        m_session.restoreFromHistory(entry.name);
    });
    if (restored)
        accept();
    else
        fill(); // a refused restore may still have kept the set
}

} // namespace kvort::gui
