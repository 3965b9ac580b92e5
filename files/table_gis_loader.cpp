// The program's side of the GIS formats on Linux: the module forstrix_gdal
// (files/table_gdal.cpp with GDAL) is loaded when a spreadsheet or a GIS
// layer is first read or written. It lies beside the program in the build
// folder, and in FORSTRIX_GIS_MODULE_DIR (relative to the program's folder)
// once installed; a test program finds it where the build put it.
#include <dlfcn.h>
#include <unistd.h>

#include <mutex>
#include <string>

#include "files/table_source.h"

namespace forstrix::files::table {

namespace {

std::string program_folder() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return ".";
    path.resize(static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

struct Module {
    const GisFunctions* functions = nullptr;
    std::string failure;
};

const Module& module() {
    static Module m;
    static std::once_flag once;
    std::call_once(once, [] {
        using Entry = const GisFunctions* (*)();
        const std::string folder = program_folder();
        for (const std::string& path : {folder + "/forstrix_gdal.so", folder + "/" FORSTRIX_GIS_MODULE_DIR "/forstrix_gdal.so",
                                        std::string(FORSTRIX_GIS_MODULE_BUILT)}) {
            // Never closed: the tables read keep the module's geometries.
            void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                if (const char* e = ::dlerror(); m.failure.empty() && e != nullptr) m.failure = e;
                continue;
            }
            if (auto entry = reinterpret_cast<Entry>(::dlsym(handle, "forstrix_gis_functions"))) {
                m.functions = entry();
                return;
            }
        }
    });
    return m;
}

Outcome missing(const char* heading) {
    return {Status::Refused, heading,
            "Der Programmteil „forstrix_gdal“ für Tabellenblätter und GIS-Layer fehlt oder ist beschädigt: " +
                module().failure};
}

}  // namespace

Outcome read_gis(const std::filesystem::path& path, TableFormat format, std::string_view layer, Source& out,
                 const Progress& progress) {
    const GisFunctions* f = module().functions;
    return f != nullptr ? f->read(path, format, layer, out, progress) : missing(kTableNotRead);
}

Outcome write_gis(const std::filesystem::path& path, TableFormat format, const Source& source, const Rows& rows,
                  const Progress& progress) {
    const GisFunctions* f = module().functions;
    return f != nullptr ? f->write(path, format, source, rows, progress) : missing(kTableNotWritten);
}

}  // namespace forstrix::files::table
