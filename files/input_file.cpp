#include "files/input_file.h"

#include <algorithm>

#include "core/message_text.h"
#include "files/read_file.h"

namespace forstrix::files {

std::size_t json_depth(std::string_view text, std::size_t limit) {
    std::size_t depth = 0, deepest = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (c == '\\') ++i;
            else if (c == '"') in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
            if (deepest > limit) return deepest;
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

Outcome read_input_file(const std::filesystem::path& path, std::string_view heading, std::string& bytes) {
    ReadFailure failure;
    const ReadStatus read = read_small_file(path, kMaxInputFileSize, bytes, failure);
    failure.path = path;
    switch (read) {
        case ReadStatus::Ok: return {};
        case ReadStatus::NotFound:
            failure.reason = "Die Datei existiert nicht";
            return {Status::NotFound, std::string(heading), describe_read(failure)};
        case ReadStatus::TooLarge:
            failure.reason = "Die Datei ist zu groß (mehr als " + std::to_string(kMaxInputFileSize >> 20) + " MiB)";
            return {Status::Refused, std::string(heading), describe_read(failure)};
        case ReadStatus::Failed: break;
    }
    return {Status::Unreadable, std::string(heading), describe_read(failure)};
}

}  // namespace forstrix::files
