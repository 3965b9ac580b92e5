// A file written piece by piece that its readers see whole or not at all.
//
// A regular file (also one a symbolic link names) gets the bytes under a
// temporary name beside it, ".<name>.<random>.tmp", which commit() renames
// over it; the new file takes the permission bits of the one it replaces.
// A named pipe or a character device (/dev/null, a terminal, /dev/stdout)
// cannot be replaced: it is opened by its name, and the bytes are held (in
// memory, beyond a MiB in a nameless temporary file) until commit() passes
// them on. Standard output is handled alike. Either way a run that fails
// half-way leaves the target as it was and its reader sees nothing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/atomic_write.h"
#include "files/atomic_write_io.h"

namespace forstrix::files {

class AtomicFile {
public:
    // What had failed when failure() was set.
    enum class Step {
        None,
        Target,  // the target is refused (resolve_write_target)
        Open,    // the pipe or device could not be opened
        Create,  // the temporary file could not be created
        Write,   // writing, flushing, closing or renaming failed
    };
    // Synced: the data and the folder reach the disk before commit() returns
    // (a user's own files). Unsynced: the rename alone, for results that can
    // always be computed again, where forcing a gigabyte to the disk would
    // cost more than computing it.
    enum class Durability { Synced, Unsynced };

    explicit AtomicFile(WriteIo& io = system_io(), Durability durability = Durability::Synced);
    ~AtomicFile();  // discards what was not committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Resolves and opens the target; false with failure().
    bool open(const std::filesystem::path& path);
    // Standard output (or any stream): the bytes reach it at commit().
    bool open(std::FILE* stream);
    // For a library that creates its file itself under a name it is given
    // (a GeoPackage, a spreadsheet, a Shapefile): resolves the target (a
    // regular file; a pipe or device is refused) and reserves a temporary
    // name beside it. The library writes temp_path(), which keeps the
    // target's extension since libraries choose the format by it, and
    // commit() renames it over the target. `parts` are the extensions of
    // files written beside it under the same stem (a Shapefile's ".shx",
    // ".dbf", ".prj", ".cpg"): each is renamed over the target's own part
    // before the main file, which comes last; a part that the target had
    // and the new file lacks is removed, so no stale part describes it.
    // write() is not used in this mode.
    bool open_named(const std::filesystem::path& path, std::vector<std::string> parts = {});
    const std::filesystem::path& temp_path() const { return named_; }
    // false once anything has failed; the rest is then thrown away.
    bool write(std::string_view bytes);
    // Completes the target; false (and nothing replaced) when any step failed.
    bool commit();
    // Throws everything away; the target stays as it was.
    void discard();

    const WriteFailure& failure() const { return failure_; }
    Step failed_step() const { return step_; }
    // Whether the target is a regular file to replace (not a pipe, a device
    // or a stream); kept after a failure, for its message.
    bool replaces_file() const { return replaces_file_; }

private:
    void start();
    bool fail(Step step, int error_number);
    bool fail(Step step, std::string reason, const std::filesystem::path& where);
    bool pass_on(std::string_view bytes);
    bool begin(const std::filesystem::path& path, WriteTarget& target);
    bool reserve_temp(const std::filesystem::path& base);
    bool commit_named();
    std::filesystem::path part_of(const std::filesystem::path& main, const std::string& extension) const;

    WriteIo& io_;
    Durability durability_;
    Step step_ = Step::None;
    WriteFailure failure_;
    std::filesystem::path target_;  // the resolved target
    std::filesystem::path temp_;    // while a regular file is written; in the named mode the reservation
    std::filesystem::path named_;   // the named mode: the library's temporary file
    std::vector<std::string> parts_;
    bool replaces_file_ = false;
    int fd_ = -1;                   // the temporary file, or the opened pipe or device
    std::FILE* stream_ = nullptr;   // standard output
    bool streaming_ = false;        // the bytes are held until commit()
    std::string held_;              // held bytes not yet in the spool
    int spool_ = -1;
    std::uint64_t spooled_ = 0;
};

}  // namespace forstrix::files
