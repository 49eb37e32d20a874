#include "CompareDialog.h"

#include "text/Cp1251.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kvort::gui {

namespace {
QString q(const std::string& cp1251) {
    return QString::fromStdString(text::toUtf8(cp1251));
}
} // namespace

CompareDialog::CompareDialog(const QString& title, const std::vector<std::string>& lead,
                             const Comparison& c, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("compareDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);

    QStringList head;
    for (const std::string& l : lead)
        head << q(l);
    head << QStringLiteral("A: ") + q(c.labelA) << QStringLiteral("B: ") + q(c.labelB);
    for (const std::string& n : c.inputs)
        head << QStringLiteral("ВНИМАНИЕ: ") + q(n);
    head << QStringLiteral("Значения, которые прибор не может хранить, сравниваются так, как их "
                           "хранит прибор.");
    head << (c.same() ? QStringLiteral("Различий нет.")
                      : QStringLiteral("Различий: %1").arg(c.differences.size()));
    auto* header = new QLabel(head.join(QLatin1Char('\n')), this);
    header->setObjectName(QStringLiteral("compareHeader"));
    header->setWordWrap(true);
    header->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(header);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("compareTree"));
    m_tree->setColumnCount(3);
    m_tree->setHeaderLabels({QStringLiteral("Что"), QStringLiteral("A"), QStringLiteral("B")});
    for (int k = 0; k < kDiffKindCount; ++k) {
        const DiffKind kind = static_cast<DiffKind>(k);
        const int n = c.count(kind);
        if (n == 0)
            continue;
        auto* branch = new QTreeWidgetItem(
            m_tree, {QStringLiteral("%1 (%2)").arg(q(std::string(DiffKindName(kind)))).arg(n)});
        for (const Difference& d : c.differences)
            if (d.kind == kind)
                new QTreeWidgetItem(branch, {q(d.object), q(d.a), q(d.b)});
        branch->setExpanded(true);
    }
    if (!c.notes.empty()) {
        auto* branch = new QTreeWidgetItem(
            m_tree,
            {QStringLiteral("Прибор не может хранить (%1)").arg(static_cast<int>(c.notes.size()))});
        for (const std::string& n : c.notes)
            new QTreeWidgetItem(branch, {q(n)});
    }
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_tree, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("compareButtons"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 560);
}

} // namespace kvort::gui
