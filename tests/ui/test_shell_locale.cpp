// Under a German locale the program writes the very same bytes as under C,
// and reads its own basics file back to the same values: every number it
// parses or formats is independent of the locale, even after QApplication
// has called setlocale(LC_ALL, "").
#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "files/basics_file.h"
#include "files/report.h"
#include "ui/dialog_codes.h"
#include "ui/mainwindow.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace forstrix::ui::test;

namespace {

class NoTrace final : public TraceSink {
public:
    void write(std::string_view) override {}
};

std::string read_bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Saved {
    std::string basics, report;
};

// What a user gets from a session: a stand of their own, basics of their own,
// both files saved from the menu and the results dialog.
Saved save_session(const char* folder) {
    QDir().mkpath(QString::fromUtf8(folder));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromUtf8(folder));
    NoTrace trace;
    State state;
    state.gf_vab = 42.5;
    state.gf_i_rd = 137.25;
    state.gf_hab44 = 612.75;
    state.gf_msc9 = 3.5;
    MainWindow window(state, &trace);
    window.start_up();
    state.g_sys4 = state.g_sys5 = state.g_sys6 = 1;  // every system in the report
    {
        ScriptedMessages boxes;
        window.run_command(CmdSaveBasics);
        DialogScript script({end_with(ResultsSave)});
        window.run_command(CmdResults);
        script.wait_until_done();
    }
    Saved saved{read_bytes(files::kBasicsFileName), read_bytes(files::kReportFileName)};
    QDir::setCurrent(previous);
    return saved;
}

}  // namespace

class TestShellLocale : public QObject {
    Q_OBJECT
    std::string previous_;

private slots:
    void initTestCase() { previous_ = std::setlocale(LC_ALL, nullptr); }
    void cleanup() { std::setlocale(LC_ALL, previous_.c_str()); }

    void germanLocale_writesAndReadsTheSameBytes() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string base = dir.path().toStdString();

        QVERIFY(std::setlocale(LC_ALL, "C"));
        const Saved plain = save_session((base + "/c").c_str());
        QVERIFY(!plain.basics.empty());
        QVERIFY(!plain.report.empty());

        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            QSKIP("the locale de_DE.UTF-8 is not installed on this machine");
        QCOMPARE(std::localeconv()->decimal_point, std::string_view(","));
        const Saved german = save_session((base + "/de").c_str());
        QCOMPARE(german.basics, plain.basics);
        QCOMPARE(german.report, plain.report);

        // And the basics saved under C load under the German locale to the same values.
        QVERIFY(QDir::setCurrent(QString::fromStdString(base + "/c")));
        NoTrace trace;
        State loaded;
        MainWindow window(loaded, &trace);
        ScriptedMessages boxes;
        window.run_command(CmdLoadBasics);
        QCOMPARE(boxes.shown().size(), std::size_t{1});
        QCOMPARE(boxes.shown()[0].title, QStringLiteral("Meldung"));
        QCOMPARE(loaded.gf_hab44, 612.75);
        QCOMPARE(loaded.gf_msc9, 3.5);
        QCOMPARE(files::basics_text(loaded), plain.basics);
        QDir::setCurrent(QDir::tempPath());
    }
};

QTEST_MAIN(TestShellLocale)
#include "test_shell_locale.moc"
