// Replacing a file without ever losing the previous one: the bytes go to a
// temporary file in the same folder, every write, the flush and the close
// are checked, and only then is it renamed over the old file.
#pragma once

#include <filesystem>
#include <string_view>

namespace forstrix::files {

// true on success; on failure the target is untouched and no temporary file remains.
bool atomic_write(const std::filesystem::path& path, std::string_view bytes);

}  // namespace forstrix::files
