#include "SafeWrite.h"

#include "Messages.h"
#include "text/Error.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kvort {

namespace {

constexpr std::string_view kTempMark = ".kvtmp-";

[[noreturn]] void unableToWrite(const fs::path& p, int err) {
    throw FileError(msg::unableToWrite(p, err));
}

fs::path folderOf(const fs::path& file) {
    fs::path dir = file.parent_path();
    return dir.empty() ? fs::path(".") : dir;
}

fs::path tempNameFor(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    return folderOf(target) / ("." + target.filename().string() + std::string(kTempMark) +
                               std::to_string(::getpid()) + "-" + std::to_string(counter++));
}

bool writeAll(int fd, std::string_view bytes, off_t at) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, at + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool processRuns(long pid) {
    if (pid <= 0)
        return true; // not a name we made: leave it
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

fs::path writeTarget(const fs::path& path) {
    fs::path p = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec)
            return p;
        fs::path link = fs::read_symlink(p, ec);
        if (ec)
            return p;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    unableToWrite(path, ELOOP);
}

PreparedFile::PreparedFile(fs::path path, std::string bytes)
    : m_path(std::move(path)), m_target(writeTarget(m_path)), m_bytes(std::move(bytes)) {
    struct stat st {};
    const bool existed = ::stat(m_target.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode))
        unableToWrite(m_path, EISDIR);
    // A write-protected file stays protected: renaming over it would
    // succeed where writing it is refused. A file nobody may write (mode
    // 0444) is refused to the superuser as well, as an editor refuses it.
    if (existed && ::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0)
        unableToWrite(m_path, errno);
    if (existed && (st.st_mode & 0222) == 0)
        unableToWrite(m_path, EACCES);
    removeStaleTemporaries(m_target);

    fs::path tmp = tempNameFor(m_target);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if ((errno == EACCES || errno == EPERM) && existed)
            return; // the folder takes no new file: commit() writes in place
        unableToWrite(m_path, errno);
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        unableToWrite(m_path, err);
    };
    if (!writeAll(fd, m_bytes, 0))
        fail(errno);
    if (existed) {
        // Owner first: changing it clears the set-id bits the mode restores.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
        (void)::fchmod(fd, st.st_mode & 07777);
    }
    if (::fdatasync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        unableToWrite(m_path, err);
    }
    m_temp = std::move(tmp);
}

PreparedFile::PreparedFile(PreparedFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_target(std::move(other.m_target)),
      m_temp(std::move(other.m_temp)), m_bytes(std::move(other.m_bytes)), m_done(other.m_done) {
    other.m_temp.clear();
    other.m_done = true;
}

PreparedFile::~PreparedFile() {
    if (!m_done && !m_temp.empty())
        ::unlink(m_temp.c_str());
}

void PreparedFile::commit(FolderSync sync) {
    if (m_done)
        return;
    m_done = true;
    if (m_temp.empty()) {
        writeInPlace();
        return;
    }
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        int err = errno;
        ::unlink(m_temp.c_str());
        m_temp.clear();
        // A sticky folder may refuse to replace a file it lets us write.
        if (err == EACCES || err == EPERM) {
            writeInPlace();
            return;
        }
        unableToWrite(m_path, err);
    }
    m_temp.clear();
    if (sync == FolderSync::Now)
        syncFolder(folderOf(m_target));
}

// Without a temporary file the write cannot be all or nothing; it comes as
// close as it can: the room is reserved before the first byte changes (a
// full disk or the file-size limit refuses it there), and a write that
// still fails half-way puts the old content back.
void PreparedFile::writeInPlace() {
    bool haveOld = true;
    int fd = ::open(m_target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) {
        haveOld = false; // write-only: nothing to put back
        fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC);
    }
    if (fd < 0)
        unableToWrite(m_path, errno);
    std::string old;
    char buf[65536];
    for (off_t at = 0; haveOld;) {
        ssize_t n = ::pread(fd, buf, sizeof buf, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            haveOld = n == 0;
            break;
        }
        old.append(buf, static_cast<size_t>(n));
        at += n;
    }
    auto fail = [&](int err, bool changed) {
        if (changed && haveOld && writeAll(fd, old, 0))
            (void)::ftruncate(fd, static_cast<off_t>(old.size()));
        ::close(fd);
        unableToWrite(m_path, err);
    };
    if (!m_bytes.empty()) {
        int r = ::posix_fallocate(fd, 0, static_cast<off_t>(m_bytes.size()));
        if (r == ENOSPC || r == EFBIG || r == EDQUOT)
            fail(r, false);
    }
    if (!writeAll(fd, m_bytes, 0))
        fail(errno, true);
    if (::ftruncate(fd, static_cast<off_t>(m_bytes.size())) != 0)
        fail(errno, true);
    if (::fdatasync(fd) != 0)
        fail(errno, false);
    if (::close(fd) != 0)
        unableToWrite(m_path, errno);
}

void replaceFile(const fs::path& path, std::string_view bytes) {
    PreparedFile file(path, std::string(bytes));
    file.commit();
}

void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

void removeStaleTemporaries(const fs::path& file) {
    const std::string prefix = "." + file.filename().string() + std::string(kTempMark);
    std::error_code ec;
    fs::directory_iterator it(folderOf(file), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        // ".NAME.kvtmp-<pid>-<n>": only a writer that no longer runs has
        // given up its file.
        const std::string rest = name.substr(prefix.size());
        const size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || rest.find_first_not_of("0123456789") != dash)
            continue;
        const long pid = std::strtol(rest.substr(0, dash).c_str(), nullptr, 10);
        if (pid == ::getpid() || processRuns(pid))
            continue;
        std::error_code rm;
        fs::remove(it->path(), rm);
    }
}

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace kvort
