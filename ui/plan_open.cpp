#include "ui/plan_open.h"

#include <QFileInfo>

#include "files/plan_table.h"
#include "files/table_source.h"
#include "ui/column_mapping_dialog.h"
#include "ui/file_path.h"
#include "ui/mapping_io.h"
#include "ui/messages.h"
#include "ui/plan_progress.h"
#include "ui/plan_window.h"

namespace forstrix::ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

bool read(QWidget* parent, const QString& path, const columns::Mapping* mapping, files::PlanTable& table,
          files::Outcome& outcome) {
    return run_with_progress(parent, QStringLiteral("Hiebsplan wird gelesen ..."),
                             [&](const files::Progress& progress) {
                                 // Refused rows stay in the plan, marked, rather than refuse the table.
                                 outcome = table.load(fs_path(path), {}, mapping, true, progress);
                             });
}

// The preview of a table whose header was refused as it stands: its cells
// as the format's reader gives them.
std::optional<TablePreview> raw_preview(QWidget* parent, const QString& path) {
    files::table::Source source;
    files::Outcome outcome;
    const std::filesystem::path file = fs_path(path);
    const std::optional<files::TableFormat> format = files::table_format(file);
    if (!format) return std::nullopt;
    const bool done = run_with_progress(parent, QStringLiteral("Hiebsplan wird gelesen ..."),
                                        [&](const files::Progress& progress) {
                                            outcome = *format == files::TableFormat::Csv
                                                          ? files::table::read_csv(file, source, progress)
                                                          : files::table::read_gis(file, *format, {}, source, progress);
                                        });
    if (!done || !outcome.ok()) return std::nullopt;
    return make_preview(QFileInfo(path).fileName(), source.names, source.rows,
                        [&](std::size_t r, std::size_t k) { return source.cell(r, k); });
}

}  // namespace

QString plan_file_filter() {
    return QStringLiteral("Hiebspläne (*.csv *.ods *.xlsx *.gpkg *.shp *.geojson *.fgb)");
}

bool is_plan_file(const QString& path) { return files::table_format(fs_path(path)).has_value(); }

bool read_plan(State& base, const QString& path, bool ask, columns::Mapping& mapping, files::PlanTable& table,
               QWidget* parent) {
    const std::optional<columns::Mapping> remembered = remembered_mapping(path);
    if (remembered) mapping = *remembered;
    files::Outcome loaded;
    if (!read(parent, path, &mapping, table, loaded)) return false;

    // The planner is asked once what the columns mean; the answer is kept
    // for the file, and asked again only when it no longer fits (or when
    // the planner asks for the dialog).
    if (ask || !loaded.ok() || (!remembered && needs_mapping(table.header()))) {
        std::optional<TablePreview> preview;
        if (loaded.ok())
            preview = make_preview(QFileInfo(path).fileName(), table.column_names(), table.size(),
                                   [&](std::size_t r, std::size_t k) { return table.cell(r, k); });
        else
            preview = raw_preview(parent, path);
        if (!preview) {
            message(parent, QStringLiteral("Fehler"), naming_file(qs(loaded.message()), path), MsgIcon::Error);
            return false;
        }
        ColumnMappingDialog dialog(std::move(*preview), mapping, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        mapping = dialog.mapping();
        if (!read(parent, path, &mapping, table, loaded)) return false;
        if (!loaded.ok()) {
            message(parent, QStringLiteral("Fehler"), naming_file(qs(loaded.message()), path), MsgIcon::Error);
            return false;
        }
    }
    remember_mapping(path, mapping);

    bool computed = false;
    return run_with_progress(parent, QStringLiteral("Bestände werden berechnet ..."),
                             [&](const files::Progress& progress) { computed = table.compute(base, {}, 0, progress); }) &&
           computed;
}

PlanWindow* open_plan(State& base, const QString& path, QWidget* parent) {
    columns::Mapping mapping;
    files::PlanTable table;
    if (!read_plan(base, path, false, mapping, table, parent)) return nullptr;
    auto* window = new PlanWindow(base, std::move(table), path, std::move(mapping), parent);
    window->show();
    return window;
}

}  // namespace forstrix::ui
