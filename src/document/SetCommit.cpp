#include "SetCommit.h"

#include "IniStore.h"
#include "SafeWrite.h"
#include "text/Error.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kvort {

namespace {

constexpr int kTbFiles = 9;
constexpr std::string_view kJournalMark = ".kvset-";
constexpr std::string_view kJournalHead = "KVSET1";

fs::path folderOf(const ConfigFileSet& set) {
    return set.folder().empty() ? fs::path(".") : set.folder();
}

std::string journalPrefix(const ConfigFileSet& set) {
    return "." + set.name() + std::string(kJournalMark);
}

// Every file a write of the set may have left a temporary beside.
std::vector<fs::path> allMembers(const ConfigFileSet& set) {
    std::vector<fs::path> out{set.cnf(), set.workCnf(), set.bin()};
    for (int n = 0; n < kTbFiles; ++n) {
        out.push_back(set.tb(n));
        out.push_back(set.workTb(n));
    }
    return out;
}

bool processRuns(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// The journal: fields parted by NUL, so that any file name fits. "R" temp
// target: a rename still to run; "D" path: a removal; "E" ends it.
std::string journalText(const std::vector<std::pair<fs::path, fs::path>>& renames,
                        const std::vector<fs::path>& removals) {
    std::string out(kJournalHead);
    out.push_back('\0');
    for (const auto& [temp, target] : renames) {
        out += "R";
        out.push_back('\0');
        out += temp.string();
        out.push_back('\0');
        out += target.string();
        out.push_back('\0');
    }
    for (const fs::path& p : removals) {
        out += "D";
        out.push_back('\0');
        out += p.string();
        out.push_back('\0');
    }
    out += "E";
    out.push_back('\0');
    return out;
}

std::vector<std::string> fields(const std::string& text) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\0', pos);
        if (end == std::string::npos)
            break; // a field without its terminator is not one
        out.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

// Runs what a journal names; an incomplete or foreign journal does nothing.
void replay(const std::string& text) {
    const std::vector<std::string> f = fields(text);
    if (f.empty() || f.front() != kJournalHead || f.back() != "E")
        return;
    for (size_t i = 1; i + 1 < f.size();) {
        if (f[i] == "R" && i + 2 < f.size()) {
            std::error_code ec;
            if (fs::exists(fs::symlink_status(f[i + 1], ec)))
                fs::rename(f[i + 1], f[i + 2], ec);
            i += 3;
        } else if (f[i] == "D" && i + 1 < f.size()) {
            std::error_code ec;
            fs::remove(f[i + 1], ec);
            i += 2;
        } else {
            return;
        }
    }
}

} // namespace

std::vector<fs::path> workingCopies(const ConfigFileSet& set) {
    std::vector<fs::path> out;
    std::error_code ec;
    if (fs::exists(set.workCnf(), ec))
        out.push_back(set.workCnf());
    for (int n = 0; n < kTbFiles; ++n)
        if (fs::exists(set.workTb(n), ec))
            out.push_back(set.workTb(n));
    return out;
}

std::vector<fs::path> detectorFilesOutside(const ConfigFileSet& set, const NewConfigSet& kept) {
    std::vector<fs::path> out;
    for (int n = 0; n < kTbFiles; ++n) {
        const fs::path tb = set.tb(n);
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(tb, ec)))
            continue;
        const bool written = std::any_of(kept.files.begin(), kept.files.end(),
                                         [&](const auto& file) { return file.first == tb; });
        if (!written)
            out.push_back(tb);
    }
    return out;
}

bool finishInterruptedCommit(const ConfigFileSet& set) {
    const fs::path folder = folderOf(set);
    const std::string prefix = journalPrefix(set);
    std::vector<fs::path> journals;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string pid = name.substr(prefix.size());
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long p = std::strtol(pid.c_str(), nullptr, 10);
        if (p == ::getpid() || processRuns(p))
            continue;
        journals.push_back(it->path());
    }
    std::sort(journals.begin(), journals.end());
    for (const fs::path& j : journals) {
        try {
            replay(readFile(j));
        } catch (const Error&) {
            // An unreadable journal cannot be finished; its temporaries go
            // below like any other.
        }
        std::error_code rm;
        fs::remove(j, rm);
    }
    if (!journals.empty())
        syncFolder(folder);
    for (const fs::path& m : allMembers(set)) {
        try {
            removeStaleTemporaries(writeTarget(m));
        } catch (const Error&) {
        }
        if (!journals.empty())
            reloadStores(m);
    }
    return !journals.empty();
}

HistoryEntry commitConfigSet(const ConfigFileSet& set, std::string_view reason,
                             const NewConfigSet& next) {
    finishInterruptedCommit(set);
    HistoryEntryWriter entry(set, reason);

    // Nothing visible changes until every new file is on the disk.
    std::vector<PreparedFile> prepared;
    prepared.reserve(next.files.size());
    for (const auto& [path, bytes] : next.files)
        prepared.emplace_back(path, bytes);

    for (const auto& file : next.files)
        entry.keep(file.first);
    for (const fs::path& p : next.remove)
        entry.keep(p);
    if (next.image)
        entry.image(next.image->bytes, next.image->direction, next.image->medium,
                    next.image->series);
    HistoryEntry kept = entry.commit();

    std::vector<std::pair<fs::path, fs::path>> renames;
    bool inPlace = false;
    for (const PreparedFile& p : prepared) {
        if (p.temporary().empty())
            inPlace = true;
        else
            // Absolute: whoever finishes the journal may run elsewhere.
            renames.emplace_back(fs::absolute(p.temporary()), fs::absolute(p.target()));
    }
    // A folder that takes no new file takes no journal either; the files
    // are then written in place one by one, as the store does there.
    fs::path journal;
    if (!inPlace) {
        journal = folderOf(set) / (journalPrefix(set) + std::to_string(::getpid()));
        std::vector<fs::path> removals;
        for (const fs::path& r : next.remove)
            removals.push_back(fs::absolute(r));
        replaceFile(journal, journalText(renames, removals));
    }

    std::string firstError;
    for (PreparedFile& p : prepared) {
        try {
            p.commit(PreparedFile::FolderSync::Later);
        } catch (const FileError& e) {
            if (firstError.empty())
                firstError = e.what();
        }
    }
    for (const fs::path& r : next.remove) {
        std::error_code ec;
        fs::remove(r, ec);
        if (ec && firstError.empty())
            firstError = "Не удалось удалить " + r.string() + " (" + ec.message() + ")";
    }
    std::set<fs::path> folders{folderOf(set)};
    for (const PreparedFile& p : prepared)
        folders.insert(p.target().parent_path().empty() ? fs::path(".") : p.target().parent_path());
    for (const fs::path& f : folders)
        syncFolder(f);
    if (!journal.empty()) {
        std::error_code ec;
        fs::remove(journal, ec);
    }
    for (const auto& file : next.files)
        reloadStores(file.first);
    for (const fs::path& r : next.remove)
        reloadStores(r);
    if (!firstError.empty())
        throw FileError(firstError + (kept.name.empty() ? std::string()
                                                        : "; прежние файлы сохранены в истории: " +
                                                              kept.folder.string()));
    return kept;
}

} // namespace kvort
