// The Kostenverlauf as a planner hands it on: the hover marks stay on the
// screen and leave no trace in a picture, list inputs as line and map axes,
// the map's own ranges, the stand and the fixed inputs on every export, and
// the table in German words.
#include <algorithm>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include "ui/cost_map.h"
#include "ui/sweep_dialog.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using forstrix::State;
using namespace forstrix::ui;
using forstrix::ui::test::child;

namespace {

// Chooses the input `name` in the combo box `combo` ("sweepInput", "mapX", "mapY").
void choose(const SweepDialog& d, const char* combo, const QString& name) {
    auto* box = child<QComboBox>(d, QString::fromLatin1(combo));
    box->setCurrentIndex(box->findData(name));
}

// The upright line under the mouse.
QLineSeries* hover_line(const SweepDialog& d) {
    const QList<QAbstractSeries*> all = d.line_chart()->series();
    const auto it = std::find_if(all.begin(), all.end(), [](const QAbstractSeries* s) {
        return s->objectName() == QStringLiteral("hoverLine");
    });
    return it == all.end() ? nullptr : static_cast<QLineSeries*>(*it);
}

QLabel* info(const SweepDialog& d, int view) { return child<QLabel>(d, view == 0 ? "lineInfo" : "mapInfo"); }

// Points the mouse at the middle of the current view's plot (from a corner
// first: a move to where the mouse already is reaches no widget).
void hover(SweepDialog& d, int view) {
    QTest::mouseMove(&d, QPoint(1, 1));
    if (view == 0) {
        QWidget* port = d.line_view()->viewport();
        QTest::mouseMove(port, d.line_chart()->plotArea().center().toPoint());
    } else {
        const MapRect plot = d.map()->geometry_for(d.map()->size()).plot;
        QTest::mouseMove(d.map(), QPoint(int(plot.x + plot.w / 2), int(plot.y + plot.h / 2)));
    }
}

// The current view saved through "Bild speichern..." into `file`.
QByteArray exported(SweepDialog& d, test::ScriptedMessages& msgs, const QString& file) {
    msgs.answer_file(file);
    child<QPushButton>(d, "saveImage")->click();
    return test::read_file(file);
}

}  // namespace

class TestSweepGlance : public QObject {
    Q_OBJECT
    const State started_ = test::started();

private slots:
    // The mouse over a view shows its line or cell and the costs there; an
    // exported picture is the same as without the mouse, and leaving the
    // view, moving off the plot or choosing another input clears both.
    void hover_stays_on_the_screen_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("clear");  // leave, off, axis
        QTest::newRow("line_left") << 0 << "leave";
        QTest::newRow("line_off_the_plot") << 0 << "off";
        QTest::newRow("line_other_input") << 0 << "axis";
        QTest::newRow("map_left") << 1 << "leave";
        QTest::newRow("map_other_axis") << 1 << "axis";
    }
    void hover_stays_on_the_screen() {
        QFETCH(int, view);
        QFETCH(QString, clear);
        QTemporaryDir dir;
        test::ScriptedMessages msgs;
        SweepDialog d(started_);
        d.resize(1100, 780);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        child<QTabWidget>(d, "views")->setCurrentIndex(view);
        QTest::qWait(20);
        const QString prompt = info(d, view)->text();
        const QByteArray before = exported(d, msgs, dir.filePath(QStringLiteral("vorher.png")));

        hover(d, view);
        QVERIFY(info(d, view)->text() != prompt);
        if (view == 0) QCOMPARE(hover_line(d)->count(), 2);
        QCOMPARE(exported(d, msgs, dir.filePath(QStringLiteral("mit_maus.png"))), before);
        if (view == 0) QCOMPARE(hover_line(d)->count(), 2);  // still on the screen

        QWidget* target = view == 0 ? static_cast<QWidget*>(d.line_view()) : d.map();
        if (clear == "leave") {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(target, &leave);
        } else if (clear == "off") {
            QTest::mouseMove(d.line_view()->viewport(), QPoint(2, 2));
        } else {
            choose(d, view == 0 ? "sweepInput" : "mapY", QStringLiteral("gf_vab"));
        }
        QCOMPARE(info(d, view)->text(), prompt);
        if (view == 0) QCOMPARE(hover_line(d)->count(), 0);
        QVERIFY(msgs.shown().empty());
    }

    // Each list of the stand as the line's input and as the map's first
    // axis: one point per entry, every one computed, and named by its word.
    void list_inputs_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("species") << "gi_ba" << 10 << "Baumart Birke, Erle, Pappel, Weide, Eberesche, Buche, Eiche, "
                                                     "Esche, Ahorn, Kirsche: III) Hochmechanisierte Holzernte";
        QTest::newRow("form") << "gi_sf" << 4 << "Formigkeit vollholzig/langschäftig, normal/mittelschäftig, "
            "abholzig/kurzschäftig, stark abholzig/sehr kurzschäftig: III) Hochmechanisierte Holzernte";
        QTest::newRow("spacing") << "gi_ar" << 2 << "Abstand Rückegassen bis 20 m: III) Hochmechanisierte Holzernte; "
                                                    "> 20 m: I) Konventionelle Holzernte";
        QTest::newRow("trafficability") << "gi_br" << 2 << "Befahrbarkeit Rückegassen vorhanden: III) "
            "Hochmechanisierte Holzernte; nicht vorhanden: kein System geeignet";
        QTest::newRow("walkability") << "gi_i_bb" << 6 << "Begehbarkeit keine Behinderung, mittlere Behinderung, "
            "starke Behinderung, sehr starke Behinderung, extrem starke Behinderung, Sonderstandort: III) "
            "Hochmechanisierte Holzernte";
        QTest::newRow("cable_volume") << "gi_hvs" << 2 << "Mindestvolumen je Seillinie erreicht nein, ja: III) "
                                                         "Hochmechanisierte Holzernte";
        QTest::newRow("crowns") << "gi_v_kf" << 3 << "Kronenform kleine Kronen, mittelgroße Kronen, große Kronen: "
                                                     "III) Hochmechanisierte Holzernte";
    }
    void list_inputs() {
        QFETCH(QString, input);
        QFETCH(int, entries);
        QFETCH(QString, sentence);
        SweepDialog d(started_);
        choose(d, "sweepInput", input);
        QCOMPARE(int(d.line_points().size()), entries);
        QCOMPARE(child<QLabel>(d, "cheapestText")->text(), sentence);

        choose(d, "mapX", input);
        const MapData& map = d.map()->data();
        QCOMPARE(int(map.x.count), entries);
        QCOMPARE(map.cells.size(), map.x.count * map.y.count);
        QVERIFY(std::all_of(map.cells.begin(), map.cells.end(), [](const auto& p) { return p.computed; }));
        // The first cell names the first entry by its word, as the sentence does.
        const QString first = sentence.section(QRegularExpression(QStringLiteral("[,:]")), 0, 0);
        QVERIFY2(d.map()->cell_text(0, 0).startsWith(first + ", Hangneigung "), qPrintable(d.map()->cell_text(0, 0)));
    }

    // The map's axes take "von", "bis" and "Schritt" as the line does; a
    // range refused names its axis, and too many cells are refused.
    void map_ranges_data() {
        QTest::addColumn<QString>("upright");  // the input upright, the slope when empty
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cells");  // 0: refused
        QTest::addColumn<QString>("status");
        QTest::newRow("slope_narrowed") << "" << "mapYTo" << "40" << 85 * 41 << "";
        QTest::newRow("coarser_bhd") << "" << "mapXStep" << "2" << 43 * 66 << "";
        QTest::newRow("step_zero") << "" << "mapXStep" << "0" << 0 << "waagerecht: ";
        QTest::newRow("slope_beyond_the_list") << "" << "mapYTo" << "500" << 0 << "senkrecht: ";
        QTest::newRow("too_many_cells") << "gf_vab" << "mapYStep" << "0,001" << 0 << "Die Bereiche ergeben ";
    }
    void map_ranges() {
        QFETCH(QString, upright);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, cells);
        QFETCH(QString, status);
        SweepDialog d(started_);
        if (!upright.isEmpty()) choose(d, "mapY", upright);
        QLineEdit* edit = child<QLineEdit>(d, field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QCOMPARE(int(d.map()->data().cells.size()), cells);
        QLabel* shown = child<QLabel>(d, "mapStatus");
        QCOMPARE(shown->isHidden(), status.isEmpty());
        if (!status.isEmpty()) QVERIFY2(shown->text().startsWith(status), qPrintable(shown->text()));
        // Another input on the axis brings its own default range back.
        choose(d, field.startsWith(QStringLiteral("mapX")) ? "mapX" : "mapY", QStringLiteral("gf_fw"));
        QVERIFY(shown->isHidden());
        QCOMPARE(d.map()->data().cells.size(), d.map()->data().x.count * d.map()->data().y.count);
    }

    // A picture and a page name the stand and list the inputs held at its
    // values, label and value as the dialogs show them; the swept ones and
    // an own piece volume not given are not among them.
    void exports_name_what_is_held_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("route");  // svg, print
        QTest::addColumn<QString>("set");
        QTest::addColumn<QStringList>("held");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("line_picture") << 0 << "svg" << ""
            << QStringList{"Bestand: Abteilung 12b, Eichenhang Festgehaltene Eingaben \u2013 Hangneigung [%]: 14;",
                           "Hauptbaumart Laubholz: Birke;", "Formigkeit: normal/mittelschäftig;",
                           "Abstand Rückegassen [m]: bis 20;", "Forstwirt (ohne PNK) [Euro/Std.]: 12,00;",
                           "Höhe PNK Forstwirt [%]: 60;", "Seilkran inkl. Prozessor [Euro/MAS]: 254,15"}
            << QStringList{"BHD [cm]:", "Stückvolumen"};
        QTest::newRow("map_picture_own_piece_volume") << 1 << "svg" << "gf_stm=0.4"
            << QStringList{"Eingaben \u2013 Volumen ausscheidender Bestand [EFm/ha]: 30,00;",
                           "Stückvolumen je Baum [EFm] (eigene Eingabe): 0,4000;"}
            << QStringList{"BHD [cm]:", "Hangneigung [%]:"};
        QTest::newRow("line_page") << 0 << "print" << ""
            << QStringList{"Abteilung 12b, Eichenhang", "I) Konventionelle Holzernte. Festgehaltene Eingaben \u2013 "
                           "Hangneigung [%]: 14; Volumen ausscheidender Bestand [EFm/ha]: 30,00;"}
            << QStringList{"BHD [cm]:"};
    }
    void exports_name_what_is_held() {
        QFETCH(int, view);
        QFETCH(QString, route);
        QFETCH(QString, set);
        QFETCH(QStringList, held);
        QFETCH(QStringList, absent);
        QTemporaryDir dir;
        test::ScriptedMessages msgs;
        State s = started_;
        if (!set.isEmpty()) test::set_values(s, set);
        SweepDialog d(s);
        d.set_stand_name(QStringLiteral("Abteilung 12b, Eichenhang"));
        d.resize(1100, 780);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        child<QTabWidget>(d, "views")->setCurrentIndex(view);
        QString text;
        if (route == "svg") {
            // The texts of the picture, its wrapped lines joined again.
            const QString svg = QString::fromUtf8(exported(d, msgs, dir.filePath(QStringLiteral("bild.svg"))));
            QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral(">([^<]*)</text>")).globalMatch(svg);
            while (it.hasNext()) text += it.next().captured(1).replace(QStringLiteral("&gt;"), QStringLiteral(">")) + ' ';
        } else {
            const QString pdf = dir.filePath(QStringLiteral("seite.pdf"));
            QVERIFY(test::print_from_preview(child<QPushButton>(d, "print"), pdf).answered);
            text = QString::fromStdString(forstrix::test::flat(forstrix::test::pdf_text(pdf.toStdString())));
        }
        for (const QString& t : held) QVERIFY2(text.contains(t), qPrintable(t + "\n in: " + text));
        for (const QString& t : absent) QVERIFY2(!text.contains(t), qPrintable(t));
    }

    // The window's table speaks German: the stand and what is held on top,
    // the input's label and the systems' titles as column heads, list
    // entries by their words, costs with two decimals as the window shows
    // them, the suitable systems and the cheapest by name.
    void table_for_people_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("lines");  // lines the table holds
        QTest::newRow("bhd") << "gi_bhd" << QStringList{
            "Bestand;\"Abteilung 12b; Eichenhang\"", "Festgehaltene Eingaben", "Hangneigung [%];14",
            "Forstwirt (ohne PNK) [Euro/Std.];12,00",
            "BHD [cm];I) Konventionelle Holzernte, inklusive Vermessung [Euro/Fm];II) Integrierte Holzernte, "
            "inklusive Vermessung [Euro/Fm];III) Hochmechanisierte Holzernte (Harvestermaß) [Euro/Fm];IV) "
            "Hochmechanisierte Holzernte durch Hangsysteme (Harvestermaß) [Euro/Fm];V) Yarding (Prozessormaß) "
            "[Euro/Fm];VI) Spanholz (Vollbäume für Hackschnitzel, unvermessen) [Euro/Fm];Geeignet;Günstigstes "
            "geeignetes System",
            "6;315,18;408,25;220,57;283,63;252,06;65,73;VI;VI) Spanholz"};
        QTest::newRow("trafficability") << "gi_br" << QStringList{
            "vorhanden;28,15;33,02;21,74;29,58;123,10;20,83;I, II, III;III) Hochmechanisierte Holzernte",
            "nicht vorhanden;28,15;33,02;21,74;29,58;123,10;20,83;;kein System geeignet"};
    }
    void table_for_people() {
        QFETCH(QString, input);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        test::ScriptedMessages msgs;
        SweepDialog d(started_);
        d.set_stand_name(QStringLiteral("Abteilung 12b; Eichenhang"));
        choose(d, "sweepInput", input);
        msgs.answer_file(dir.filePath(QStringLiteral("tabelle.csv")));
        child<QPushButton>(d, "saveTable")->click();
        const QByteArray bytes = test::read_file(dir.filePath(QStringLiteral("tabelle.csv")));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFKostenverlauf\n"));
        const QStringList table = QString::fromUtf8(bytes.mid(3)).split(QLatin1Char('\n'));
        for (const QString& line : lines) QVERIFY2(table.contains(line), qPrintable(line));
    }

    // The screenshots of a list input: the line over "Baumart", the map over
    // it with BHD 10 to 60 cm in steps of 2 upright.
    void list_screenshots() {
        SweepDialog d(started_);
        d.resize(1200, 820);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        choose(d, "sweepInput", QStringLiteral("gi_ba"));
        QTest::qWait(20);
        test::save_screenshot(&d, QStringLiteral("kostenverlauf_baumart"));
        choose(d, "mapX", QStringLiteral("gi_ba"));
        choose(d, "mapY", QStringLiteral("gi_bhd"));
        for (const auto& [field, text] : {std::pair{"mapYFrom", "10"}, {"mapYTo", "60"}, {"mapYStep", "2"}}) {
            child<QLineEdit>(d, field)->selectAll();
            QTest::keyClicks(child<QLineEdit>(d, field), QString::fromLatin1(text));
        }
        child<QTabWidget>(d, "views")->setCurrentIndex(1);
        QTest::qWait(20);
        QVERIFY(child<QLabel>(d, "mapStatus")->isHidden());
        test::save_screenshot(&d, QStringLiteral("kostenverlauf_karte_baumart"));
    }
};

QTEST_MAIN(TestSweepGlance)
#include "test_sweep_glance.moc"
