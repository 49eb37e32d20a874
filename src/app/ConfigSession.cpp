#include "ConfigSession.h"

#include "document/ConfigFileSet.h"
#include "document/DirectionRules.h"
#include "document/EditorViews.h"
#include "text/Error.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace kvort {

ConfigSession::ConfigSession() : m_panel(std::make_unique<PanelSession>()) {}

ConfigSession::~ConfigSession() = default;

fs::path ConfigSession::cnfPath() const {
    return currentPath().empty() ? fs::path() : ConfigFileSet(currentPath()).cnf();
}

IniStore& ConfigSession::store() {
    if (!m_store)
        throw Error("Нет открытой конфигурации");
    return *m_store;
}

const IniStore& ConfigSession::store() const {
    return const_cast<ConfigSession*>(this)->store();
}

void ConfigSession::useStore(const fs::path& cnf) {
    auto store = std::make_unique<IniStore>(cnf);
    m_panel->CurrentConfigPath = cnf;
    m_store = std::move(store);
}

void ConfigSession::reloadDirections() {
    m_directions = m_store ? ReadDirectionChoices(*m_store) : DirectionChoices{};
}

void ConfigSession::saveDirection(int direction) {
    WriteDirectionChoice(store(), direction, m_directions.at(direction - 1));
    const std::vector<SessionObserver*> observers = m_observers;
    for (SessionObserver* o : observers)
        o->directionSaved(direction);
}

fs::path ConfigSession::create(const fs::path& chosen) {
    ZoneNames zones;
    // The old set, its stray detector files and the working copies of an
    // earlier opening go into one history entry with the creation.
    fs::path cnf = CreateNewConfig(chosen, zones);
    useStore(cnf);
    m_completion = {};
    m_ownsWorkingCopies = false;
    m_zones = zones;
    // The slot-0 change written with the skeleton marks the configuration
    // as edited.
    m_modified = true;
    // The directions of whatever was open before must not be saved into the
    // new configuration.
    reloadDirections();
    notify(SessionChange::Created);
    return cnf;
}

void ConfigSession::open(const fs::path& chosenName) {
    // Every member of the set is reached from this path long after the
    // working directory has moved on (each confirmed file dialog moves it):
    // a name given relatively is fixed to its folder now.
    const fs::path chosen = fs::absolute(chosenName);
    // A missing file would otherwise be created by the completion on opening
    // (a name given on the command line, or a file that went away after the
    // dialog).
    // Missing, unreadable, too large or not a regular file: refused before
    // anything changes.
    readFile(chosen);
    useStore(chosen);
    m_modified = false;
    MakeWorkingCopies(chosen);
    m_ownsWorkingCopies = true;
    load();
}

void ConfigSession::adoptRead(const fs::path& cnf) {
    useStore(cnf);
    m_ownsWorkingCopies = false;
    load();
}

void ConfigSession::load() {
    m_completion = CompleteConfiguration(*m_store);
    m_zones = ReadZoneNames(*m_store);
    reloadDirections();
    notify(SessionChange::Loaded);
    // Set last: only a configuration that has been shown in full counts as
    // opened (the open prompt asks only then).
    m_sourceName = ConfigFileSet(cnfPath()).name();
}

void ConfigSession::attach(const fs::path& cnf) {
    useStore(cnf);
    m_completion = CompleteConfiguration(*m_store);
    m_ownsWorkingCopies = false;
    m_zones = ReadZoneNames(*m_store);
}

void ConfigSession::save() {
    if (currentPath().empty())
        return;
    const fs::path cnf = cnfPath();
    m_store = std::make_unique<IniStore>(cnf);
    SaveConfig(cnf, m_zones, m_directions);
}

void ConfigSession::discard() const {
    // Copies left by an earlier opening of a NAME created or read since
    // hold an older configuration: restoring them would throw away all that
    // was done after.
    if (!currentPath().empty() && m_ownsWorkingCopies)
        DiscardConfig(currentPath());
}

void ConfigSession::reload() {
    if (!isOpen())
        return;
    useStore(cnfPath());
    m_modified = false;
    load();
}

HistoryEntry ConfigSession::restoreFromHistory(std::string_view entryName) {
    const fs::path cnf = cnfPath();
    if (cnf.empty())
        throw Error("Нет открытой конфигурации");
    HistoryEntry kept = restoreHistory(ConfigFileSet(cnf), entryName);
    // The store's model is of the files just replaced.
    useStore(cnf);
    m_modified = false;
    load();
    return kept;
}

void ConfigSession::writeZoneNames() {
    if (!m_store)
        return;
    IniStore::Batch batch(*m_store);
    for (int z = 1; z <= kZoneCount; ++z)
        m_store->WriteString(SectionZones(), std::to_string(z), m_zones[z - 1]);
    batch.commit();
}

void ConfigSession::close() {
    m_store.reset();
}

fs::path ConfigSession::showDetectorFile(int slot) {
    m_panel->CurrentConfigPath = EnsureDetectorFile(currentPath(), slot);
    return m_panel->CurrentConfigPath;
}

void ConfigSession::addObserver(SessionObserver* observer) {
    m_observers.push_back(observer);
}

void ConfigSession::removeObserver(SessionObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

void ConfigSession::scenariosChanged() {
    const std::vector<SessionObserver*> observers = m_observers;
    for (SessionObserver* o : observers)
        o->scenariosChanged();
}

void ConfigSession::notify(SessionChange change) {
    const std::vector<SessionObserver*> observers = m_observers;
    for (SessionObserver* o : observers)
        o->configurationChanged(change);
}

} // namespace kvort
