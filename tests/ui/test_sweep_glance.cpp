// The Kostenverlauf as a planner hands it on: the hover marks stay on the
// screen, list inputs as line and map axes, the map's own ranges, the stand
// and the inputs held on every export, and the table in German words.
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

using namespace forstrix::ui;
using forstrix::ui::test::child;

namespace {

// A shown window over the started state, the stand named, on view 0 (line) or 1 (map).
struct Window {
    test::ScriptedMessages msgs;
    QTemporaryDir dir;
    SweepDialog d;
    explicit Window(const forstrix::State& s, int view = 0) : d(s) {
        d.set_stand_name(QStringLiteral("Abteilung 12b; Eichenhang"));
        d.resize(1200, 820);
        d.show();
        child<QTabWidget>(d, "views")->setCurrentIndex(view);
        QTest::qWait(20);
    }
    void choose(const char* combo, const char* name) {
        auto* box = child<QComboBox>(d, QString::fromLatin1(combo));
        box->setCurrentIndex(box->findData(QString::fromLatin1(name)));
    }
    void type(const char* field, const char* text) {
        child<QLineEdit>(d, QString::fromLatin1(field))->selectAll();
        QTest::keyClicks(child<QLineEdit>(d, QString::fromLatin1(field)), QString::fromUtf8(text));
    }
    // What a button saves into `name` in the window's folder.
    QByteArray saved(const char* button, const QString& name) {
        msgs.answer_file(dir.filePath(name));
        child<QPushButton>(d, QString::fromLatin1(button))->click();
        return test::read_file(dir.filePath(name));
    }
    int hover_points() const {
        for (QAbstractSeries* s : d.line_chart()->series())
            if (s->objectName() == QStringLiteral("hoverLine")) return int(static_cast<QLineSeries*>(s)->count());
        return -1;
    }
};

}  // namespace

class TestSweepGlance : public QObject {
    Q_OBJECT
    const forstrix::State started_ = test::started();

private slots:
    // The mouse shows a line or cell and its costs; a picture saved then is
    // the one saved without it, and leaving, moving off the plot or another
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
        const QByteArray before = w.saved("saveImage", QStringLiteral("ohne.png"));
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

    // A list of the stand as the line's input and the map's first axis:
    // one point per entry, named by its word.
    void list_inputs_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("species") << "gi_ba" << 10 << "Baumart Birke, Erle, Pappel, Weide, Eberesche, Buche, Eiche, "
                                                     "Esche, Ahorn, Kirsche: III) Hochmechanisierte Holzernte";
        QTest::newRow("spacing") << "gi_ar" << 2 << "Abstand Rückegassen bis 20 m: III) Hochmechanisierte Holzernte; "
                                                    "> 20 m: I) Konventionelle Holzernte";
    }
    void list_inputs() {
        QFETCH(QString, input);
        QFETCH(int, entries);
        QFETCH(QString, sentence);
        Window w(started_);
        w.choose("sweepInput", qPrintable(input));
        QCOMPARE(int(w.d.line_points().size()), entries);
        QCOMPARE(child<QLabel>(w.d, "cheapestText")->text(), sentence);
        w.choose("mapX", qPrintable(input));
        QCOMPARE(int(w.d.map()->data().x.count), entries);
        QCOMPARE(w.d.map()->data().cells.size(), entries * w.d.map()->data().y.count);
        const QString first = sentence.section(QRegularExpression(QStringLiteral("[,:]")), 0, 0);
        QVERIFY2(w.d.map()->cell_text(0, 0).startsWith(first + ", Hangneigung "), qPrintable(first));
        if (input != "gi_ba") return;
        QTest::qWait(50);  // the chart laid out anew
        test::save_screenshot(&w.d, QStringLiteral("kostenverlauf_baumart"));
        w.choose("mapY", "gi_bhd");
        for (const auto& [field, text] : {std::pair{"mapYFrom", "10"}, {"mapYTo", "60"}, {"mapYStep", "2"}})
            w.type(field, text);
        child<QTabWidget>(w.d, "views")->setCurrentIndex(1);
        QTest::qWait(20);
        test::save_screenshot(&w.d, QStringLiteral("kostenverlauf_karte_baumart"));
    }

    // The map's axes take "von", "bis" and "Schritt"; a refused range names
    // its axis, and too many cells are refused.
    void map_ranges_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cells");
        QTest::addColumn<QString>("status");
        QTest::newRow("slope_narrowed") << "mapYTo" << "40" << 85 * 41 << "";
        QTest::newRow("step_zero") << "mapXStep" << "0" << 0 << "waagerecht: ";
        QTest::newRow("too_many_cells") << "mapYStep" << "0,001" << 0 << "Die Bereiche ergeben ";
    }
    void map_ranges() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, cells);
        QFETCH(QString, status);
        Window w(started_, 1);
        if (cells == 0 && status.startsWith("Die")) w.choose("mapY", "gf_vab");
        w.type(qPrintable(field), qPrintable(text));
        QCOMPARE(int(w.d.map()->data().cells.size()), cells);
        QLabel* shown = child<QLabel>(w.d, "mapStatus");
        QVERIFY2(shown->isHidden() ? status.isEmpty() : shown->text().startsWith(status), qPrintable(shown->text()));
    }

    // Pictures, pages and tables name the stand and the inputs held at its
    // values as the dialogs show them, not the swept ones nor an own piece
    // volume not given. The table speaks German: labels and titles as
    // heads, list entries by their words, costs with two decimals.
    void exports_say_what_is_held_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("route");  // svg, print, csv
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("held");
        QTest::newRow("line_picture") << 0 << "svg" << "gi_bhd" << QStringList{
            "Bestand: Abteilung 12b; Eichenhang Festgehaltene Eingaben \u2013 Hangneigung [%]: 14;",
            "Hauptbaumart Laubholz: Birke;", "Forstwirt (ohne PNK) [Euro/Std.]: 12,00;", "PNK Forstwirt [%]: 60;"};
        QTest::newRow("map_picture_own_piece_volume") << 1 << "svg" << "gi_bhd" << QStringList{
            "Eingaben \u2013 Volumen ausscheidender Bestand [EFm/ha]: 30,00;",
            "Stückvolumen je Baum [EFm] (eigene Eingabe): 0,4000;"};
        QTest::newRow("line_page") << 0 << "print" << "gi_bhd" << QStringList{
            "I) Konventionelle Holzernte. Festgehaltene Eingaben \u2013 Hangneigung [%]: 14;"};
        QTest::newRow("line_table") << 0 << "csv" << "gi_bhd" << QStringList{
            "\xEF\xBB\xBFKostenverlauf\nBestand;\"Abteilung 12b; Eichenhang\"\nFestgehaltene Eingaben\n"
            "Hangneigung [%];14\n",
            "\nBHD [cm];I) Konventionelle Holzernte, inklusive Vermessung [Euro/Fm];II) Integrierte Holzernte, ",
            "[Euro/Fm];Geeignet;Günstigstes geeignetes System\n6;315,18;408,25;220,57;283,63;252,06;65,73;VI;VI) "
            "Spanholz\n"};
        QTest::newRow("list_table") << 0 << "csv" << "gi_br" << QStringList{
            "\nvorhanden;28,15;33,02;21,74;29,58;123,10;20,83;I, II, III;III) Hochmechanisierte Holzernte\n"
            "nicht vorhanden;28,15;33,02;21,74;29,58;123,10;20,83;;kein System geeignet\n"};
    }
    void exports_say_what_is_held() {
        QFETCH(int, view);
        QFETCH(QString, route);
        QFETCH(QString, input);
        QFETCH(QStringList, held);
        forstrix::State s = started_;
        if (view == 1) test::set_values(s, QStringLiteral("gf_stm=0.4"));
        Window w(s, view);
        w.choose("sweepInput", qPrintable(input));
        QString text;
        if (route == "csv") {
            text = QString::fromUtf8(w.saved("saveTable", QStringLiteral("tabelle.csv")));
        } else if (route == "svg") {
            // The texts of the picture, its wrapped lines joined again.
            const QString svg = QString::fromUtf8(w.saved("saveImage", QStringLiteral("bild.svg")));
            auto it = QRegularExpression(QStringLiteral(">([^<]*)</text>")).globalMatch(svg);
            while (it.hasNext()) text += it.next().captured(1).replace(QStringLiteral("&gt;"), QStringLiteral(">")) + ' ';
        } else {
            const QString pdf = w.dir.filePath(QStringLiteral("seite.pdf"));
            QVERIFY(test::print_from_preview(child<QPushButton>(w.d, "print"), pdf).answered);
            text = QString::fromStdString(forstrix::test::flat(forstrix::test::pdf_text(pdf.toStdString())));
        }
        for (const QString& t : held) QVERIFY2(text.contains(t), qPrintable(t));
        // Held: the stand's BHD of 20 cm unless swept, its slope unless the map sweeps it.
        QCOMPARE(text.contains(QStringLiteral("BHD [cm]: 20")) || text.contains(QStringLiteral("BHD [cm];20")),
                 input != "gi_bhd");
        QCOMPARE(text.contains(QStringLiteral("Hangneigung [%]: 14")) || text.contains(QStringLiteral("Hangneigung [%];14")),
                 view == 0);
        QCOMPARE(text.contains(QStringLiteral("Stückvolumen")), view == 1);
    }
};

QTEST_MAIN(TestSweepGlance)
#include "test_sweep_glance.moc"
