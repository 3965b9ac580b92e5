// Replacing a file without ever losing the previous one: the bytes go to a
// temporary file in the same folder, every write, the flush and the close
// are checked, and only then is it renamed over the old file.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace forstrix::files {

// true on success; on failure the target is untouched and no temporary file remains.
//
// The temporary file is ".<name>.<random>.tmp" beside the target. A target
// that is a symbolic link is followed, so the file it points to is replaced
// and the link stays. A target that exists but is not a regular file (a
// folder, a device such as /dev/full, a pipe) is never replaced: the call
// fails without creating anything. On POSIX systems the new file takes the
// permission bits of the file it replaces, and the data and the folder are
// synced before success is reported.
bool atomic_write(const std::filesystem::path& path, std::string_view bytes);

// The same for a text too large to hold at once: `next` returns the next
// block of bytes (valid until it is called again) and an empty view at the
// end. A table of a million rows is written with the memory of one block.
using BlockSource = std::function<std::string_view()>;
bool atomic_write_blocks(const std::filesystem::path& path, const BlockSource& next);

}  // namespace forstrix::files
