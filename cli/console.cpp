#include "cli/console.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#endif

namespace forstrix::cli {

#ifdef _WIN32

namespace {

std::string utf8_of(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.pop_back();  // the terminating zero
    return out;
}

UINT previous_code_page = 0;

void restore_code_page() { SetConsoleOutputCP(previous_code_page); }

bool is_console(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    // The command line is the one main got; should it not be readable, the
    // ANSI arguments are still better than none.
    if (wide == nullptr || count != argc) {
        args.assign(argv, argv + argc);
    } else {
        for (int i = 0; i < count; ++i) args.push_back(utf8_of(wide[i]));
    }
    LocalFree(wide);
    return args;
}

void use_utf8_console() {
    if (!is_console(STD_OUTPUT_HANDLE) && !is_console(STD_ERROR_HANDLE)) return;
    previous_code_page = GetConsoleOutputCP();
    if (previous_code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) std::atexit(restore_code_page);
}

#else

std::vector<std::string> utf8_arguments(int argc, char** argv) { return {argv, argv + argc}; }

void use_utf8_console() {}

#endif

}  // namespace forstrix::cli
