#pragma once
// The history of a configuration: NAME.history/ beside NAME.cnf, one folder
// per entry, named YYYY-MM-DD_HH-MM-SS_<reason> (local time; a second entry
// in the same second gets "_2", "_3" ... after the reason). An entry keeps
// files of the set byte for byte, and an image written to or read from a
// panel or a card, with a small ИНФО.txt (CP1251 INI) saying when, why and
// what. Before anything replaces, empties or deletes files of a set, they go
// into an entry; the newest kHistoryKeep entries are kept.
//
// Entries appear whole or not at all: they are built in a hidden folder
// inside NAME.history, flushed to the disk and renamed to their name.
// Folders in NAME.history whose names do not have the entry form are
// neither listed nor pruned.
#include "ConfigFileSet.h"
#include "text/Error.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvort {

inline constexpr size_t kHistoryKeep = 100;

// A history that cannot do what was asked: no such entry, no history, an
// entry without a configuration. Text in UTF-8, naming the configuration.
class HistoryError : public Error {
  public:
    using Error::Error;
};

// Reasons the callers give (a reason is lower-case Latin letters, digits
// and "-"; it ends the entry's folder name).
namespace reason {
inline constexpr std::string_view kNew = "new";
inline constexpr std::string_view kReadPanel = "read-panel";
inline constexpr std::string_view kReadCard = "read-card";
inline constexpr std::string_view kDecode = "decode";
inline constexpr std::string_view kDiscard = "discard";
inline constexpr std::string_view kRestore = "restore";
inline constexpr std::string_view kWritePanel = "write-panel";
inline constexpr std::string_view kWriteCard = "write-card";
inline constexpr std::string_view kStray = "stray";
inline constexpr std::string_view kVerifyPanel = "verify-panel";
inline constexpr std::string_view kComplete = "complete";
} // namespace reason

// What a kept image is. The series has the same three values as the
// document's series type, so that one can stand for the other.
enum class ImageDirection { Written, Read };
enum class ImageMedium { Panel, Card };
enum class ImageSeries { FH, I, Unknown };

struct KeptImage {
    ImageDirection direction = ImageDirection::Read;
    ImageMedium medium = ImageMedium::Panel;
    ImageSeries series = ImageSeries::Unknown;
    std::string file; // its name inside the entry
};

struct HistoryFile {
    std::string name; // as on disk (UTF-8)
    std::uintmax_t size = 0;
};

struct HistoryEntry {
    std::string name; // the folder name; empty: nothing was kept
    std::filesystem::path folder;
    std::string time;               // "YYYY-MM-DD HH:MM:SS"
    std::string reason;             // as given
    std::vector<HistoryFile> files; // by name; ИНФО.txt not among them
    std::optional<KeptImage> image;
};

// Folder of the history: NAME.history beside NAME.cnf.
std::filesystem::path historyFolder(const ConfigFileSet& set);

// The members of the set a restore replaces, those that exist: NAME.cnf and
// NAME.tb0..NAME.tb8.
std::vector<std::filesystem::path> setMembers(const ConfigFileSet& set);

// Builds one entry. Files are copied at keep()/move() (pending store writes
// persisted first); nothing is visible in the history until commit(), which
// flushes the entry to the disk, gives it its name, removes the originals of
// moved files and prunes the history. An entry never committed leaves no
// trace and no file of the set changed.
class HistoryEntryWriter {
  public:
    // Throws HistoryError for a reason that cannot be a folder name.
    HistoryEntryWriter(const ConfigFileSet& set, std::string_view reason);
    ~HistoryEntryWriter();
    HistoryEntryWriter(const HistoryEntryWriter&) = delete;
    HistoryEntryWriter& operator=(const HistoryEntryWriter&) = delete;

    // Copies a file into the entry; a file that does not exist is skipped.
    // Throws FileError naming the file that could not be read or written.
    void keep(const std::filesystem::path& file);
    // The same, and the file is removed from its place once the entry is
    // committed (working copies, stray detector files).
    void move(const std::filesystem::path& file);
    // Keeps an image (the bytes as they went to or came from the panel or
    // the card).
    void image(std::string_view bytes, ImageDirection direction, ImageMedium medium,
               ImageSeries series);

    bool empty() const { return m_files.empty() && !m_image; }

    // Throws FileError; an entry that holds nothing is not created (the
    // result then has an empty name).
    HistoryEntry commit();

  private:
    void stage(const std::filesystem::path& file, bool moved);
    std::filesystem::path staging();

    ConfigFileSet m_set;
    std::string m_reason;
    std::filesystem::path m_staging;
    std::vector<std::string> m_files;
    std::vector<std::filesystem::path> m_moved;
    std::optional<KeptImage> m_image;
    bool m_committed = false;
};

// Shorthands for an entry of one kind.
HistoryEntry keepInHistory(const ConfigFileSet& set, std::string_view reason,
                           const std::vector<std::filesystem::path>& files);
HistoryEntry moveIntoHistory(const ConfigFileSet& set, std::string_view reason,
                             const std::vector<std::filesystem::path>& files);
HistoryEntry keepImage(const ConfigFileSet& set, std::string_view reason, std::string_view bytes,
                       ImageDirection direction, ImageMedium medium, ImageSeries series);

// The entries, oldest first. No history: an empty list.
std::vector<HistoryEntry> listHistory(const ConfigFileSet& set);
// A file size as the listings show it: digits in groups of three apart
// ("281 472"), ASCII only.
std::string SizeText(std::uintmax_t bytes);

// Puts the configuration of an entry back: NAME.cnf and the NAME.tbN it
// holds replace the set, and members of the set it does not hold are
// removed. The set as it was goes into an entry of its own first (reason
// "restore"), which is returned (empty name when there was no file to
// keep). The new files are staged beside the old ones before any of them
// is replaced. Throws HistoryError (no history, no such entry, an entry
// without NAME.cnf) or FileError; both leave the set as it was.
HistoryEntry restoreHistory(const ConfigFileSet& set, std::string_view entryName);

// Removes the oldest entries beyond the newest `keep`. Entries that cannot
// be removed are left.
void pruneHistory(const ConfigFileSet& set, size_t keep = kHistoryKeep);

// A reason in Russian for the person ("новая конфигурация поверх прежней");
// the reason itself when it has none. UTF-8.
std::string reasonText(std::string_view reason);

} // namespace kvort
