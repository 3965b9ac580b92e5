#include "cli/errors.h"

#include "core/message_text.h"

namespace forstrix::cli {

namespace {

// Long enough for a message that names a value, a range and a path.
constexpr std::size_t kMaxMessageChars = 2000;

std::string one_line(std::string_view prefix, std::string_view message) {
    std::string line(message);
    for (char& c : line)
        if (c == '\n') c = ' ';
    return std::string(prefix) + printable(line, kMaxMessageChars) + "\n";
}

}  // namespace

int exit_status(const files::Outcome& failure) {
    switch (failure.status) {
        case files::Status::Ok: return kExitDone;
        case files::Status::Refused: return kExitRefused;
        case files::Status::NotFound:
        case files::Status::Unreadable:
        case files::Status::WriteFailed: break;
    }
    return kExitFailed;
}

std::string error_line(std::string_view message) { return one_line("Fehler: ", message); }

void print_error(std::FILE* err, std::string_view message) { std::fputs(error_line(message).c_str(), err); }

void print_error(std::FILE* err, const files::Outcome& failure) { print_error(err, failure.message()); }

void print_warning(std::FILE* err, std::string_view message) {
    std::fputs(one_line("Warnung: ", message).c_str(), err);
}

}  // namespace forstrix::cli
