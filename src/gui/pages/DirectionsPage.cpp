#include "gui/pages/DirectionsPage.h"

#include "document/DirectionRules.h"
#include "gui/pages/DirectionGroup.h"
#include "gui/widgets/ListKeyFilter.h"
#include "text/Literals.h"

#include <QGridLayout>
#include <QHideEvent>

namespace kvort::gui {

using namespace text::literals;

namespace {
constexpr std::string_view kNote = "ТОЛЬКО ДЛЯ ПРИБОРОВ ПУ-ПТ ИЛИ ПУ-П С ПРОШИВКОЙ ПТ"_cp;
constexpr std::string_view kBritAddressWrong = "НЕПРАВИЛЬНО УКАЗАН АДРЕС БРИТ"_cp;
constexpr int kGroupsPerRow = 4;
} // namespace

DirectionsPage::DirectionsPage(const PageContext& context, QWidget* parent)
    : ConfigPage(context, parent) {
    setObjectName(QStringLiteral("directionTab"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    for (int d = 1; d <= kDirectionCount; ++d) {
        auto* group = new DirectionGroup(d, this);
        grid->addWidget(group, (d - 1) / kGroupsPerRow, (d - 1) % kGroupsPerRow);
        connect(group, &DirectionGroup::chosen, this, [this, group] { choiceMade(group); });
        connect(group, &DirectionGroup::saveRequested, this, [this, group] { save(group); });
        m_groups[d - 1] = group;
    }
    // The window installs the filter too; a page tried on its own must
    // refuse typed characters just the same.
    (new ListKeyFilter(this))->installOn(this);
}

QString DirectionsPage::title() const {
    return QStringLiteral("Пожаротушение");
}

void DirectionsPage::load(SessionChange) {
    loadDirections();
}

void DirectionsPage::shown() {
    if (session().modified()) {
        session().setModified(false);
        session().writeZoneNames();
    }
    progress().setStatus(kNote);
    m_noteShown = true;
    session().reloadDirections();
    loadDirections();
}

void DirectionsPage::hideEvent(QHideEvent* event) {
    // The window's own choice of tab (after opening, say) is not a switch
    // the pages hear of, yet the note must not outlive the tab.
    if (!event->spontaneous() && m_noteShown) {
        m_noteShown = false;
        progress().setStatus("");
    }
    ConfigPage::hideEvent(event);
}

void DirectionsPage::flush() {
    for (DirectionGroup* group : m_groups)
        session().setDirection(group->direction(), group->choice());
}

void DirectionsPage::loadDirections() {
    const std::vector<int> britSlots =
        session().isOpen() ? BritSlots(session().store()) : std::vector<int>{};
    for (DirectionGroup* group : m_groups) {
        group->setZoneNames(session().zoneNames());
        group->setBritSlots(britSlots);
        group->showChoice(session().directions()[group->direction() - 1]);
        // A group without zone now shows the defaults: that is what saving
        // the configuration takes.
        session().setDirection(group->direction(), group->choice());
    }
}

void DirectionsPage::choiceMade(DirectionGroup* group) {
    session().setDirection(group->direction(), group->choice());
    session().setModified(true);
    group->setSaveEnabled(true);
}

void DirectionsPage::save(DirectionGroup* group) {
    guarded([&] {
        const DirectionChoice choice = group->choice();
        if (choice.zone != word::kNone && BritAddressIncomplete(choice)) {
            // The person fixes the address; the button stays for another try.
            prompts().message("ОШИБКА"_cp, kBritAddressWrong, MsgIcon::Error, MsgButtons::Ok);
            return;
        }
        session().setDirection(group->direction(), choice);
        session().saveDirection(group->direction());
        group->setSaveEnabled(false);
    });
}

} // namespace kvort::gui
