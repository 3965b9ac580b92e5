// The last stand files opened or saved: the one thing the desktop program
// keeps between runs, in the platform's usual settings place (QSettings).
#pragma once

#include <QString>
#include <QStringList>

namespace forstrix::ui {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 8;

    // Newest first, absolute paths.
    QStringList list() const;
    // Puts `path` at the front (once), dropping the oldest beyond kMaxEntries.
    void add(const QString& path);
    void remove(const QString& path);

private:
    void store(const QStringList& paths);
};

}  // namespace forstrix::ui
