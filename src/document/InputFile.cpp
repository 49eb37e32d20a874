#include "InputFile.h"

#include "Messages.h"
#include "text/Error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvort {

namespace {

class InputFd {
  public:
    // O_NONBLOCK: opening a FIFO that has no writer returns at once (and is
    // then refused as not a regular file) instead of waiting for one.
    explicit InputFd(const std::filesystem::path& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)) {
        if (m_fd < 0)
            throw FileError(msg::unableToRead(path, errno));
        struct stat st {};
        if (::fstat(m_fd, &st) != 0)
            throw FileError(msg::unableToRead(path, errno));
        if (!S_ISREG(st.st_mode))
            throw FileError(msg::notARegularFile(path, S_ISDIR(st.st_mode)));
        m_size = static_cast<std::uintmax_t>(st.st_size);
    }
    ~InputFd() { ::close(m_fd); }
    InputFd(const InputFd&) = delete;
    InputFd& operator=(const InputFd&) = delete;

    // The size the file has now; the reads stay bounded whatever it becomes.
    std::uintmax_t size() const { return m_size; }

    // Up to `count` bytes; fewer only at the end of the file.
    std::string read(const std::filesystem::path& path, std::size_t count) {
        std::string out;
        char buf[65536];
        while (out.size() < count) {
            const std::size_t want = std::min(sizeof buf, count - out.size());
            const ssize_t n = ::read(m_fd, buf, want);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw FileError(msg::unableToRead(path, errno));
            if (n == 0)
                break;
            out.append(buf, static_cast<std::size_t>(n));
        }
        return out;
    }

  private:
    int m_fd;
    std::uintmax_t m_size = 0;
};

} // namespace

InputPrefix readInputPrefix(const std::filesystem::path& path, std::size_t size) {
    InputFd fd(path);
    InputPrefix prefix;
    prefix.bytes = fd.read(path, size + 1);
    if (prefix.bytes.size() > size) {
        prefix.bytes.resize(size);
        prefix.longer = true;
    }
    return prefix;
}

std::string readFile(const std::filesystem::path& path, std::uintmax_t limit) {
    InputFd fd(path);
    if (fd.size() > limit)
        throw FileError(msg::fileTooLarge(path, limit));
    std::string bytes = fd.read(path, static_cast<std::size_t>(limit) + 1);
    if (bytes.size() > limit)
        throw FileError(msg::fileTooLarge(path, limit));
    return bytes;
}

} // namespace kvort
