// Rates outside the POSIX speed table (14400, 56000, 128000, 256000) go
// through the Linux termios2 interface. Its header clashes with <termios.h>,
// hence a file of its own.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace kvort::detail {

bool setCustomBaud(int fd, int baud) {
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_ispeed = static_cast<speed_t>(baud);
    tio.c_ospeed = static_cast<speed_t>(baud);
    return ::ioctl(fd, TCSETS2, &tio) == 0;
}

} // namespace kvort::detail
