// The "Kostenverlauf" window: the line over one input, the sentence naming
// the cheapest suitable system, the map over two inputs, the exports, the
// printout and how the window is reached and sized.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include "ui/cost_map.h"
#include "ui/dialog_codes.h"
#include "ui/sweep_dialog.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using forstrix::State;
using namespace forstrix::ui;
using forstrix::ui::test::child;

namespace {

void choose(QComboBox* combo, const char* name) { combo->setCurrentIndex(combo->findData(QString::fromLatin1(name))); }

QLineSeries* marker(const SweepDialog& d) {
    for (QAbstractSeries* s : d.line_chart()->series())
        if (s->objectName() == QStringLiteral("currentValue")) return static_cast<QLineSeries*>(s);
    return nullptr;
}

QString range_texts(const SweepDialog& d) {
    return child<QLineEdit>(d, "sweepFrom")->text() + " " + child<QLineEdit>(d, "sweepTo")->text() + " " +
           child<QLineEdit>(d, "sweepStep")->text();
}

QString cheapest_text(const SweepDialog& d) { return child<QLabel>(d, "cheapestText")->text(); }

}  // namespace

class TestSweepDialog : public QObject {
    Q_OBJECT
    const State started_ = test::started();

private slots:
    // The range, the points and the current value's marker follow the input
    // chosen: a whole-number input's whole list, a decimal one from half to
    // twice its value (the model's piece volume while no own is given). A
    // value whose range would leave the 15 digits of a range gets none, and
    // both views say so instead of drawing. The sentence naming the cheapest
    // system follows the switches and the typed step; a step of 0 is
    // refused, not looped over.
    void choosing_an_input_redraws_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("set");  // NAME=VALUE on the started state
        QTest::addColumn<QString>("change");  // "-box" unchecks, "+box" checks, "step=N" types a step
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("points");  // -1: whatever the input's bounds allow of the range
        QTest::addColumn<double>("current");
        QTest::addColumn<QString>("sentence");
        const QString bhd = "gi_bhd", hn = "gi_hn", none = "";
        QTest::newRow("bhd_whole_list") << bhd << none << none << "6 90 1" << 85 << 20.0
            << "BHD 6 bis 18 cm: VI) Spanholz; 19 bis 31 cm: III) Hochmechanisierte Holzernte; "
               "ab 32 cm: I) Konventionelle Holzernte";
        QTest::newRow("unmeasured_sums_of_i_and_ii") << bhd << none << "+unmeasured" << "6 90 1" << 85 << 20.0
            << "BHD 6 bis 18 cm: VI) Spanholz; 19 bis 28 cm: III) Hochmechanisierte Holzernte; 29 cm: I) "
               "Konventionelle Holzernte; 30 cm: III) Hochmechanisierte Holzernte; 31 bis 36 cm: II) Integrierte "
               "Holzernte; ab 37 cm: I) Konventionelle Holzernte";
        QTest::newRow("without_chips") << bhd << none << "-competeVI" << "6 90 1" << 85 << 20.0
            << "BHD 6 bis 11 cm: kein System geeignet; 12 bis 31 cm: III) Hochmechanisierte Holzernte; ab 32 cm: "
               "I) Konventionelle Holzernte";
        QTest::newRow("step_7") << bhd << none << "step=7" << "6 90 7" << 13 << 20.0
            << "BHD 6 bis 13 cm: VI) Spanholz; 20 bis 27 cm: III) Hochmechanisierte Holzernte; "
               "ab 34 cm: I) Konventionelle Holzernte";
        QTest::newRow("step_0_refused") << bhd << none << "step=0" << "6 90 0" << 0 << 0.0 << none;
        QTest::newRow("slope_whole_list") << hn << none << none << "0 65 1" << 66 << 14.0
            << "Hangneigung 0 bis 35 %: III) Hochmechanisierte Holzernte; 36 bis 60 %: IV) Hochmechanisierte "
               "Holzernte durch Hangsysteme; ab 61 %: kein System geeignet";
        QTest::newRow("skidding_distance_half_to_twice") << "gf_i_rd" << none << none << "74 300 2" << 114 << 150.0
            << "Rückedistanz 74 bis 300 m: III) Hochmechanisierte Holzernte";
        QTest::newRow("own_piece_volume_from_the_model") << "gf_stm" << none << none << "0,116 0,472 0,002" << 179
                                                         << 0.23524314 << none;
        QTest::newRow("largest_wage_on_the_grid") << "gf_fw" << "gf_fw=1e15" << none
            << "500000000000000 2000000000000000 10000000000000" << -1 << 1e15 << none;
        QTest::newRow("wage_beyond_the_grid") << "gf_fw" << "gf_fw=5e15" << none << none << 0 << 0.0 << none;
        QTest::newRow("tiny_volume") << "gf_vab" << "gf_vab=1e-20" << none << none << 0 << 0.0 << none;
    }
    void choosing_an_input_redraws() {
        QFETCH(QString, input);
        QFETCH(QString, set);
        QFETCH(QString, change);
        QFETCH(QString, range);
        QFETCH(int, points);
        QFETCH(double, current);
        QFETCH(QString, sentence);
        State s = started_;
        test::set_values(s, set);
        SweepDialog d(s);
        auto* combo = child<QComboBox>(d, "sweepInput");
        if (input != QStringLiteral("gi_bhd")) {
            choose(combo, "gi_hn");  // first away from BHD, so that every row redraws
            choose(combo, input.toLatin1().constData());
        }
        for (const QString& c : change.split(u' ', Qt::SkipEmptyParts)) {
            if (!c.startsWith("step=")) child<QCheckBox>(d, c.mid(1))->setChecked(c[0] == u'+');
            else child<QLineEdit>(d, "sweepStep")->selectAll(), QTest::keyClicks(child<QLineEdit>(d, "sweepStep"), c.mid(5));
        }
        QCOMPARE(range_texts(d), range.isEmpty() ? "  " : range);
        if (points < 0) return;
        QCOMPARE(static_cast<int>(d.line_points().size()), points);
        QCOMPARE(child<QLabel>(d, "lineStatus")->isHidden(), points != 0);
        if (!sentence.isEmpty()) QCOMPARE(cheapest_text(d), sentence);
        if (points == 0) {
            if (!range.isEmpty()) return;
            choose(child<QComboBox>(d, "mapY"), input.toLatin1().constData());
            for (const char* status : {"lineStatus", "mapStatus"})
                QVERIFY(child<QLabel>(d, status)->text().contains("ist zu groß oder zu klein für einen Verlauf"));
            return;
        }
        QLineSeries* m = marker(d);
        QVERIFY(m != nullptr);
        QCOMPARE(m->count(), 2);
        QVERIFY(std::abs(m->at(0).x() - current) < 1e-6 * std::max(1.0, current));
        QCOMPARE(m->at(1).x(), m->at(0).x());
    }

    // The map over BHD and slope: a cell has its cheapest system's colour,
    // painted as in its data. The same input on both axes is refused; a
    // wage spans half to twice 12 Euro/Std.
    void map() {
        SweepDialog d(started_);
        d.resize(1200, 820);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        test::save_screenshot(&d, QStringLiteral("kostenverlauf_bhd"));
        child<QTabWidget>(d, "views")->setCurrentIndex(1);
        QTest::qWait(20);
        test::save_screenshot(&d, QStringLiteral("kostenverlauf_karte"));
        CostMap* map = d.map();
        map->resize(900, 560);
        const QImage image = map->grab().toImage();
        for (const auto& [bhd, slope, colour] : {std::tuple{25.0, 20.0, kSystemColours[2]}, {20.0, 63.0, kNoneColour}}) {
            const std::size_t i = map->data().x.nearest(bhd), j = map->data().y.nearest(slope);
            QCOMPARE(map->cell_colour(i, j), rgb(colour));
            const MapRect r = map->geometry_for(map->size()).cell(i, j);
            QCOMPARE(image.pixelColor(int(r.x + r.w / 2), int(r.y + r.h / 2)), rgb(colour));
        }
        choose(child<QComboBox>(d, "mapY"), "gi_bhd");
        QVERIFY(!child<QLabel>(d, "mapStatus")->isHidden() && map->data().cells.empty());
        choose(child<QComboBox>(d, "mapY"), "gf_fw");
        QVERIFY(child<QLabel>(d, "mapStatus")->isHidden());
        QVERIFY(map->data().y.from() == 6.0 && map->data().y.last() == 24.0);
        QCOMPARE(map->data().cells.size(), 85 * map->data().y.count);
    }

    // Cancelled first (nothing written), then into the chosen file.
    void exports_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QByteArray>("begins");
        QTest::addColumn<int>("lines");  // -1: not a table
        // A folder and a name with umlauts, as in a home folder "/home/jürgen".
        QTest::newRow("line_table") << 0 << "saveTable" << "jürgen/Kostenverlauf_ä.csv" << "kostenverlauf.csv"
            << QByteArray("\xEF\xBB\xBFKostenverlauf\nBestand;\nFestgehaltene Eingaben\n") << 116;
        QTest::newRow("map_table") << 1 << "saveTable" << "karte.csv" << "kostenkarte.csv"
            << QByteArray("\xEF\xBB\xBFKostenverlauf\n") << 30 + 85 * 66;
        QTest::newRow("map_svg") << 1 << "saveImage" << "jürgen/Karte_ö.svg" << "kostenkarte.png" << QByteArray("<?xml") << -1;
        QTest::newRow("line_png") << 0 << "saveImage" << "Verlauf_ß.png" << "kostenverlauf.png" << QByteArray("\x89PNG") << -1;
    }
    void exports() {
        QFETCH(int, tab);
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(QString, suggested);
        QFETCH(QByteArray, begins);
        QFETCH(int, lines);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("jürgen")));
        test::ScriptedMessages msgs;
        SweepDialog d(started_);
        d.resize(1100, 780);
        child<QTabWidget>(d, "views")->setCurrentIndex(tab);
        QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(msgs.asked_files().front().proposed, suggested);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);
        msgs.answer_file(dir.filePath(file));
        QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
        // Confirmed with the full path of the file written.
        QCOMPARE(msgs.shown().size(), std::size_t{1});
        QCOMPARE(msgs.shown().front().text, QStringLiteral("%1 unter \"%2\" gespeichert!")
                     .arg(button == u"saveTable" ? u"Tabelle" : u"Bild", QDir::toNativeSeparators(dir.filePath(file))));
        const QByteArray bytes = test::read_file(dir.filePath(file));
        QVERIFY2(bytes.startsWith(begins), bytes.left(120).constData());
        if (lines >= 0) {
            QCOMPARE(bytes.count('\n'), lines);
            QCOMPARE(bytes.count('\r'), 0);
        } else if (begins == "<?xml") {
            QVERIFY(bytes.contains("<path") || bytes.contains("<rect"));
        }
    }

    // From the results: the window opens on top and the results stay open.
    void reached_from_the_results() {
        test::ScriptedMessages msgs;
        State s;
        MainWindow window(s, nullptr);
        window.start_up();
        bool results_open_meanwhile = false;
        test::DialogScript script({[&](QWidget* results) {
                                       // Clicked once this step has returned: the window
                                       // then runs its own loop on top of the results.
                                       auto* button = results->findChild<QPushButton*>(QStringLiteral("kostenverlauf"));
                                       QTimer::singleShot(0, button, [button] { button->click(); });
                                   },
                                   [&](QWidget* curve) {
                                       results_open_meanwhile = curve->parentWidget() != nullptr &&
                                                                curve->parentWidget()->isVisible();
                                       qobject_cast<QDialog*>(curve)->accept();
                                   },
                                   test::end_with(ResultsOk)});
        window.run_command(CmdResults);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), (QStringList{"ResultsDialog", "SweepDialog", "ResultsDialog"}));
        QVERIFY(results_open_meanwhile);
    }

    // "Drucken..." shows the current view in the print preview, one page in
    // the result sheet's manner, across or upright as the preview is set;
    // its print button prints (into a PDF, no printer needed).
    void print_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("upright");
        QTest::addColumn<QString>("stand");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("line_view_across_with_stand_name") << 0 << false << "Abteilung 12b, Eichenhang"
            << QStringList{"Kostenverlauf", "Abteilung 12b, Eichenhang", "Euro/Fm",
                           "BHD 6 bis 18 cm: VI) Spanholz; 19 bis 31 cm: III) Hochmechanisierte Holzernte; "
                           "ab 32 cm: I) Konventionelle Holzernte",
                           "Alle Angaben ohne Gewähr", "Seite 1 von 1"};
        QTest::newRow("map_view_upright") << 1 << true << ""
            << QStringList{"Kostenverlauf", "Jede Zelle zeigt das günstigste geeignete System"};
    }
    void print() {
        QFETCH(int, view);
        QFETCH(bool, upright);
        QFETCH(QString, stand);
        QFETCH(QStringList, texts);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("kostenverlauf.pdf"));
        SweepDialog d(started_);
        d.set_stand_name(stand);
        d.resize(1000, 700);
        d.show();
        child<QTabWidget>(d, "views")->setCurrentIndex(view);
        QString title;
        const test::Printed printed = test::print_from_preview(child<QPushButton>(d, "print"), pdf, [&](auto& preview) {
            title = preview.windowTitle();
            QCOMPARE(preview.printer()->pageLayout().pageSize().id(), QPageSize::A4);
            QCOMPARE(preview.printer()->pageLayout().orientation(), QPageLayout::Landscape);
            if (upright) preview.printer()->setPageOrientation(QPageLayout::Portrait);
        });
        QCOMPARE(title, QStringLiteral("Druckvorschau: Kostenverlauf"));
        QVERIFY(printed.answered);
        QVERIFY(d.isVisible());
        QCOMPARE(forstrix::test::pdf_pages(pdf.toStdString()), 1);
        const std::string info = forstrix::test::run_capture("pdfinfo '" + pdf.toStdString() + "'");
        QVERIFY2(info.find(upright ? "595 x 842 pts" : "842 x 595 pts") != std::string::npos, info.c_str());
        const std::string text = forstrix::test::flat(forstrix::test::pdf_text(pdf.toStdString()));
        for (const QString& t : texts) QVERIFY2(text.find(t.toStdString()) != std::string::npos, qPrintable(t));
        forstrix::test::pdf_to_png(pdf.toStdString(), FORSTRIX_SCREENSHOT_DIR,
                                   "kostenverlauf_druck_" + std::string(QTest::currentDataTag()));
    }
};

QTEST_MAIN(TestSweepDialog)
#include "test_sweep_dialog.moc"
