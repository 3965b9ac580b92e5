// The "Kostenverlauf" window: the line over one input, the sentence naming
// the cheapest suitable system, the map over two inputs and its ranges, the
// hover marks that stay on the screen, the exports naming the stand and the
// inputs held, the printout and how the window is reached.
#include <QtCharts>
#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

#include <cmath>

#include "ui/cost_map.h"
#include "ui/dialog_codes.h"
#include "ui/sweep_dialog.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using forstrix::State;
using namespace forstrix::ui;
using forstrix::ui::test::child;

namespace {

// A shown window over `s`, the stand named, on view 0 (line) or 1 (map).
struct Window {
    test::ScriptedMessages msgs;
    QTemporaryDir dir;
    SweepDialog d;
    explicit Window(const State& s, int view = 0, const QString& stand = QStringLiteral("Abteilung 12b; Eichenhang"))
        : d(s) {
        d.set_stand_name(stand);
        d.resize(1200, 820);
        d.show();
        child<QTabWidget>(d, "views")->setCurrentIndex(view);
        QTest::qWait(20);
    }
    void choose(const char* combo, const QString& name) {
        auto* box = child<QComboBox>(d, QString::fromLatin1(combo));
        box->setCurrentIndex(box->findData(name));
    }
    void type(const QString& field, const QString& text) {
        child<QLineEdit>(d, field)->selectAll();
        QTest::keyClicks(child<QLineEdit>(d, field), text);
    }
    QString range() const {
        return QStringList{child<QLineEdit>(d, "sweepFrom")->text(), child<QLineEdit>(d, "sweepTo")->text(),
                           child<QLineEdit>(d, "sweepStep")->text()}.join(u' ');
    }
    // What a button saves into `name` in the window's folder.
    QByteArray saved(const char* button, const QString& name) {
        msgs.answer_file(dir.filePath(name));
        child<QPushButton>(d, QString::fromLatin1(button))->click();
        return test::read_file(dir.filePath(name));
    }
    QLineSeries* series(const char* name) const {
        for (QAbstractSeries* s : d.line_chart()->series())
            if (s->objectName() == QLatin1String(name)) return static_cast<QLineSeries*>(s);
        return nullptr;
    }
    int hover_points() const { return series("hoverLine") ? int(series("hoverLine")->count()) : -1; }
};

}  // namespace

class TestSweepDialog : public QObject {
    Q_OBJECT
    const State started_ = test::started();

private slots:
    // The range, the points and the current value's marker follow the input: a whole-number input's whole
    // list, a decimal one half to twice its value (the model's piece volume while no own is given), a list
    // one point per entry. A value whose range would leave a range's 15 digits gets none, and both views
    // say so. The sentence follows the switches and the typed step; a step of 0 is refused, not looped over.
    void choosing_an_input_redraws_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("set");  // NAME=VALUE on the started state
        QTest::addColumn<QString>("change");  // "-box" unchecks, "+box" checks, "step=N" types a step
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("points");  // -1: whatever the input's bounds allow of the range
        QTest::addColumn<double>("current");  // NaN: a list, no marker
        QTest::addColumn<QString>("sentence");
        const QString bhd = "gi_bhd", hn = "gi_hn", none = "";
        const double list = std::nan("");
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
        QTest::newRow("species") << "gi_ba" << none << none << "  " << 10 << list
            << "Baumart Birke, Erle, Pappel, Weide, Eberesche, Buche, Eiche, Esche, Ahorn, Kirsche: III) "
               "Hochmechanisierte Holzernte";
        QTest::newRow("spacing") << "gi_ar" << none << none << "  " << 2 << list
            << "Abstand Rückegassen bis 20 m: III) Hochmechanisierte Holzernte; > 20 m: I) Konventionelle Holzernte";
        QTest::newRow("largest_wage_on_the_grid") << "gf_fw" << "gf_fw=1e15" << none
            << "500000000000000 2000000000000000 10000000000000" << -1 << 1e15 << none;
        QTest::newRow("wage_beyond_the_grid") << "gf_fw" << "gf_fw=5e15" << none << "  " << 0 << 0.0 << none;
        QTest::newRow("tiny_volume") << "gf_vab" << "gf_vab=1e-20" << none << "  " << 0 << 0.0 << none;
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
        Window w(s);
        if (input != QStringLiteral("gi_bhd")) {
            w.choose("sweepInput", "gi_hn");  // first away from BHD, so that every row redraws
            w.choose("sweepInput", input);
        }
        for (const QString& c : change.split(u' ', Qt::SkipEmptyParts)) {
            if (!c.startsWith("step=")) child<QCheckBox>(w.d, c.mid(1))->setChecked(c[0] == u'+');
            else w.type("sweepStep", c.mid(5));
        }
        if (!std::isnan(current)) QCOMPARE(w.range(), range);
        if (points < 0) return;
        QCOMPARE(static_cast<int>(w.d.line_points().size()), points);
        QCOMPARE(child<QLabel>(w.d, "lineStatus")->isHidden(), points != 0);
        if (!sentence.isEmpty()) QCOMPARE(child<QLabel>(w.d, "cheapestText")->text(), sentence);
        if (points == 0) {
            if (range != "  ") return;
            w.choose("mapY", input);
            for (const char* status : {"lineStatus", "mapStatus"})
                QVERIFY(child<QLabel>(w.d, status)->text().contains("ist zu groß oder zu klein für einen Verlauf"));
            return;
        }
        if (std::isnan(current)) return;
        QLineSeries* m = w.series("currentValue");
        QVERIFY(m != nullptr);
        QCOMPARE(m->count(), 2);
        QVERIFY(std::abs(m->at(0).x() - current) < 1e-6 * std::max(1.0, current));
        QCOMPARE(m->at(1).x(), m->at(0).x());
    }

    // The map over BHD and slope: a cell has its cheapest system's colour,
    // painted as in its data; over the species list one column per species.
    void map() {
        Window w(started_, 0, {});
        test::save_screenshot(&w.d, QStringLiteral("kostenverlauf_bhd"));
        child<QTabWidget>(w.d, "views")->setCurrentIndex(1);
        QTest::qWait(20);
        test::save_screenshot(&w.d, QStringLiteral("kostenverlauf_karte"));
        CostMap* map = w.d.map();
        map->resize(900, 560);
        const QImage image = map->grab().toImage();
        for (const auto& [bhd, slope, colour] : {std::tuple{25.0, 20.0, kSystemColours[2]}, {20.0, 63.0, kNoneColour}}) {
            const std::size_t i = map->data().x.nearest(bhd), j = map->data().y.nearest(slope);
            QCOMPARE(map->cell_colour(i, j), rgb(colour));
            const MapRect r = map->geometry_for(map->size()).cell(i, j);
            QCOMPARE(image.pixelColor(int(r.x + r.w / 2), int(r.y + r.h / 2)), rgb(colour));
        }
        child<QTabWidget>(w.d, "views")->setCurrentIndex(0);
        w.choose("sweepInput", "gi_ba");
        QTest::qWait(50);  // the chart laid out anew
        test::save_screenshot(&w.d, QStringLiteral("kostenverlauf_baumart"));
        w.choose("mapX", "gi_ba");
        w.choose("mapY", "gi_bhd");
        for (const auto& [field, text] : {std::pair{"mapYFrom", "10"}, {"mapYTo", "60"}, {"mapYStep", "2"}})
            w.type(field, text);
        child<QTabWidget>(w.d, "views")->setCurrentIndex(1);
        QTest::qWait(20);
        test::save_screenshot(&w.d, QStringLiteral("kostenverlauf_karte_baumart"));
        // A list as the map's first axis: one column per entry, named by its word.
        QCOMPARE(map->data().cells.size(), 10u * 26u);
        QVERIFY2(map->cell_text(0, 0).startsWith("Baumart Birke, BHD "), qPrintable(map->cell_text(0, 0)));
    }

    // The map's axes take "von", "bis" and "Schritt"; a wage spans half to twice 12 Euro/Std. The same
    // input on both axes, a range refused (naming its axis) and too many cells are refused.
    void map_ranges_data() {
        QTest::addColumn<QString>("y");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cells");
        QTest::addColumn<QString>("status");
        QTest::newRow("slope_narrowed") << "gi_hn" << "mapYTo" << "40" << 85 * 41 << "";
        QTest::newRow("wage_half_to_twice") << "gf_fw" << "" << "" << 85 * 37 << "";
        QTest::newRow("step_zero") << "gi_hn" << "mapXStep" << "0" << 0 << "waagerecht: ";
        QTest::newRow("same_input_twice") << "gi_bhd" << "" << "" << 0 << "Bitte zwei verschiedene Eingaben";
        QTest::newRow("too_many_cells") << "gf_vab" << "mapYStep" << "0,001" << 0 << "Die Bereiche ergeben ";
    }
    void map_ranges() {
        QFETCH(QString, y);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, cells);
        QFETCH(QString, status);
        Window w(started_, 1);
        w.choose("mapY", y);
        if (!field.isEmpty()) w.type(field, text);
        QCOMPARE(int(w.d.map()->data().cells.size()), cells);
        QLabel* shown = child<QLabel>(w.d, "mapStatus");
        QVERIFY2(shown->isHidden() ? status.isEmpty() : shown->text().startsWith(status), qPrintable(shown->text()));
        if (y == "gf_fw") QVERIFY(w.d.map()->data().y.from() == 6.0 && w.d.map()->data().y.last() == 24.0);
    }

    // The mouse shows a line or cell and its costs; a picture (PNG) saved then
    // is the one saved without it, and leaving, moving off the plot or another
    // input clears both.
    void hover_stays_on_the_screen_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("clear");
        QTest::newRow("line_left") << 0 << "leave";
        QTest::newRow("line_off_the_plot") << 0 << "off";
        QTest::newRow("line_other_input") << 0 << "axis";
        QTest::newRow("map_left") << 1 << "leave";
        QTest::newRow("map_other_axis") << 1 << "axis";
    }
    void hover_stays_on_the_screen() {
        QFETCH(int, view);
        QFETCH(QString, clear);
        Window w(started_, view);
        QLabel* info = child<QLabel>(w.d, view == 0 ? "lineInfo" : "mapInfo");
        const QString prompt = info->text();
        const QByteArray before = w.saved("saveImage", QStringLiteral("ohne_ß.png"));
        QVERIFY(before.startsWith("\x89PNG") && !QImage::fromData(before).isNull());
        QWidget* target = view == 0 ? w.d.line_view()->viewport() : static_cast<QWidget*>(w.d.map());
        QTest::mouseMove(&w.d, QPoint(1, 1));  // a move to where the mouse is reaches no widget
        QTest::mouseMove(target, target->rect().center());
        QVERIFY(info->text() != prompt);
        QCOMPARE(w.hover_points(), view == 0 ? 2 : 0);
        QCOMPARE(w.saved("saveImage", QStringLiteral("mit.png")), before);
        QCOMPARE(w.hover_points(), view == 0 ? 2 : 0);
        QEvent leave(QEvent::Leave);
        if (clear == "leave") QCoreApplication::sendEvent(view == 0 ? w.d.line_view() : target, &leave);
        else if (clear == "off") QTest::mouseMove(target, QPoint(2, 2));
        else w.choose(view == 0 ? "sweepInput" : "mapY", "gf_vab");
        QCOMPARE(info->text(), prompt);
        QCOMPARE(w.hover_points(), 0);
    }

    // Cancelled first, then into the file chosen, also under umlauts (as in "/home/jürgen"). Pictures and
    // tables name the stand and the inputs held as the dialogs show them, not the swept ones nor an own
    // piece volume not given; the table in German words, costs with two decimals.
    void exports_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<int>("lines");  // -1: not a table
        QTest::addColumn<QStringList>("held");  // the first: how the file begins (after a table's BOM)
        QTest::newRow("line_table") << 0 << "gi_bhd" << "jürgen/Kostenverlauf_ä.csv" << "kostenverlauf.csv" << 116
            << QStringList{"Kostenverlauf\nBestand;\"Abteilung 12b; Eichenhang\"\nFestgehaltene Eingaben\n"
                           "Hangneigung [%];14\n",
                           "\nBHD [cm];I) Konventionelle Holzernte, inklusive Vermessung [Euro/Fm];II) Integrierte "
                           "Holzernte, ",
                           "[Euro/Fm];Geeignet;Günstigstes geeignetes System\n6;315,18;408,25;220,57;283,63;252,06;"
                           "65,73;VI;VI) Spanholz\n"};
        QTest::newRow("list_table") << 0 << "gi_br" << "liste.csv" << "kostenverlauf.csv" << -1 << QStringList{
            "Kostenverlauf\n",
            "\nvorhanden;28,15;33,02;21,74;29,58;123,10;20,83;I, II, III;III) Hochmechanisierte Holzernte\n"
            "nicht vorhanden;28,15;33,02;21,74;29,58;123,10;20,83;;kein System geeignet\n"};
        QTest::newRow("map_table") << 1 << "gi_bhd" << "karte.csv" << "kostenkarte.csv" << 30 + 85 * 66
            << QStringList{"Kostenverlauf\n"};
        QTest::newRow("line_picture") << 0 << "gi_bhd" << "Verlauf_ß.svg" << "kostenverlauf.png" << -1
            << QStringList{"<?xml", "Bestand: Abteilung 12b; Eichenhang Festgehaltene Eingaben \u2013 Hangneigung [%]: 14;",
                           "Hauptbaumart Laubholz: Birke;", "Forstwirt (ohne PNK) [Euro/Std.]: 12,00;",
                           "PNK Forstwirt [%]: 60;"};
        QTest::newRow("map_picture_own_piece_volume") << 1 << "gi_bhd" << "jürgen/Karte_ö.svg" << "kostenkarte.png"
            << -1 << QStringList{"<?xml", "Eingaben \u2013 Volumen ausscheidender Bestand [EFm/ha]: 30,00;",
                                 "Stückvolumen je Baum [EFm] (eigene Eingabe): 0,4000;"};
    }
    void exports() {
        QFETCH(int, view);
        QFETCH(QString, input);
        QFETCH(QString, file);
        QFETCH(QString, suggested);
        QFETCH(int, lines);
        QFETCH(QStringList, held);
        State s = started_;
        if (file.contains("Karte_ö")) test::set_values(s, QStringLiteral("gf_stm=0.4"));
        Window w(s, view);
        w.choose("sweepInput", input);
        QVERIFY(QDir(w.dir.path()).mkpath(QStringLiteral("jürgen")));
        const char* button = file.endsWith(".csv") ? "saveTable" : "saveImage";
        child<QPushButton>(w.d, QString::fromLatin1(button))->click();
        QCOMPARE(w.msgs.asked_files().front().proposed, suggested);
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files).size(), 0);
        const QByteArray bytes = w.saved(button, file);
        // Confirmed with the full path of the file written.
        QCOMPARE(w.msgs.shown().size(), std::size_t{1});
        QCOMPARE(w.msgs.shown().front().text, QStringLiteral("%1 unter \"%2\" gespeichert!")
                     .arg(file.endsWith(".csv") ? u"Tabelle" : u"Bild", QDir::toNativeSeparators(w.dir.filePath(file))));
        const QByteArray bom = file.endsWith(".csv") ? "\xEF\xBB\xBF" : "";  // for spreadsheets
        QVERIFY2(bytes.startsWith(bom + held.front().toUtf8()), bytes.left(120).constData());
        if (lines >= 0) QCOMPARE(bytes.count('\n'), lines);
        QCOMPARE(bytes.count('\r'), 0);
        QString text = QString::fromUtf8(bytes);
        if (file.endsWith(".svg")) {
            QVERIFY(bytes.contains("<path") || bytes.contains("<rect"));
            // The texts of the picture, its wrapped lines joined again.
            text.clear();
            auto it = QRegularExpression(QStringLiteral(">([^<]*)</text>")).globalMatch(QString::fromUtf8(bytes));
            while (it.hasNext()) text += it.next().captured(1).replace(QStringLiteral("&gt;"), QStringLiteral(">")) + ' ';
            held.removeFirst();
        }
        for (const QString& t : held) QVERIFY2(text.contains(t), qPrintable(t));
        if (view == 1 && lines >= 0) return;
        // Held: the stand's BHD of 20 cm unless swept, its slope unless the map sweeps it.
        QCOMPARE(text.contains("BHD [cm]: 20") || text.contains("BHD [cm];20"), input != "gi_bhd");
        QCOMPARE(text.contains("Hangneigung [%]: 14") || text.contains("Hangneigung [%];14"), view == 0);
        QCOMPARE(text.contains(QStringLiteral("Stückvolumen")), view == 1);
    }

    // From the results: the window opens on top and the results stay open.
    void reached_from_the_results() {
        test::ScriptedMessages msgs;
        State s;
        MainWindow window(s, nullptr);
        window.start_up();
        bool results_open_meanwhile = false;
        // Clicked once the first step has returned: the window then runs its own loop on top of the results.
        const auto click = [](QWidget* results) {
            QTimer::singleShot(0, child<QPushButton>(*results, "kostenverlauf"), &QPushButton::click);
        };
        const auto look = [&](QWidget* curve) {
            results_open_meanwhile = curve->parentWidget() != nullptr && curve->parentWidget()->isVisible();
            qobject_cast<QDialog*>(curve)->accept();
        };
        test::DialogScript script({click, look, test::end_with(ResultsOk)});
        window.run_command(CmdResults);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), (QStringList{"ResultsDialog", "SweepDialog", "ResultsDialog"}));
        QVERIFY(results_open_meanwhile);
    }

    // "Drucken..." shows the current view in the print preview, one page in
    // the result sheet's manner with the stand and the inputs held, across or
    // upright as the preview is set; its print button prints (into a PDF).
    void print_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("upright");
        QTest::addColumn<QString>("stand");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("line_view_across_with_stand_name") << 0 << false << "Abteilung 12b, Eichenhang"
            << QStringList{"Kostenverlauf", "Abteilung 12b, Eichenhang", "Euro/Fm",
                           "BHD 6 bis 18 cm: VI) Spanholz; 19 bis 31 cm: III) Hochmechanisierte Holzernte; "
                           "ab 32 cm: I) Konventionelle Holzernte",
                           "I) Konventionelle Holzernte. Festgehaltene Eingaben \u2013 Hangneigung [%]: 14;",
                           "Alle Angaben ohne Gewähr", "Seite 1 von 1"};
        QTest::newRow("map_view_upright") << 1 << true << ""
            << QStringList{"Kostenverlauf", "Jede Zelle zeigt das günstigste geeignete System"};
    }
    void print() {
        QFETCH(int, view);
        QFETCH(bool, upright);
        QFETCH(QString, stand);
        QFETCH(QStringList, texts);
        Window w(started_, view, stand);
        const QString pdf = w.dir.filePath(QStringLiteral("kostenverlauf.pdf"));
        QString title;
        const test::Printed printed = test::print_from_preview(child<QPushButton>(w.d, "print"), pdf, [&](auto& preview) {
            title = preview.windowTitle();
            QCOMPARE(preview.printer()->pageLayout().pageSize().id(), QPageSize::A4);
            QCOMPARE(preview.printer()->pageLayout().orientation(), QPageLayout::Landscape);
            if (upright) preview.printer()->setPageOrientation(QPageLayout::Portrait);
        });
        QCOMPARE(title, QStringLiteral("Druckvorschau: Kostenverlauf"));
        QVERIFY(printed.answered);
        QVERIFY(w.d.isVisible());
        QCOMPARE(forstrix::test::pdf_pages(pdf.toStdString()), 1);
        const std::string info = forstrix::test::run_capture("pdfinfo '" + pdf.toStdString() + "'");
        QVERIFY2(info.find(upright ? "595 x 842 pts" : "842 x 595 pts") != std::string::npos, info.c_str());
        const QString text = QString::fromStdString(forstrix::test::flat(forstrix::test::pdf_text(pdf.toStdString())));
        for (const QString& t : texts) QVERIFY2(text.contains(t), qPrintable(t));
        if (view == 0) QVERIFY(!text.contains("BHD [cm]: 20") && !text.contains("Stückvolumen"));  // swept or not given
        forstrix::test::pdf_to_png(pdf.toStdString(), FORSTRIX_SCREENSHOT_DIR,
                                   "kostenverlauf_druck_" + std::string(QTest::currentDataTag()));
    }
};

QTEST_MAIN(TestSweepDialog)
#include "test_sweep_dialog.moc"
