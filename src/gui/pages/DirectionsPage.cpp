#include "gui/pages/DirectionsPage.h"

#include "document/EditorViews.h"
#include "gui/GuiText.h"
#include "text/Literals.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kvort::gui {

using namespace text::literals;

DirectionsPage::DirectionsPage(const PageContext& context, QWidget* parent)
    : ConfigPage(context, parent) {
    setObjectName(QStringLiteral("directionTab"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(
        QStringLiteral("Редактор направлений пожаротушения ещё не встроен в эту версию. "
                       "Направления конфигурации показаны только для просмотра; при "
                       "сохранении они записываются в файл такими, какими были прочитаны."),
        this);
    note->setWordWrap(true);
    layout->addWidget(note);
    m_grid = new QTableWidget(kDirectionCount, 8, this);
    m_grid->setObjectName(QStringLiteral("directionView"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("ЗОНА"), QStringLiteral("РЕЛЕ 1"),
                                       QStringLiteral("РЕЛЕ 2"), QStringLiteral("РЕЛЕ 3"),
                                       QStringLiteral("РЕЛЕ 4"), QStringLiteral("РЕЛЕ 5"),
                                       QStringLiteral("СЦЕН."), QStringLiteral("БРИТ")});
    QStringList rows;
    for (int d = 1; d <= kDirectionCount; ++d)
        rows << qs(DirectionSection(d));
    m_grid->setVerticalHeaderLabels(rows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(m_grid, 1);
}

QString DirectionsPage::title() const {
    return QStringLiteral("Пожаротушение");
}

void DirectionsPage::load(SessionChange) {
    showDirections();
}

void DirectionsPage::shown() {
    if (session().modified()) {
        session().setModified(false);
        session().writeZoneNames();
    }
    progress().setStatus("ТОЛЬКО ДЛЯ ПРИБОРОВ ПУ-ПТ ИЛИ ПУ-П С ПРОШИВКОЙ ПТ"_cp);
    session().reloadDirections();
    showDirections();
}

void DirectionsPage::showDirections() {
    const DirectionChoices& directions = session().directions();
    for (int d = 1; d <= kDirectionCount; ++d) {
        const DirectionChoice& c = directions[d - 1];
        // An undefined direction shows "НЕТ" and nothing else.
        const bool none = c.zone == "НЕТ"_cp;
        QStringList cells;
        cells << qs(c.zone);
        for (const std::string& r : c.relays)
            cells << (none ? QString() : qs(r));
        cells << (none ? QString() : qs(c.scenario));
        cells << (none ? QString() : qs(DirectionBritText(c)));
        for (int col = 0; col < cells.size(); ++col)
            m_grid->setItem(d - 1, col, new QTableWidgetItem(cells[col]));
    }
}

} // namespace kvort::gui
