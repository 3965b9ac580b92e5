// File names between Qt and the files library. A QString names a file the
// way the user typed or chose it; the files library opens a
// std::filesystem::path. Every file name the user chooses passes through
// this one conversion, so that a name with "ä" or a home folder
// "/home/jürgen" reaches the same file whichever dialog saves it.
#pragma once

#include <filesystem>

#include <QString>

namespace forstrix::ui {

// On Windows from the UTF-16 name; elsewhere the bytes of the local 8-bit
// encoding of the file system, as QFile itself opens the file. Never throws.
std::filesystem::path fs_path(const QString& name);

}  // namespace forstrix::ui
