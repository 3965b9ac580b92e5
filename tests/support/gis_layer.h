// Spreadsheets and GIS layers for the tests, made and read back through
// GDAL's own API, independent of the program's reader and writer.
#pragma once

#include <charconv>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace forstrix::test {

struct GisField {
    std::string name;
    OGRFieldType type = OFTString;
};

struct GisTable {
    std::vector<GisField> fields;
    std::vector<std::vector<std::optional<std::string>>> rows;  // nullopt: NULL
    std::vector<std::string> wkt;                               // one per row; none for a sheet
    int epsg = 0;
    std::vector<long long> fids;                                // read back
};

inline void write_layer(const std::filesystem::path& path, const char* driver, const char* layer, const GisTable& t) {
    GDALAllRegister();
    GDALDriver* d = GetGDALDriverManager()->GetDriverByName(driver);
    GDALDatasetUniquePtr ds(d->Create(path.string().c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference srs;
    if (t.epsg != 0) {
        srs.importFromEPSG(t.epsg);
        srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    }
    OGRLayer* l = ds->CreateLayer(layer, t.epsg != 0 ? &srs : nullptr, t.wkt.empty() ? wkbNone : wkbPolygon, nullptr);
    for (const GisField& f : t.fields) {
        OGRFieldDefn fd(f.name.c_str(), f.type);
        if (l->CreateField(&fd) != OGRERR_NONE) throw std::runtime_error("field not made");
    }
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        OGRFeature f(l->GetLayerDefn());
        for (std::size_t k = 0; k < t.fields.size(); ++k) {
            if (t.rows[r][k]) f.SetField(static_cast<int>(k), t.rows[r][k]->c_str());
            else f.SetFieldNull(static_cast<int>(k));
        }
        if (!t.wkt.empty()) {
            OGRGeometry* g = nullptr;
            OGRGeometryFactory::createFromWkt(t.wkt[r].c_str(), nullptr, &g);
            f.SetGeometryDirectly(g);
        }
        if (l->CreateFeature(&f) != OGRERR_NONE) throw std::runtime_error("feature not written");
    }
}

// A double as text that reads back to the same double.
inline std::string exact(double v) {
    char text[64];
    return {text, std::to_chars(text, text + sizeof text, v).ptr};
}

// The area of a polygon in WKT: a Shapefile turns its outer rings
// clockwise, so its WKT differs while the polygon is the same.
inline double area(const std::string& wkt) {
    OGRGeometry* g = nullptr;
    OGRGeometryFactory::createFromWkt(wkt.c_str(), nullptr, &g);
    const double a = g != nullptr && wkbFlatten(g->getGeometryType()) == wkbPolygon ? g->toPolygon()->get_Area() : -1;
    OGRGeometryFactory::destroyGeometry(g);
    return a;
}

// The layer as GDAL reads it: names, cells as GDAL's text, geometries as
// WKT, the EPSG code of the reference system, the feature ids.
inline GisTable read_layer(const std::filesystem::path& path, bool sheet = false) {
    GDALAllRegister();
    const char* const headers[] = {"HEADERS=FORCE", nullptr};
    GDALDatasetUniquePtr ds(
        GDALDataset::Open(path.string().c_str(), GDAL_OF_VECTOR, nullptr, sheet ? headers : nullptr, nullptr));
    GisTable t;
    if (!ds) return t;
    OGRLayer* l = ds->GetLayer(0);
    OGRFeatureDefn* defn = l->GetLayerDefn();
    for (int i = 0; i < defn->GetFieldCount(); ++i)
        t.fields.push_back({defn->GetFieldDefn(i)->GetNameRef(), defn->GetFieldDefn(i)->GetType()});
    if (const OGRSpatialReference* srs = l->GetSpatialRef()) {
        const char* code = srs->GetAuthorityCode(nullptr);
        t.epsg = code != nullptr ? std::stoi(code) : -1;
    }
    for (OGRFeatureUniquePtr f(l->GetNextFeature()); f; f.reset(l->GetNextFeature())) {
        auto& row = t.rows.emplace_back();
        for (int i = 0; i < defn->GetFieldCount(); ++i)
            row.push_back(!f->IsFieldSetAndNotNull(i) ? std::nullopt
                          : defn->GetFieldDefn(i)->GetType() == OFTReal
                              ? std::optional<std::string>(exact(f->GetFieldAsDouble(i)))
                              : std::optional<std::string>(f->GetFieldAsString(i)));
        if (const OGRGeometry* g = f->GetGeometryRef()) t.wkt.push_back(g->exportToWkt());
        t.fids.push_back(f->GetFID());
    }
    return t;
}

inline int field_index(const GisTable& t, const std::string& name) {
    for (std::size_t k = 0; k < t.fields.size(); ++k)
        if (t.fields[k].name == name) return static_cast<int>(k);
    return -1;
}

}  // namespace forstrix::test
