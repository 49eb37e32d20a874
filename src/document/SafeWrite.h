#pragma once
// Replacing the content of a file so that a kill, a full disk or a crash
// leaves the old content or the new one, never a part of either. Every file
// the system writes (the INI store, skeletons, images, reports, the history)
// goes through here.
//
// - The new content is written to a temporary file beside the file, flushed
//   to the disk and renamed over it; the folder is flushed after the rename.
// - A symlink is written through: the temporary file goes beside the link's
//   target and the rename replaces the target, so the link stays a link.
// - The replaced file keeps its mode, and its owner and group where the
//   process may set them.
// - A folder that takes no new file (no write permission) while the file
//   itself is writable: the file is written in place (room reserved first,
//   then written, cut to length and flushed), as safe-save classes do.
// - A file the process may not write is not replaced behind its back, nor
//   is one nobody may write (mode 0444), even by the superuser.
// - Temporary files a killed write left beside the file are removed by the
//   next write of that file.
// Errors are FileError "Unable to write to <path> (<reason>)", naming the
// path the caller gave; the file is left as it was wherever possible.
#include <filesystem>
#include <string>
#include <string_view>

namespace kvort {

// The file a write of path lands on: symlinks followed, a dangling one to
// the file it names. Throws FileError for a loop of links.
std::filesystem::path writeTarget(const std::filesystem::path& path);

// New content for one file, staged beside it and put in place by commit().
// Several of them make a set of files change as nearly in one step as POSIX
// allows: prepare all (nothing visible changes), then commit all (renames).
class PreparedFile {
  public:
    // Writes and flushes the temporary file. Throws FileError (nothing
    // changed) when it cannot.
    PreparedFile(std::filesystem::path path, std::string bytes);
    PreparedFile(PreparedFile&& other) noexcept;
    PreparedFile& operator=(PreparedFile&&) = delete;
    PreparedFile(const PreparedFile&) = delete;
    PreparedFile& operator=(const PreparedFile&) = delete;
    // An uncommitted temporary file is removed.
    ~PreparedFile();

    // Puts the new content in place. Throws FileError naming the file.
    // Several files committed together may leave flushing their folder to
    // the caller, once after the last one.
    enum class FolderSync { Now, Later };
    void commit(FolderSync sync = FolderSync::Now);

    const std::filesystem::path& path() const { return m_path; }
    // The file the rename replaces (symlinks followed) and the temporary
    // file that replaces it; the latter is empty when the folder takes no
    // new file and commit() writes in place.
    const std::filesystem::path& target() const { return m_target; }
    const std::filesystem::path& temporary() const { return m_temp; }

  private:
    void writeInPlace();

    std::filesystem::path m_path;   // as the caller named it
    std::filesystem::path m_target; // symlinks followed
    std::filesystem::path m_temp;   // empty: written in place at commit
    std::string m_bytes;            // kept only for the in-place write
    bool m_done = false;
};

// Prepare and commit in one call.
void replaceFile(const std::filesystem::path& path, std::string_view bytes);

// Flushes a folder's entries (a rename or a new file in it) to the disk.
// File systems that cannot are not an error.
void syncFolder(const std::filesystem::path& folder);

// Removes the temporary files that writes of `file` by processes no longer
// running left beside it.
void removeStaleTemporaries(const std::filesystem::path& file);

// From now on a write past the file-size limit fails with EFBIG and is
// reported like any other failed write, instead of SIGXFSZ ending the
// process. Called at the start of the programs.
void ignoreFileSizeSignal();

} // namespace kvort
