#include "ui/file_path.h"

#include <string>

#include <QByteArray>
#include <QFile>

namespace forstrix::ui {

std::filesystem::path fs_path(const QString& name) {
#ifdef Q_OS_WIN
    // The native name is UTF-16: taken as it is, without a code page between.
    return std::filesystem::path(name.toStdWString());
#else
    // The native name is bytes; a wide string would pass through the C
    // locale's conversion, which knows no "ä" and throws.
    const QByteArray bytes = QFile::encodeName(name);
    return std::filesystem::path(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
#endif
}

}  // namespace forstrix::ui
