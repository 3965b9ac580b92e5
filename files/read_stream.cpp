#include "files/read_stream.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace forstrix::files {

ReadStream::~ReadStream() {
#ifdef _WIN32
    if (owned_) (void)_close(fd_);
#else
    if (owned_) (void)::close(fd_);
#endif
}

int ReadStream::open(const std::filesystem::path& path) {
#ifdef _WIN32
    if (_wsopen_s(&fd_, path.c_str(), _O_RDONLY | _O_BINARY, _SH_DENYNO, 0) != 0) {
        fd_ = -1;
        // A folder is refused with "no permission"; it opens elsewhere, and
        // the caller asks is_folder() to say what it is.
        std::error_code ec;
        if ((folder_ = std::filesystem::is_directory(path, ec))) return 0;
    }
#else
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    owned_ = fd_ >= 0;
    return fd_ >= 0 ? 0 : errno;
}

void ReadStream::open_standard_input() {
#ifdef _WIN32
    (void)_setmode(0, _O_BINARY);  // no CR LF translation: the rows keep their bytes
#endif
    fd_ = 0;
    owned_ = false;
}

bool ReadStream::is_folder() const {
#ifdef _WIN32
    struct _stat64 st {};
    return folder_ || (_fstat64(fd_, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFDIR);
#else
    struct stat st {};
    return ::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

long ReadStream::read(char* data, std::size_t size) {
#ifdef _WIN32
    return _read(fd_, data, size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size));
#else
    for (;;) {
        const ssize_t n = ::read(fd_, data, size);
        if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
#endif
}

}  // namespace forstrix::files
