#include "files/std_streams.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#else
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace forstrix::files {

void ensure_standard_streams() {
#ifdef _WIN32
    // Text mode would write every LF of a report into a pipe as CR LF (and
    // its CR LF as CR CR LF), and read a Ctrl-Z in a table as its end. The
    // messages keep their LF as well: a console shows it as a line end.
    (void)_setmode(_fileno(stdin), _O_BINARY);
    (void)_setmode(_fileno(stdout), _O_BINARY);
    (void)_setmode(_fileno(stderr), _O_BINARY);
#else
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() takes the lowest free descriptor, which is this one.
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
#endif
}

bool is_terminal(std::FILE* stream) {
#ifdef _WIN32
    // Not _isatty: that holds for every character device, NUL as well.
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}

}  // namespace forstrix::files
