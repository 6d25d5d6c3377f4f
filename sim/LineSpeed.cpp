// Reads the line speed the program set on the terminal. The kernel keeps the speed as a
// number beside the flags, which covers rates set with either interface the program may use,
// so this file uses the kernel's own terminal structure and stays apart from <termios.h>.

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace vemosim {

int TerminalSpeed(int fd) {
    if (fd < 0) return 0;
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return 0;
    return static_cast<int>(tio.c_ospeed);
}

} // namespace vemosim
