#pragma once
// The open configuration: its path, its store, the modified flag, the zone
// names and the directions held on screen, and the one panel image the
// workflows fill. The window and the command line both work through it;
// editors read and write through it and are told when a configuration has
// been loaded.
#include "app/Completion.h"
#include "document/Config.h"
#include "document/ConfigHistory.h"
#include "document/IniStore.h"
#include "document/Lifecycle.h"
#include "image/PanelImage.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kvort {

// What the check, the codec and the transfers share: the image, the series
// it is meant for and the path of the open configuration (its extension is
// whichever member was addressed last).
struct PanelSession {
    TPanelImage image;
    Series DeviceSeries = Series::FH; // Unknown when undetermined or cancelled
    // The series the panel's reply named in the last search, as the link
    // writes it (0, 1, -1); a write's check takes DeviceSeries from it.
    int linkSeries = 0;
    std::filesystem::path CurrentConfigPath;
};

class ConfigSession;

enum class SessionChange {
    Created, ///< a new configuration: zone names and directions are its own
    Loaded,  ///< opened or read: completed on opening, everything from the files
};

// An editor that shows the configuration: told after the session has
// changed to another one.
class SessionObserver {
  public:
    virtual ~SessionObserver() = default;
    virtual void configurationChanged(SessionChange change) = 0;
    // A direction has been saved into NAME.cnf on its own.
    virtual void directionSaved(int /*direction*/) {}
    // A scenario was saved or deleted (the relay blocks in use may differ).
    virtual void scenariosChanged() {}
};

class ConfigSession {
  public:
    ConfigSession();
    ~ConfigSession();
    ConfigSession(const ConfigSession&) = delete;
    ConfigSession& operator=(const ConfigSession&) = delete;

    PanelSession& panel() { return *m_panel; }
    const std::filesystem::path& currentPath() const { return m_panel->CurrentConfigPath; }
    // NAME.cnf of the open configuration; empty when none.
    std::filesystem::path cnfPath() const;
    bool isOpen() const { return m_store != nullptr; }
    // The store on NAME.cnf; Error when no configuration is open.
    IniStore& store();
    const IniStore& store() const;

    // Edits the person has not yet been asked about.
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // NAME of the configuration opened or read in this run ("" until then);
    // a new configuration leaves it as it was.
    const std::string& sourceName() const { return m_sourceName; }

    // The 256 zone names the zone grid edits and the encoder and saving take.
    const ZoneNames& zoneNames() const { return m_zones; }
    void setZoneName(int zone, std::string name) { m_zones.at(zone - 1) = std::move(name); }
    // The directions as the direction editor holds them; saving writes them.
    const DirectionChoices& directions() const { return m_directions; }
    void setDirection(int direction, DirectionChoice choice) {
        m_directions.at(direction - 1) = std::move(choice);
    }
    // Reloads the directions from NAME.cnf (what the direction editor does
    // when it is shown).
    void reloadDirections();
    // Writes the direction held here into NAME.cnf at once and tells the
    // observers (the БДУ labels follow).
    void saveDirection(int direction);

    // ---- the lifecycle -------------------------------------------------------
    // A new configuration at the chosen name (extension replaced by ".cnf").
    // An existing set of that name goes into its history (reason "new"), and
    // its working copies with it: they belong to the configuration replaced.
    // Throws FileError; then nothing changed.
    std::filesystem::path create(const std::filesystem::path& chosen);
    // Opens an existing NAME.cnf with working copies; the modified flag is
    // cleared. A missing or unreadable file throws FileError before anything
    // changed.
    void open(const std::filesystem::path& chosen);
    // A configuration a read has just written: no working copies (the read
    // moved those of an earlier opening of that NAME into its history entry).
    void adoptRead(const std::filesystem::path& cnf);
    // The command line: works on NAME.cnf completed as on opening (zone
    // names from the file), no working copies, no observers.
    void attach(const std::filesystem::path& cnf);
    // What the completion changed when the configuration was opened,
    // attached or read (the check's report says it).
    const Completion& completion() const { return m_completion; }
    // Writes the zone names and the directions into NAME.cnf. Neither the
    // working copies nor the modified flag change.
    void save();
    // Restores NAME.cnf and NAME.tbN from the working copies this run made
    // by opening the configuration; a configuration created or read in this
    // run has none, and nothing changes. The view is not reloaded.
    void discard() const;
    // Reads the open configuration anew from its files, as opening does but
    // without working copies; the modified flag is cleared and observers
    // hear SessionChange::Loaded.
    void reload();
    // Puts a history entry of the open configuration back (the current set
    // is kept as an entry of its own first) and reloads it. Returns that
    // entry. Throws HistoryError or FileError; then nothing changed.
    HistoryEntry restoreFromHistory(std::string_view entryName);
    // The zone names alone into NAME.cnf (before the direction editor lists
    // the zones).
    void writeZoneNames();
    // Releases the store.
    void close();

    // NAME.tbN of a slot that is shown, created empty when missing; the
    // current path then points at it.
    std::filesystem::path showDetectorFile(int slot);

    void addObserver(SessionObserver* observer);
    void removeObserver(SessionObserver* observer);
    // Tells every observer that a scenario was saved or deleted.
    void scenariosChanged();

  private:
    void useStore(const std::filesystem::path& cnf);
    void load();
    void notify(SessionChange change);

    std::unique_ptr<PanelSession> m_panel; // 64 KiB: kept off the stack
    std::unique_ptr<IniStore> m_store;
    bool m_modified = false;
    // The working copies beside NAME.cnf were made by this run's opening.
    bool m_ownsWorkingCopies = false;
    std::string m_sourceName;
    Completion m_completion;
    ZoneNames m_zones;
    DirectionChoices m_directions;
    std::vector<SessionObserver*> m_observers;
};

} // namespace kvort
