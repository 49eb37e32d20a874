#include "IniStore.h"

#include "SafeWrite.h"
#include "text/Cp1251.h"
#include "text/Error.h"
#include "text/Format.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace fs = std::filesystem;

namespace kvort {

namespace {

// Every persist goes through the one safe writer: temporary file, flush,
// rename (symlinks written through, mode and owner kept, an unwritable
// folder handled), so the target is the old or the new content.
void persistAtomically(const fs::path& target, std::string_view bytes) {
    replaceFile(target, bytes);
}

} // namespace

// One parsed INI file, shared by every store opened on its path.
class IniModel {
  public:
    struct Line {
        std::string raw; // the line as read; empty once a key line was changed
        bool isKey = false;
        std::string key;  // as written, trimmed
        std::string fold; // folded key for lookup
        std::string value;
    };
    struct Section {
        std::string header; // the header line as read or written
        std::string fold;
        std::vector<Line> lines;
    };

    explicit IniModel(fs::path path) : m_path(std::move(path)) {}
    // A model of no file: it never persists.
    explicit IniModel(std::string_view bytes) : m_detached(true) { parse(bytes); }

    void load() {
        m_preamble.clear();
        m_sections.clear();
        m_index.clear();
        m_dirty = false;
        std::error_code ec;
        if (!fs::exists(m_path, ec))
            return;
        parse(readFile(m_path));
    }

    const Section* find(std::string_view section) const {
        auto it = m_index.find(text::foldName(section));
        return it == m_index.end() ? nullptr : &m_sections[it->second];
    }
    Section* find(std::string_view section) {
        return const_cast<Section*>(std::as_const(*this).find(section));
    }

    static const Line* findKey(const Section& s, const std::string& fold) {
        for (const Line& l : s.lines)
            if (l.isKey && l.fold == fold)
                return &l;
        return nullptr;
    }

    void write(std::string_view section, std::string_view key, std::string_view value) {
        Section* s = find(section);
        if (!s) {
            Section ns;
            ns.header = "[" + std::string(text::trim(section)) + "]";
            ns.fold = text::foldName(section);
            m_index.emplace(ns.fold, m_sections.size());
            m_sections.push_back(std::move(ns));
            s = &m_sections.back();
        }
        std::string fold = text::foldName(key);
        if (Line* l = const_cast<Line*>(findKey(*s, fold))) {
            if (l->value == value)
                return;
            l->value = std::string(value);
            l->raw.clear();
        } else {
            Line nl;
            nl.isKey = true;
            nl.key = std::string(text::trim(key));
            nl.fold = std::move(fold);
            nl.value = std::string(value);
            // After the last line that is not blank, so the blank line that
            // separates it from the next section stays where it is.
            auto pos = s->lines.end();
            while (pos != s->lines.begin() && !(pos - 1)->isKey &&
                   text::trim((pos - 1)->raw).empty())
                --pos;
            s->lines.insert(pos, std::move(nl));
        }
        changed();
    }

    void deleteKey(std::string_view section, std::string_view key) {
        Section* s = find(section);
        if (!s)
            return;
        std::string fold = text::foldName(key);
        bool any = false;
        std::erase_if(s->lines, [&](const Line& l) {
            bool hit = l.isKey && l.fold == fold;
            any |= hit;
            return hit;
        });
        if (any)
            changed();
    }

    void eraseSection(std::string_view section) {
        std::string fold = text::foldName(section);
        size_t before = m_sections.size();
        std::erase_if(m_sections, [&](const Section& s) { return s.fold == fold; });
        if (m_sections.size() == before)
            return;
        reindex();
        changed();
    }

    const std::vector<Section>& sections() const { return m_sections; }

    void beginBatch() { ++m_batchDepth; }
    void endBatch() {
        if (--m_batchDepth == 0 && m_dirty)
            persist();
    }
    void flush() {
        if (m_dirty)
            persist();
    }
    bool hasPending() const { return m_dirty; }
    bool inBatch() const { return m_batchDepth > 0; }
    const fs::path& path() const { return m_path; }

    std::string render() const {
        std::string out;
        auto put = [&](const Line& l) {
            if (!l.raw.empty() || !l.isKey)
                out += l.raw;
            else
                out += l.key + "=" + l.value;
            out += "\r\n";
        };
        for (const Line& l : m_preamble)
            put(l);
        for (const Section& s : m_sections) {
            out += s.header;
            out += "\r\n";
            for (const Line& l : s.lines)
                put(l);
        }
        return out;
    }

  private:
    void changed() {
        m_dirty = true;
        if (m_batchDepth == 0)
            persist();
    }

    void persist() {
        if (m_detached)
            return;
        try {
            persistAtomically(m_path, render());
        } catch (const FileError&) {
            // The disk keeps what was written before; so does the model, so
            // that no reader sees a write that never reached the file.
            try {
                load();
            } catch (const FileError&) {
            }
            throw;
        }
        m_dirty = false;
    }

    void parse(std::string_view data) {
        Section* cur = nullptr;
        size_t pos = 0;
        while (pos < data.size()) {
            size_t nl = data.find('\n', pos);
            std::string_view line =
                data.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
            pos = nl == std::string_view::npos ? data.size() : nl + 1;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            std::string_view t = text::trim(line);
            if (!t.empty() && t.front() == '[') {
                size_t close = t.find(']');
                if (close != std::string_view::npos) {
                    Section s;
                    s.header = std::string(line);
                    s.fold = text::foldName(t.substr(1, close - 1));
                    m_index.emplace(s.fold, m_sections.size()); // the first one wins
                    m_sections.push_back(std::move(s));
                    cur = &m_sections.back();
                    continue;
                }
            }
            Line l;
            l.raw = std::string(line);
            size_t eq = line.find('=');
            if (cur && eq != std::string_view::npos && !t.empty() && t.front() != ';') {
                std::string_view key = text::trim(line.substr(0, eq));
                if (!key.empty()) {
                    l.isKey = true;
                    l.key = std::string(key);
                    l.fold = text::upper(key);
                    l.value = std::string(line.substr(eq + 1));
                }
            }
            (cur ? cur->lines : m_preamble).push_back(std::move(l));
        }
    }

    void reindex() {
        m_index.clear();
        for (size_t i = 0; i < m_sections.size(); ++i)
            m_index.emplace(m_sections[i].fold, i);
    }

    fs::path m_path;
    std::vector<Line> m_preamble;
    std::vector<Section> m_sections;
    std::unordered_map<std::string, size_t> m_index;
    int m_batchDepth = 0;
    bool m_dirty = false;
    bool m_detached = false;
};

namespace {

// Every store of this process on one file shares one model.
struct Registry {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<IniModel>> models;

    static std::string keyOf(const fs::path& p) {
        std::error_code ec;
        fs::path abs = fs::weakly_canonical(fs::absolute(p, ec), ec);
        return (ec ? fs::absolute(p) : abs).lexically_normal().string();
    }

    std::shared_ptr<IniModel> live(const fs::path& p) {
        std::lock_guard lock(mutex);
        auto it = models.find(keyOf(p));
        return it == models.end() ? nullptr : it->second.lock();
    }

    std::shared_ptr<IniModel> open(const fs::path& p) {
        std::lock_guard lock(mutex);
        std::string key = keyOf(p);
        auto& slot = models[key];
        if (auto m = slot.lock()) {
            // Nothing pending means the model is what the disk holds, unless
            // the file was changed by something outside this process: read
            // it again. Pending batch writes are newer than the disk: keep.
            if (!m->hasPending() && !m->inBatch())
                m->load();
            return m;
        }
        // The model keeps the file it was opened on: a relative name would
        // follow the working directory, which every confirmed file dialog
        // changes while stores stay open.
        std::error_code ec;
        fs::path absolute = fs::absolute(p, ec);
        auto m = std::make_shared<IniModel>(ec ? p : absolute);
        m->load();
        slot = m;
        return m;
    }
};

Registry& registry() {
    static Registry r;
    return r;
}

} // namespace

IniStore::IniStore(fs::path path) : m_path(std::move(path)), m_model(registry().open(m_path)) {}

IniStore::IniStore(Detached, std::string_view bytes) : m_model(std::make_shared<IniModel>(bytes)) {}

IniStore::~IniStore() {
    try {
        m_model->flush();
    } catch (...) {
        // A store released while a write fails: the error was (or will be)
        // raised by the write or the batch that made it.
    }
}

std::string IniStore::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    const IniModel::Section* s = m_model->find(section);
    if (!s)
        return std::string(def);
    const IniModel::Line* l = IniModel::findKey(*s, text::foldName(key));
    return l ? std::string(text::trim(l->value)) : std::string(def);
}

int IniStore::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const IniModel::Section* s = m_model->find(section);
    if (!s)
        return def;
    const IniModel::Line* l = IniModel::findKey(*s, text::foldName(key));
    return l ? text::StrToIntDef(text::trim(l->value), def) : def;
}

bool IniStore::KeyExists(std::string_view section, std::string_view key) const {
    const IniModel::Section* s = m_model->find(section);
    return s && IniModel::findKey(*s, text::foldName(key));
}

void IniStore::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    m_model->write(section, key, value);
}

void IniStore::WriteInteger(std::string_view section, std::string_view key, int value) {
    m_model->write(section, key, std::to_string(value));
}

void IniStore::DeleteKey(std::string_view section, std::string_view key) {
    m_model->deleteKey(section, key);
}

void IniStore::EraseSection(std::string_view section) {
    m_model->eraseSection(section);
}

bool IniStore::SectionExists(std::string_view section) const {
    const IniModel::Section* s = m_model->find(section);
    if (!s)
        return false;
    for (const auto& l : s->lines)
        if (l.isKey)
            return true;
    return false;
}

std::vector<std::string> IniStore::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    for (const auto& [k, v] : ReadSectionValues(section))
        keys.push_back(k);
    return keys;
}

std::vector<std::pair<std::string, std::string>>
IniStore::ReadSectionValues(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    const IniModel::Section* s = m_model->find(section);
    if (!s)
        return out;
    std::vector<const std::string*> seen;
    for (const auto& l : s->lines) {
        if (!l.isKey)
            continue;
        bool dup = false;
        for (const std::string* f : seen)
            dup |= *f == l.fold;
        if (dup)
            continue;
        seen.push_back(&l.fold);
        out.emplace_back(l.key, std::string(text::trim(l.value)));
    }
    return out;
}

std::vector<std::string> IniStore::ReadSections() const {
    std::vector<std::string> out;
    for (const auto& s : m_model->sections()) {
        // A repeated header is not a section of its own: every lookup ends
        // at the first one of that name.
        if (m_model->find(s.fold) != &s)
            continue;
        bool hasKey = false;
        for (const auto& l : s.lines)
            hasKey |= l.isKey;
        if (!hasKey)
            continue;
        std::string_view t = text::trim(s.header);
        size_t close = t.find(']');
        out.emplace_back(text::trim(t.substr(1, close - 1)));
    }
    return out;
}

void IniStore::UpdateFile() {
    m_model->flush();
}

std::string IniStore::text() const {
    return m_model->render();
}

IniStore::Batch::Batch(IniStore& store) : m_model(store.m_model) {
    m_model->beginBatch();
}

void IniStore::Batch::commit() {
    if (!m_open)
        return;
    m_open = false;
    m_model->endBatch();
}

IniStore::Batch::~Batch() {
    try {
        commit();
    } catch (...) {
        // Only reached while unwinding or when the caller skipped commit();
        // the pending writes stay in the model and the next write retries.
    }
}

bool copyFile(const fs::path& from, const fs::path& to) {
    if (auto m = registry().live(from)) {
        try {
            m->flush();
        } catch (const FileError&) {
            return false;
        }
    }
    std::error_code ec;
    if (!fs::is_regular_file(from, ec))
        return false;
    std::string data;
    try {
        data = readFile(from);
        persistAtomically(to, data);
    } catch (const FileError&) {
        return false;
    }
    if (auto m = registry().live(to))
        m->load();
    return true;
}

void writeFile(const fs::path& path, std::string_view bytes) {
    persistAtomically(path, bytes);
    if (auto m = registry().live(path))
        m->load();
}

void persistPendingWrites(const fs::path& path) {
    if (auto m = registry().live(path))
        m->flush();
}

void reloadStores(const fs::path& path) {
    if (auto m = registry().live(path))
        m->load();
}

} // namespace kvort
