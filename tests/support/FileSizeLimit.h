#pragma once
// Makes every write past `bytes` fail with EFBIG (root included) while the
// guard lives: a disk that fills up half-way through a save. The old limit
// and the SIGXFSZ disposition come back in the destructor, so a failed
// assertion in between cannot leave the rest of the run crippled.
#include <csignal>
#include <sys/resource.h>

namespace kvort::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    struct rlimit m_old {};
    void (*m_oldHandler)(int) = SIG_DFL;
};

} // namespace kvort::test
