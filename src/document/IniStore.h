#pragma once
// The INI store every editor, the decoder and the encoder read and write the
// configuration through (NAME.cnf and NAME.tbN).
//
// - Write-through: every write is on disk before the call returns, unless a
//   Batch is open on the file; then it is on disk when the last Batch ends.
// - Persisting is atomic: a temporary file beside the target is written,
//   flushed and renamed over it. A failed write leaves the old file intact
//   and throws FileError "Unable to write to <path>".
// - All stores opened on one path in this process share one parsed model, so
//   a second store sees every write that returned, batch or not. copyFile()
//   and writeTextFile() below persist pending batch writes of their source
//   and make every store on their target re-read it.
// - Names of sections and keys match without regard to CP1251 letter case
//   and to blanks around them; values come back trimmed.
// - Lines the store does not understand are kept as they are. The file is
//   written with CR LF line ends.
//
// Everything here is CP1251 bytes; paths are filesystem paths.
#include "InputFile.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvort {

class IniModel;

class IniStore {
  public:
    explicit IniStore(std::filesystem::path path);
    // A store on no file: it starts from `bytes` and keeps every write in
    // memory; text() is the file a persist would write. Whole sets are
    // composed this way before any of their files changes.
    struct Detached {};
    IniStore(Detached, std::string_view bytes);
    ~IniStore();
    IniStore(const IniStore&) = delete;
    IniStore& operator=(const IniStore&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool KeyExists(std::string_view section, std::string_view key) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // True only while the section holds at least one key line.
    bool SectionExists(std::string_view section) const;
    // Key names of a section, in file order (first occurrence of each).
    std::vector<std::string> ReadSection(std::string_view section) const;
    // "key=value" pairs of a section in file order, values trimmed.
    std::vector<std::pair<std::string, std::string>>
    ReadSectionValues(std::string_view section) const;
    // Names of the sections that hold a key, in file order.
    std::vector<std::string> ReadSections() const;

    // Persists anything a batch still holds.
    void UpdateFile();
    // The content as it would be written (CP1251, CR LF).
    std::string text() const;

    // A scope for bulk writers: the writes made while any Batch on the file
    // is alive are persisted once, when the last one ends. Every store on the
    // same path (and copyFile) sees them meanwhile. If persisting at the end
    // of the scope fails during unwinding, the error is swallowed (the scope
    // is already failing); call commit() to get it as an exception.
    class Batch {
      public:
        explicit Batch(IniStore& store);
        ~Batch();
        void commit();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        std::shared_ptr<IniModel> m_model;
        bool m_open = true;
    };

  private:
    std::filesystem::path m_path;
    std::shared_ptr<IniModel> m_model;
};

// Copies a file, overwriting the target (CopyFile with overwrite). Pending
// batch writes of the source are persisted first; stores on the target
// re-read it. Returns false (and changes nothing) when the source is missing
// or the copy fails; the callers that ignore failed copies rely on that.
bool copyFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes bytes as the whole content of a file (a text skeleton, the panel
// image, a card file), atomically: temporary file, flush, rename. Stores open
// on it re-read it. Throws FileError "Unable to write to <path>".
void writeFile(const std::filesystem::path& path, std::string_view bytes);

// Persists what a batch on the file still holds, so that a copy taken by
// other means (the history) sees every write that returned. Throws FileError.
void persistPendingWrites(const std::filesystem::path& path);
// Makes every store on the file read it again after it was replaced or
// removed by other means (a restore from the history).
void reloadStores(const std::filesystem::path& path);

} // namespace kvort
