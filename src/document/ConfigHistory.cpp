#include "ConfigHistory.h"

#include "IniStore.h"
#include "Messages.h"
#include "SafeWrite.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kvort {

using namespace text::literals;

namespace {

// Names inside an entry that no member of a set can have (members are
// NAME.ext or NAME_suffix).
constexpr const char* kInfoFile = "ИНФО.txt";
constexpr const char* kWrittenImage = "ЗАПИСАННЫЙ_ОБРАЗ.bin";
constexpr const char* kReadImage = "СЧИТАННЫЙ_ОБРАЗ.bin";
constexpr std::string_view kStagingMark = ".staging-";
// NAME.tb0 .. NAME.tb8
constexpr int kTbFiles = 9;

[[noreturn]] void cannotKeep(const fs::path& p, int err) {
    std::string msg = "Не удалось сохранить историю конфигурации: " + p.string();
    if (err)
        msg += " (" + msg::reason(err) + ")";
    throw FileError(msg);
}

// A new file inside the (still hidden) entry, flushed; the entry's folder
// is flushed once at its commit.
void writeNewFile(const fs::path& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        cannotKeep(path, errno);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            cannotKeep(path, err);
        }
        done += static_cast<size_t>(n);
    }
    if (::fdatasync(fd) != 0 || ::close(fd) != 0)
        cannotKeep(path, errno);
}

bool validReason(std::string_view r) {
    return !r.empty() && r.size() <= 40 && std::all_of(r.begin(), r.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
}

// "YYYY-MM-DD_HH-MM-SS_reason[_N]" -> time part, reason and its place in
// that second (1 without a suffix). Anything else is not an entry.
struct ParsedName {
    std::string time; // as in the name
    std::string reason;
    int seq = 1;
};

std::optional<ParsedName> parseName(const std::string& name) {
    static constexpr std::string_view shape = "dddd-dd-dd_dd-dd-dd_";
    if (name.size() <= shape.size())
        return std::nullopt;
    for (size_t i = 0; i < shape.size(); ++i) {
        bool digit = name[i] >= '0' && name[i] <= '9';
        if (shape[i] == 'd' ? !digit : name[i] != shape[i])
            return std::nullopt;
    }
    ParsedName p;
    p.time = name.substr(0, shape.size() - 1);
    std::string rest = name.substr(shape.size());
    if (size_t us = rest.rfind('_'); us != std::string::npos) {
        std::string n = rest.substr(us + 1);
        if (n.empty() || n.size() > 6 || n.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        p.seq = std::stoi(n);
        rest.erase(us);
    }
    if (!validReason(rest))
        return std::nullopt;
    p.reason = rest;
    return p;
}

// "2026-12-09_18-58-54" -> "2026-12-09 18:58:54".
std::string timeText(const std::string& nameTime) {
    std::string t = nameTime;
    t[10] = ' ';
    t[13] = ':';
    t[16] = ':';
    return t;
}

struct Named {
    std::string name;
    ParsedName parsed;
};

// The entries' folder names, oldest first.
std::vector<Named> entryNames(const fs::path& hist) {
    std::vector<Named> out;
    std::error_code ec;
    fs::directory_iterator it(hist, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code dc;
        if (!it->is_directory(dc))
            continue;
        std::string name = it->path().filename().string();
        if (auto p = parseName(name))
            out.push_back({name, *p});
    }
    std::sort(out.begin(), out.end(), [](const Named& a, const Named& b) {
        if (a.parsed.time != b.parsed.time)
            return a.parsed.time < b.parsed.time;
        if (a.parsed.seq != b.parsed.seq)
            return a.parsed.seq < b.parsed.seq;
        return a.name < b.name;
    });
    return out;
}

std::string_view directionText(ImageDirection d) {
    return d == ImageDirection::Written ? "ЗАПИСАН"_cp : "СЧИТАН"_cp;
}
std::string_view mediumText(ImageMedium m) {
    return m == ImageMedium::Card ? "КАРТА"_cp : "ПРИБОР"_cp;
}
std::string_view seriesText(ImageSeries s) {
    switch (s) {
    case ImageSeries::FH:
        return "F/H";
    case ImageSeries::I:
        return "I";
    case ImageSeries::Unknown:
        break;
    }
    return "НЕ ОПРЕДЕЛЕНА"_cp;
}

HistoryEntry readEntry(const fs::path& folder, const Named& named) {
    HistoryEntry e;
    e.name = named.name;
    e.folder = folder;
    e.time = timeText(named.parsed.time);
    e.reason = named.parsed.reason;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code fc;
        if (!it->is_regular_file(fc))
            continue;
        std::string name = it->path().filename().string();
        if (name == kInfoFile)
            continue;
        e.files.push_back({name, it->file_size(fc)});
    }
    std::sort(e.files.begin(), e.files.end(),
              [](const HistoryFile& a, const HistoryFile& b) { return a.name < b.name; });
    try {
        IniStore info(folder / kInfoFile);
        std::string file = info.ReadString("ОБРАЗ"_cp, "ФАЙЛ"_cp, "");
        if (!file.empty()) {
            KeptImage img;
            img.file = text::toUtf8(file);
            img.direction = info.ReadString("ОБРАЗ"_cp, "НАПРАВЛЕНИЕ"_cp, "") == "ЗАПИСАН"_cp
                                ? ImageDirection::Written
                                : ImageDirection::Read;
            img.medium = info.ReadString("ОБРАЗ"_cp, "НОСИТЕЛЬ"_cp, "") == "КАРТА"_cp
                             ? ImageMedium::Card
                             : ImageMedium::Panel;
            std::string s = info.ReadString("ОБРАЗ"_cp, "СЕРИЯ"_cp, "");
            img.series = s == "F/H" ? ImageSeries::FH
                         : s == "I" ? ImageSeries::I
                                    : ImageSeries::Unknown;
            e.image = img;
        }
    } catch (const Error&) {
        // An entry without a readable ИНФО.txt still lists its files.
    }
    return e;
}

bool processRuns(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Hidden folders of entries whose writer was killed before the commit.
void removeStaleStaging(const fs::path& hist) {
    std::error_code ec;
    fs::directory_iterator it(hist, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.rfind(kStagingMark, 0) != 0)
            continue;
        std::string rest = name.substr(kStagingMark.size());
        size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || rest.find_first_not_of("0123456789") != dash)
            continue;
        long pid = std::strtol(rest.substr(0, dash).c_str(), nullptr, 10);
        if (pid == ::getpid() || processRuns(pid))
            continue;
        std::error_code rm;
        fs::remove_all(it->path(), rm);
    }
}

std::string localTimeName() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d_%H-%M-%S", &tm);
    return buf;
}

} // namespace

fs::path historyFolder(const ConfigFileSet& set) {
    return fs::path(set.base().string() + ".history");
}

std::vector<fs::path> setMembers(const ConfigFileSet& set) {
    std::vector<fs::path> out;
    std::error_code ec;
    if (fs::exists(set.cnf(), ec))
        out.push_back(set.cnf());
    for (int n = 0; n < kTbFiles; ++n)
        if (fs::exists(set.tb(n), ec))
            out.push_back(set.tb(n));
    return out;
}

HistoryEntryWriter::HistoryEntryWriter(const ConfigFileSet& set, std::string_view reason)
    : m_set(set), m_reason(reason) {
    if (!validReason(reason))
        throw HistoryError("Недопустимая причина записи истории: «" + std::string(reason) + "»");
}

HistoryEntryWriter::~HistoryEntryWriter() {
    if (!m_committed && !m_staging.empty()) {
        std::error_code ec;
        fs::remove_all(m_staging, ec);
    }
}

fs::path HistoryEntryWriter::staging() {
    if (!m_staging.empty())
        return m_staging;
    static std::atomic<unsigned> counter{0};
    const fs::path hist = historyFolder(m_set);
    std::error_code ec;
    if (!fs::is_directory(hist, ec)) {
        if (!fs::create_directory(hist, ec) && !fs::is_directory(hist))
            cannotKeep(hist, ec.value());
        syncFolder(m_set.folder().empty() ? fs::path(".") : m_set.folder());
    }
    removeStaleStaging(hist);
    fs::path dir = hist / (std::string(kStagingMark) + std::to_string(::getpid()) + "-" +
                           std::to_string(counter++));
    if (!fs::create_directory(dir, ec))
        cannotKeep(dir, ec ? ec.value() : EEXIST);
    m_staging = dir;
    return m_staging;
}

void HistoryEntryWriter::stage(const fs::path& file, bool moved) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return;
    const std::string name = file.filename().string();
    if (name == kInfoFile || name == kWrittenImage || name == kReadImage)
        throw HistoryError("Файл " + file.string() + " нельзя сохранить в истории под его именем");
    if (std::find(m_files.begin(), m_files.end(), name) == m_files.end()) {
        persistPendingWrites(file);
        writeNewFile(staging() / name, readFile(file));
        m_files.push_back(name);
    }
    if (moved)
        m_moved.push_back(file);
}

void HistoryEntryWriter::keep(const fs::path& file) {
    stage(file, false);
}

void HistoryEntryWriter::move(const fs::path& file) {
    stage(file, true);
}

void HistoryEntryWriter::image(std::string_view bytes, ImageDirection direction, ImageMedium medium,
                               ImageSeries series) {
    KeptImage img{direction, medium, series,
                  direction == ImageDirection::Written ? kWrittenImage : kReadImage};
    if (m_image && m_image->file != img.file) {
        std::error_code ec;
        fs::remove(staging() / m_image->file, ec);
    }
    writeNewFile(staging() / img.file, bytes);
    m_image = img;
}

HistoryEntry HistoryEntryWriter::commit() {
    if (m_committed)
        throw HistoryError("Запись истории уже сохранена");
    if (empty()) {
        m_committed = true;
        if (!m_staging.empty()) {
            std::error_code ec;
            fs::remove_all(m_staging, ec);
        }
        return {};
    }
    const std::string nameTime = localTimeName();

    std::string info;
    auto line = [&](std::string_view key, std::string_view value) {
        info += key;
        info += value;
        info += "\r\n";
    };
    line("[ЗАПИСЬ]"_cp, "");
    line("ВРЕМЯ="_cp, timeText(nameTime));
    line("ПРИЧИНА="_cp, m_reason);
    line("ОПИСАНИЕ="_cp, text::fromUtf8Lossy(reasonText(m_reason)));
    line("КОНФИГУРАЦИЯ="_cp, text::fromUtf8Lossy(fs::absolute(m_set.cnf()).string()));
    if (!m_files.empty()) {
        line("[ФАЙЛЫ]"_cp, "");
        std::error_code ec;
        for (const std::string& f : m_files)
            line(text::fromUtf8Lossy(f) + "=", std::to_string(fs::file_size(m_staging / f, ec)));
    }
    if (m_image) {
        line("[ОБРАЗ]"_cp, "");
        line("ФАЙЛ="_cp, text::fromUtf8Lossy(m_image->file));
        line("НАПРАВЛЕНИЕ="_cp, directionText(m_image->direction));
        line("НОСИТЕЛЬ="_cp, mediumText(m_image->medium));
        line("СЕРИЯ="_cp, seriesText(m_image->series));
    }
    writeNewFile(m_staging / kInfoFile, info);
    syncFolder(m_staging);

    // Within one second the entries are told apart (and ordered) by a
    // number after the reason.
    const fs::path hist = historyFolder(m_set);
    int seq = 1;
    for (const Named& n : entryNames(hist))
        if (n.parsed.time == nameTime)
            seq = std::max(seq, n.parsed.seq + 1);
    fs::path final;
    for (;; ++seq) {
        std::string name = nameTime + "_" + m_reason;
        if (seq > 1)
            name += "_" + std::to_string(seq);
        final = hist / name;
        if (::rename(m_staging.c_str(), final.c_str()) == 0)
            break;
        if ((errno != EEXIST && errno != ENOTEMPTY) || seq > 100000)
            cannotKeep(final, errno);
    }
    m_committed = true;
    syncFolder(hist);

    std::string failedRemoval;
    for (const fs::path& f : m_moved) {
        std::error_code ec;
        fs::remove(f, ec);
        if (ec && failedRemoval.empty())
            failedRemoval = f.string() + " (" + ec.message() + ")";
        reloadStores(f);
    }
    if (!m_moved.empty())
        syncFolder(m_set.folder().empty() ? fs::path(".") : m_set.folder());
    pruneHistory(m_set);
    if (!failedRemoval.empty())
        throw FileError("Файл сохранён в истории (" + final.string() +
                        "), но удалить его не удалось: " + failedRemoval);
    Named named{final.filename().string(), *parseName(final.filename().string())};
    return readEntry(final, named);
}

HistoryEntry keepInHistory(const ConfigFileSet& set, std::string_view reason,
                           const std::vector<fs::path>& files) {
    HistoryEntryWriter w(set, reason);
    for (const fs::path& f : files)
        w.keep(f);
    return w.commit();
}

HistoryEntry moveIntoHistory(const ConfigFileSet& set, std::string_view reason,
                             const std::vector<fs::path>& files) {
    HistoryEntryWriter w(set, reason);
    for (const fs::path& f : files)
        w.move(f);
    return w.commit();
}

HistoryEntry keepImage(const ConfigFileSet& set, std::string_view reason, std::string_view bytes,
                       ImageDirection direction, ImageMedium medium, ImageSeries series) {
    HistoryEntryWriter w(set, reason);
    w.image(bytes, direction, medium, series);
    return w.commit();
}

std::string SizeText(std::uintmax_t bytes) {
    const std::string digits = std::to_string(bytes);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ' ';
        out += digits[i];
    }
    return out;
}

std::vector<HistoryEntry> listHistory(const ConfigFileSet& set) {
    std::vector<HistoryEntry> out;
    const fs::path hist = historyFolder(set);
    for (const Named& n : entryNames(hist))
        out.push_back(readEntry(hist / n.name, n));
    return out;
}

HistoryEntry restoreHistory(const ConfigFileSet& set, std::string_view entryName) {
    const fs::path hist = historyFolder(set);
    const std::string cnfText = set.cnf().string();
    // A path to the entry's folder names it as well as its name does.
    fs::path given(entryName);
    std::string name = given.filename().string();
    if (name.empty())
        name = given.parent_path().filename().string();

    std::vector<Named> names = entryNames(hist);
    if (names.empty())
        throw HistoryError("У конфигурации " + cnfText + " нет истории (нет записей в папке " +
                           hist.string() + ")");
    auto it =
        std::find_if(names.begin(), names.end(), [&](const Named& n) { return n.name == name; });
    if (it == names.end())
        throw HistoryError("В истории конфигурации " + cnfText + " нет записи «" + name + "»");
    const fs::path folder = hist / name;

    // The entry's configuration, read and staged beside the set before any
    // file of the set changes.
    std::vector<fs::path> members{set.cnf()};
    for (int n = 0; n < kTbFiles; ++n)
        members.push_back(set.tb(n));
    std::vector<PreparedFile> staged;
    std::vector<bool> inEntry(members.size(), false);
    std::error_code ec;
    if (!fs::is_regular_file(folder / set.cnf().filename(), ec))
        throw HistoryError("Запись «" + name + "» истории конфигурации " + cnfText +
                           " не содержит " + set.cnf().filename().string() +
                           ": конфигурацию из неё не восстановить (её файлы лежат в " +
                           folder.string() + ")");
    for (size_t i = 0; i < members.size(); ++i) {
        fs::path kept = folder / members[i].filename();
        if (!fs::is_regular_file(kept, ec))
            continue;
        inEntry[i] = true;
        staged.emplace_back(members[i], readFile(kept));
    }

    HistoryEntryWriter before(set, reason::kRestore);
    for (const fs::path& m : setMembers(set))
        before.keep(m);
    HistoryEntry keptEntry = before.commit();

    for (PreparedFile& f : staged)
        f.commit();
    for (size_t i = 0; i < members.size(); ++i) {
        if (inEntry[i] || !fs::exists(fs::symlink_status(members[i], ec)))
            continue;
        // A link goes with its target's content kept in the entry above;
        // removing the link itself is what removing the member means.
        std::error_code rm;
        fs::remove(members[i], rm);
        if (rm)
            throw FileError(
                "Не удалось удалить " + members[i].string() + " (" + rm.message() +
                "); прежняя конфигурация сохранена в истории: " + keptEntry.folder.string());
    }
    for (const fs::path& m : members)
        removeStaleTemporaries(writeTarget(m));
    syncFolder(set.folder().empty() ? fs::path(".") : set.folder());
    for (const fs::path& m : members)
        reloadStores(m);
    return keptEntry;
}

void pruneHistory(const ConfigFileSet& set, size_t keep) {
    const fs::path hist = historyFolder(set);
    std::vector<Named> names = entryNames(hist);
    if (names.size() <= keep)
        return;
    for (size_t i = 0; i + keep < names.size(); ++i) {
        std::error_code ec;
        fs::remove_all(hist / names[i].name, ec);
    }
    syncFolder(hist);
}

std::string reasonText(std::string_view r) {
    static const std::map<std::string_view, const char*> texts = {
        {reason::kNew, "новая конфигурация поверх прежней"},
        {reason::kReadPanel, "чтение из прибора"},
        {reason::kReadCard, "чтение с SD-карты"},
        {reason::kDecode, "раскодирование образа"},
        {reason::kDiscard, "отказ от изменений"},
        {reason::kRestore, "перед восстановлением из истории"},
        {reason::kWritePanel, "запись в прибор"},
        {reason::kWriteCard, "запись на SD-карту"},
        {reason::kStray, "лишние файлы датчиков"},
        {reason::kVerifyPanel, "сверка с прибором"},
        {reason::kComplete, "перед дополнением старой конфигурации"},
    };
    auto it = texts.find(r);
    return it == texts.end() ? std::string(r) : it->second;
}

} // namespace kvort
