// The mapping of a table's columns as a file of its own ("Zuordnung
// speichern...", "Zuordnung laden..."), and the mapping Forstrix remembers
// for each table it opened, so that the next opening reads it the same way.
#pragma once

#include <optional>

#include <QString>

#include "core/columns.h"

class QWidget;

namespace forstrix::ui {

// Asks for a mapping file and reads it into `mapping`; false when the user
// cancelled or the file was refused (then said in a message).
bool load_mapping_file(QWidget* parent, columns::Mapping& mapping);
// Asks for a file name and writes `mapping` there; false when cancelled or refused.
bool save_mapping_file(QWidget* parent, const columns::Mapping& mapping);

// The mapping last used for the table at `path` (by its absolute path);
// nullopt when the table was never opened with one (an empty mapping is
// the planner's decision to carry every other column).
std::optional<columns::Mapping> remembered_mapping(const QString& path);
void remember_mapping(const QString& path, const columns::Mapping& mapping);

}  // namespace forstrix::ui
