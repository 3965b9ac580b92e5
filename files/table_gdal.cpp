// The planners' other tables through GDAL: spreadsheets (ODS, XLSX) and
// GIS layers (GeoPackage, Shapefile, GeoJSON, FlatGeobuf). A layer is read
// with its field types, feature ids, geometries and reference system, and
// written back with all of them, every source column first.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <mutex>
#include <string>

#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include "core/message_text.h"
#include "core/numtext.h"
#include "files/atomic_file.h"
#include "files/path_text.h"
#include "files/table_source.h"

namespace forstrix::files::table {

namespace fs = std::filesystem;

struct SrsRelease {
    void operator()(OGRSpatialReference* s) const {
        if (s != nullptr) s->Release();
    }
};

struct GisField {
    OGRFieldType type = OFTString;
    OGRFieldSubType subtype = OFSTNone;
    int width = 0, precision = 0;
};

struct GisLayer {
    std::vector<GisField> fields;  // one per source column
    bool has_geometry = false;
    OGRwkbGeometryType geometry_type = wkbNone;
    std::string geometry_name;
    std::unique_ptr<OGRSpatialReference, SrsRelease> srs;
    std::vector<OGRGeometryUniquePtr> geometries;  // one per row; null for none
};

namespace {

const char* driver_name(TableFormat f) {
    switch (f) {
    case TableFormat::Ods: return "ODS";
    case TableFormat::Xlsx: return "XLSX";
    case TableFormat::GeoPackage: return "GPKG";
    case TableFormat::Shapefile: return "ESRI Shapefile";
    case TableFormat::GeoJson: return "GeoJSON";
    case TableFormat::FlatGeobuf: return "FlatGeobuf";
    case TableFormat::Csv: break;
    }
    return "CSV";
}

bool spreadsheet(TableFormat f) { return f == TableFormat::Ods || f == TableFormat::Xlsx; }

void register_drivers() {
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}

// GDAL's messages of one read or write, kept instead of printed: the
// failure's detail names the first one.
class Messages {
public:
    Messages() { CPLPushErrorHandlerEx(&Messages::handle, this); }
    ~Messages() { CPLPopErrorHandler(); }
    Messages(const Messages&) = delete;
    Messages& operator=(const Messages&) = delete;
    bool failed() const { return !first_.empty(); }
    std::string detail() const { return first_.empty() ? std::string() : " (GDAL: " + printable(first_, 300) + ")"; }

private:
    static void CPL_STDCALL handle(CPLErr level, CPLErrorNum, const char* text) {
        auto* self = static_cast<Messages*>(CPLGetErrorHandlerUserData());
        if (level >= CE_Failure && self->first_.empty()) self->first_ = text != nullptr && *text ? text : "?";
    }
    std::string first_;
};

std::string shown(const fs::path& path) { return "\"" + printable(utf8_of(path), 240) + "\""; }

bool blank(const char* s) {
    for (; *s; ++s)
        if (*s != ' ' && *s != '\t') return false;
    return true;
}

// A field's value as text: whole numbers as they are, decimals with the
// fewest digits that read back to the same double, the rest as GDAL gives it.
void cell_text(OGRFeature& f, int i, OGRFieldType type, std::optional<std::string>& out) {
    char number[kMaxFixedChars + 8];
    switch (type) {
    case OFTInteger:
    case OFTInteger64:
        out.emplace(number, std::to_chars(number, number + 24, static_cast<long long>(f.GetFieldAsInteger64(i))).ptr);
        return;
    case OFTReal: out.emplace(number, write_fixed_shortest(number, f.GetFieldAsDouble(i), '.')); return;
    default: out.emplace(f.GetFieldAsString(i)); return;
    }
}

}  // namespace

Outcome gdal_read(const fs::path& path, TableFormat format, std::string_view layer_name, Source& out,
                  const Progress& progress) {
    register_drivers();
    std::error_code ec;
    if (!fs::exists(path, ec)) return {Status::NotFound, kTableNotRead, "Die Datei existiert nicht: " + shown(path)};
    if (!fs::is_regular_file(path, ec))
        return {Status::Unreadable, kTableNotRead, "Keine gewöhnliche Datei: " + shown(path)};
    Messages messages;
    const char* const drivers[] = {driver_name(format), nullptr};
    // The first row of a sheet always names the columns, whatever its cells hold.
    const char* const sheet_options[] = {"HEADERS=FORCE", nullptr};
    GDALDatasetUniquePtr ds(GDALDataset::Open(utf8_of(path).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers,
                                              spreadsheet(format) ? sheet_options : nullptr, nullptr));
    if (!ds)
        return {Status::Unreadable, kTableNotRead,
                "Keine lesbare Datei im Format " + std::string(format_name(format)) + ": " + shown(path) +
                    messages.detail()};
    OGRLayer* layer = layer_name.empty() ? ds->GetLayer(0) : ds->GetLayerByName(std::string(layer_name).c_str());
    if (layer == nullptr) {
        std::string names;
        for (int i = 0; i < ds->GetLayerCount(); ++i)
            names += (i > 0 ? ", " : "") + std::string("„") + ds->GetLayer(i)->GetName() + "“";
        if (layer_name.empty()) return {Status::Refused, kTableNotRead, "Die Datei enthält keine Ebene: " + shown(path)};
        return {Status::Refused, kTableNotRead,
                "Die Datei enthält keine Ebene „" + printable(layer_name, 80) + "“; vorhanden: " + names + "."};
    }
    out.format = format;
    out.layer = layer->GetName();
    auto gis = std::make_shared<GisLayer>();
    OGRFeatureDefn* defn = layer->GetLayerDefn();
    const int fields = defn->GetFieldCount();
    for (int i = 0; i < fields; ++i) {
        const OGRFieldDefn* fd = defn->GetFieldDefn(i);
        out.add_column(fd->GetNameRef());
        gis->fields.push_back({fd->GetType(), fd->GetSubType(), fd->GetWidth(), fd->GetPrecision()});
    }
    if (defn->GetGeomFieldCount() > 0 && !spreadsheet(format)) {
        const OGRGeomFieldDefn* gd = defn->GetGeomFieldDefn(0);
        gis->has_geometry = true;
        gis->geometry_type = gd->GetType();
        gis->geometry_name = gd->GetNameRef();
        if (const OGRSpatialReference* srs = gd->GetSpatialRef()) gis->srs.reset(srs->Clone());
    }
    const GIntBig expected = layer->GetFeatureCount(FALSE);
    layer->ResetReading();
    std::size_t position = 0;
    std::optional<std::string> cell;
    for (OGRFeatureUniquePtr f(layer->GetNextFeature()); f; f.reset(layer->GetNextFeature())) {
        ++position;
        // A sheet's rows that hold nothing are filler, not stands.
        if (spreadsheet(format)) {
            bool empty = true;
            for (int i = 0; i < fields && empty; ++i)
                empty = !f->IsFieldSetAndNotNull(i) || blank(f->GetFieldAsString(i));
            if (empty) continue;
        }
        for (int i = 0; i < fields; ++i) {
            cell.reset();
            if (f->IsFieldSetAndNotNull(i)) cell_text(*f, i, gis->fields[i].type, cell);
            if (cell && spreadsheet(format) && blank(cell->c_str())) cell.reset();
            if (!out.cells.column(static_cast<std::size_t>(i)).push(cell))
                return {Status::Refused, kTableNotRead,
                        "Die Spalte „" + printable(out.names[static_cast<std::size_t>(i)], 80) +
                            "“ hält mehr als 4 GiB Text."};
        }
        out.position.push_back(position);
        if (!spreadsheet(format)) out.fids.push_back(static_cast<long long>(f->GetFID()));
        if (gis->has_geometry) gis->geometries.emplace_back(f->StealGeometry(0));
        ++out.rows;
        if (progress && expected > 0 && position % 4096 == 0 && !progress(double(position) / double(expected)))
            return {Status::Refused, kTableNotRead, "Abgebrochen."};
    }
    if (messages.failed())
        return {Status::Unreadable, kTableNotRead, "Fehler beim Lesen von " + shown(path) + messages.detail()};
    out.gis = std::move(gis);
    return {};
}

namespace {

OGRFieldType field_type(const OutColumn& c, const Source& source, GisField& carried) {
    switch (c.kind) {
    case OutColumn::Integer: return OFTInteger;
    case OutColumn::Real: return OFTReal;
    case OutColumn::Text: return OFTString;
    case OutColumn::Carried: break;
    }
    // A column of a CSV table is text; a layer's keeps its type; a value
    // the planner added to a layer is a number.
    if (source.gis && c.source < source.gis->fields.size()) carried = source.gis->fields[c.source];
    else if (source.gis) carried.type = OFTReal;
    return carried.type;
}

std::string lower(std::string_view s) {
    std::string l(s);
    for (char& ch : l) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return l;
}

}  // namespace

Outcome gdal_write(const fs::path& path, TableFormat format, const Source& source, const Rows& rows,
                   const Progress& progress) {
    register_drivers();
    auto refused = [](std::string detail) { return Outcome{Status::Refused, kTableNotWritten, std::move(detail)}; };
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driver_name(format));
    if (driver == nullptr)
        return refused("Das Format " + std::string(format_name(format)) + " fehlt in dieser GDAL-Bibliothek.");
    const bool geometry = source.gis && source.gis->has_geometry && !spreadsheet(format);
    // Neither format keeps a table without geometries readable.
    if ((format == TableFormat::Shapefile || format == TableFormat::FlatGeobuf) && !geometry)
        return refused("Eine " + std::string(format_name(format)) +
                       "-Datei braucht Geometrien, die Tabelle hat keine; bitte als .gpkg, .geojson, .ods, .xlsx "
                       "oder .csv speichern.");
    // The names as written; a database or a sheet does not tell "Kosten"
    // from "kosten", so neither may two columns here.
    const std::vector<OutColumn>& columns = rows.columns();
    std::vector<std::string> names;
    for (const OutColumn& c : columns) {
        std::string name = c.name;
        if (format == TableFormat::Shapefile && name.size() > 10) {
            name = std::string(columns::short_name(name));
            if (name.size() > 10)
                return refused("Spalte „" + printable(c.name, 80) +
                               "“: Eine Shapefile-Datei erlaubt Spaltennamen von höchstens 10 Zeichen; bitte die "
                               "Spalte umbenennen oder ein anderes Format wählen.");
        }
        for (const std::string& before : names)
            if (lower(before) == lower(name))
                return refused("Zwei Spalten hießen „" + printable(name, 80) + "“; bitte eine umbenennen.");
        names.push_back(std::move(name));
    }

    AtomicFile file(system_io(), AtomicFile::Durability::Unsynced);
    const std::vector<std::string> parts =
        format == TableFormat::Shapefile ? std::vector<std::string>{".shx", ".dbf", ".prj", ".cpg"}
                                         : std::vector<std::string>{};
    if (!file.open_named(path, parts)) return {Status::WriteFailed, kTableNotWritten, describe(file.failure())};
    Messages messages;
    auto failed = [&](std::string what) {
        file.discard();
        return Outcome{Status::WriteFailed, kTableNotWritten, what + ": " + shown(path) + messages.detail()};
    };
    GDALDatasetUniquePtr ds(driver->Create(utf8_of(file.temp_path()).c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!ds) return failed("Die Datei kann nicht angelegt werden");
    CPLStringList options;
    // Umlauts stay umlauts in every program; rows stay in their order.
    if (format == TableFormat::Shapefile) options.SetNameValue("ENCODING", "UTF-8");
    if (format == TableFormat::FlatGeobuf) options.SetNameValue("SPATIAL_INDEX", "NO");
    std::string layer_name = source.layer.empty() ? utf8_of(path.stem()) : source.layer;
    OGRLayer* layer = ds->CreateLayer(layer_name.c_str(), geometry ? source.gis->srs.get() : nullptr,
                                      geometry ? source.gis->geometry_type : wkbNone, options.List());
    if (layer == nullptr) return failed("Die Ebene kann nicht angelegt werden");
    for (std::size_t k = 0; k < columns.size(); ++k) {
        GisField carried;
        OGRFieldDefn fd(names[k].c_str(), field_type(columns[k], source, carried));
        if (columns[k].kind == OutColumn::Carried) {
            fd.SetSubType(carried.subtype);
            fd.SetWidth(carried.width);
            fd.SetPrecision(carried.precision);
        } else if (columns[k].kind == OutColumn::Real && format == TableFormat::Shapefile) {
            // A DBF holds decimals as text of a fixed width: room for 17
            // decimals and whole parts far beyond any stand's Euro.
            fd.SetWidth(33);
            fd.SetPrecision(17);
        }
        if (layer->CreateField(&fd, TRUE) != OGRERR_NONE) return failed("Die Spalte „" + names[k] + "“ fehlt");
    }
    // Never a name of GDAL's own making (cut short, made unique).
    OGRFeatureDefn* defn = layer->GetLayerDefn();
    if (defn->GetFieldCount() != static_cast<int>(names.size())) return failed("Spalten fehlen");
    for (int i = 0; i < defn->GetFieldCount(); ++i)
        if (names[i] != defn->GetFieldDefn(i)->GetNameRef())
            return failed("Die Spalte „" + names[i] + "“ hieße dort „" + defn->GetFieldDefn(i)->GetNameRef() + "“");

    const bool keep_fids = format == TableFormat::GeoPackage && source.fids.size() == source.rows;
    // One transaction for a database: a GeoPackage of 100,000 stands is
    // written in seconds instead of minutes.
    const bool transaction = format == TableFormat::GeoPackage && ds->StartTransaction() == OGRERR_NONE;
    std::vector<OutCell> cells;
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        rows.row(r, cells);
        OGRFeature f(defn);
        for (std::size_t k = 0; k < cells.size(); ++k) {
            const int i = static_cast<int>(k);
            switch (cells[k].type) {
            case OutCell::Null: f.SetFieldNull(i); break;
            case OutCell::Text:
                text.assign(cells[k].text);
                f.SetField(i, text.c_str());
                break;
            case OutCell::Int: f.SetField(i, static_cast<GIntBig>(cells[k].i)); break;
            case OutCell::Real: f.SetField(i, cells[k].d); break;
            }
        }
        if (geometry && source.gis->geometries[r]) f.SetGeometry(source.gis->geometries[r].get());
        if (keep_fids) f.SetFID(static_cast<GIntBig>(source.fids[r]));
        if (layer->CreateFeature(&f) != OGRERR_NONE) return failed("Zeile " + std::to_string(r + 1) + " fehlt");
        if (progress && r % 4096 == 4095 && !progress(double(r + 1) / double(rows.size()))) {
            file.discard();
            return {Status::WriteFailed, kTableNotWritten, "Abgebrochen."};
        }
    }
    if (transaction && ds->CommitTransaction() != OGRERR_NONE) return failed("Die Zeilen fehlen");
    ds.reset();  // closes the file: everything on the disk before the rename
    if (messages.failed()) return failed("Fehler beim Schreiben");
    if (!file.commit()) return {Status::WriteFailed, kTableNotWritten, describe(file.failure())};
    return {};
}

#if FORSTRIX_GIS_MODULE
}  // namespace forstrix::files::table

// The module's one entry (files/table_gis_loader.cpp loads it).
extern "C" __attribute__((visibility("default"))) const forstrix::files::table::GisFunctions*
forstrix_gis_functions() {
    static const forstrix::files::table::GisFunctions functions{&forstrix::files::table::gdal_read,
                                                                &forstrix::files::table::gdal_write};
    return &functions;
}
#else
Outcome read_gis(const fs::path& path, TableFormat format, std::string_view layer, Source& out,
                 const Progress& progress) {
    return gdal_read(path, format, layer, out, progress);
}

Outcome write_gis(const fs::path& path, TableFormat format, const Source& source, const Rows& rows,
                  const Progress& progress) {
    return gdal_write(path, format, source, rows, progress);
}

}  // namespace forstrix::files::table
#endif
