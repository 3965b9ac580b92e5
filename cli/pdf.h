// The result sheet as a PDF from the command line: Qt's drawing without a
// display and without its start-up chatter on the terminal.
#pragma once

#include <string>

#include "core/state.h"
#include "draw/sheet.h"

namespace forstrix::cli {

// Writes the sheet of the computed state `s` to `path` (atomically), with
// what `extras` gives besides (the stand's name, reasons, further lines).
// Starts Qt on the offscreen platform when no application runs yet; Qt's
// own warnings and notes are dropped, its errors go to standard error.
files::Outcome write_pdf(const std::string& path, const State& s, const draw::SheetExtras& extras);

}  // namespace forstrix::cli
