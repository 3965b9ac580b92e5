// The Windows half of the writer's system calls (files/atomic_io_posix.cpp
// is the POSIX one). Files are opened with CreateFileW and handed to the C
// runtime as descriptors, so that the writer sees one kind of handle on
// every system; the calls set errno from the Windows error, so that the
// messages name the same reasons.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <io.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>

#include "files/atomic_write_io.h"

namespace forstrix::files {

namespace fs = std::filesystem;

namespace {

// -1, with errno set from GetLastError().
int failed() {
    switch (GetLastError()) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
        case ERROR_ACCESS_DENIED: errno = EACCES; break;
        case ERROR_WRITE_PROTECT: errno = EROFS; break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: errno = EBUSY; break;
        case ERROR_NOT_SAME_DEVICE: errno = EXDEV; break;
        case ERROR_FILENAME_EXCED_RANGE: errno = ENAMETOOLONG; break;
        case ERROR_TOO_MANY_OPEN_FILES: errno = EMFILE; break;
        default: errno = EIO; break;
    }
    return -1;
}

// A descriptor of the C runtime that owns `handle` from now on, or -1.
int descriptor(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) return failed();
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), 0);
    if (fd < 0) {
        CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// WriteFile and ReadFile move at most a DWORD at once.
DWORD clamped(std::size_t size) { return size > 0x40000000u ? DWORD{0x40000000u} : static_cast<DWORD>(size); }

}  // namespace

int SystemIo::create_exclusive(const fs::path& path) {
    // No sharing: nobody reads a half-written file by its temporary name.
    return descriptor(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

int SystemIo::open_stream(const fs::path& path) {
    return descriptor(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

int SystemIo::create_spool() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return failed();
    std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 64; ++attempt) {
        const fs::path name = fs::path(folder) / (L"forstrix-" + std::to_wstring(rng()) + L".tmp");
        // Deleted by the system when the last handle closes, also after a crash.
        const HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return descriptor(h);
    }
    errno = EEXIST;
    return -1;
}

long SystemIo::write(int fd, const char* data, std::size_t size) {
    DWORD written = 0;
    if (!WriteFile(handle_of(fd), data, clamped(size), &written, nullptr)) return failed();
    return static_cast<long>(written);
}

long SystemIo::read_at(int fd, char* data, std::size_t size, std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(handle_of(fd), data, clamped(size), &got, &at))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : failed();
    return static_cast<long>(got);
}

int SystemIo::sync(int fd) { return FlushFileBuffers(handle_of(fd)) ? 0 : failed(); }

int SystemIo::close(int fd) { return _close(fd) == 0 ? 0 : -1; }

int SystemIo::rename(const fs::path& from, const fs::path& to) {
    // WRITE_THROUGH returns only once the new name is on the disk.
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : failed();
}

int SystemIo::remove(const fs::path& path) { return DeleteFileW(path.c_str()) ? 0 : failed(); }

// No permission bits to carry over: a read-only file is refused before it
// is replaced, and the rename is durable by itself.
void SystemIo::adopt_permissions(int, const fs::path&) {}
void SystemIo::sync_folder(const fs::path&) {}

std::optional<std::string> write_refusal(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return std::string(kWriteProtected);
    return std::nullopt;
}

}  // namespace forstrix::files
