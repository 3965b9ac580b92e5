// The "Kostenverlauf" window: the line over one input, the sentence naming
// the cheapest suitable system, the map over two inputs, the competition
// switches, the exports, and how the window is reached.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include "core/calc.h"
#include "ui/cost_map.h"
#include "ui/dialog_codes.h"
#include "ui/mainwindow.h"
#include "ui/results_dialog.h"
#include "ui/sweep_dialog.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using forstrix::State;
using namespace forstrix::ui;

namespace {

// The desktop program's state after start-up.
State started() { State s; forstrix::startup_compute(s); return s; }

template <typename T>
T* child(const QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    if (c == nullptr) qFatal("no child %s", name);
    return c;
}

void choose(QComboBox* combo, const char* name) {
    combo->setCurrentIndex(combo->findData(QString::fromLatin1(name)));
}

QLineSeries* marker(const SweepDialog& d) {
    for (QAbstractSeries* s : d.line_chart()->series())
        if (s->objectName() == QStringLiteral("currentValue")) return static_cast<QLineSeries*>(s);
    return nullptr;
}

QString range_texts(const SweepDialog& d) {
    return child<QLineEdit>(d, "sweepFrom")->text() + " " + child<QLineEdit>(d, "sweepTo")->text() + " " +
           child<QLineEdit>(d, "sweepStep")->text();
}

}  // namespace

class TestSweepDialog : public QObject {
    Q_OBJECT
private slots:
    void choosing_an_input_redraws_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("current");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("bhd_whole_list") << "gi_bhd" << "6 90 1" << 85 << 20.0
            << "BHD 6 bis 18 cm: VI) Spanholz; 19 bis 31 cm: III) Hochmechanisierte Holzernte; "
               "ab 32 cm: I) Konventionelle Holzernte";
        QTest::newRow("slope_whole_list") << "gi_hn" << "0 65 1" << 66 << 14.0
            << "Hangneigung 0 bis 35 %: III) Hochmechanisierte Holzernte; 36 bis 60 %: IV) Hochmechanisierte "
               "Holzernte durch Hangsysteme; ab 61 %: kein System geeignet";
        QTest::newRow("form_classes_by_name") << "gi_sf" << "0 3 1" << 4 << 1.0
            << "Formigkeit vollholzig/langschäftig bis stark abholzig/sehr kurzschäftig: III) Hochmechanisierte "
               "Holzernte";
        // Half to twice 150 m in steps of 2 m.
        QTest::newRow("skidding_distance_half_to_twice") << "gf_i_rd" << "74 300 2" << 114 << 150.0
            << "Rückedistanz 74 bis 300 m: III) Hochmechanisierte Holzernte";
        // The model's piece volume while no own one is given.
        QTest::newRow("own_piece_volume_from_the_model") << "gf_stm" << "0,116 0,472 0,002" << 179 << 0.23524314
            << "";
    }
    void choosing_an_input_redraws() {
        QFETCH(QString, input);
        QFETCH(QString, range);
        QFETCH(int, points);
        QFETCH(double, current);
        QFETCH(QString, sentence);
        const State s = started();
        SweepDialog d(s);
        auto* combo = child<QComboBox>(d, "sweepInput");
        QCOMPARE(combo->currentData().toString(), QStringLiteral("gi_bhd"));
        if (input != QStringLiteral("gi_bhd")) {
            choose(combo, "gi_hn");  // first away from BHD, so that every row redraws
            choose(combo, input.toLatin1().constData());
        }
        QCOMPARE(range_texts(d), range);
        QCOMPARE(static_cast<int>(d.line_points().size()), points);
        QCOMPARE(d.line_chart()->axes(Qt::Horizontal).front()->titleText(), combo->currentText());
        QLineSeries* m = marker(d);
        QVERIFY(m != nullptr);
        QCOMPARE(m->count(), 2);
        QVERIFY(std::abs(m->at(0).x() - current) < 1e-6);
        QCOMPARE(m->at(1).x(), m->at(0).x());
        QVERIFY(m->name().startsWith(QStringLiteral("aktueller Wert: ")));
        if (!sentence.isEmpty()) QCOMPARE(child<QLabel>(d, "cheapestText")->text(), sentence);
        // One legend entry per system, the dashed line's meaning and the marker.
        int shown = 0;
        for (QAbstractSeries* series : d.line_chart()->series()) shown += series->name().isEmpty() ? 0 : 1;
        QCOMPARE(shown, 8);
    }

    void competition_switches_data() {
        QTest::addColumn<QStringList>("unchecked");
        QTest::addColumn<bool>("unmeasured");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("unmeasured_sums_of_i_and_ii") << QStringList{} << true
            << "BHD 6 bis 18 cm: VI) Spanholz; 19 bis 28 cm: III) Hochmechanisierte Holzernte; 29 cm: I) "
               "Konventionelle Holzernte; 30 cm: III) Hochmechanisierte Holzernte; 31 bis 36 cm: II) Integrierte "
               "Holzernte; ab 37 cm: I) Konventionelle Holzernte";
        QTest::newRow("without_chips") << QStringList{"competeVI"} << false
            << "BHD 6 bis 11 cm: kein System geeignet; 12 bis 31 cm: III) Hochmechanisierte Holzernte; ab 32 cm: "
               "I) Konventionelle Holzernte";
        QTest::newRow("all_left_out") << QStringList{"competeI", "competeII", "competeIII", "competeIV", "competeV",
                                                     "competeVI"}
                                      << false << "BHD 6 bis 90 cm: kein System geeignet";
    }
    void competition_switches() {
        QFETCH(QStringList, unchecked);
        QFETCH(bool, unmeasured);
        QFETCH(QString, sentence);
        const State s = started();
        SweepDialog d(s);
        for (const QString& name : unchecked) d.findChild<QCheckBox*>(name)->setChecked(false);
        child<QCheckBox>(d, "unmeasured")->setChecked(unmeasured);
        QCOMPARE(child<QLabel>(d, "cheapestText")->text(), sentence);
    }

    void typed_range() {
        const State s = started();
        SweepDialog d(s);
        auto* step = child<QLineEdit>(d, "sweepStep");
        auto* status = child<QLabel>(d, "lineStatus");
        step->selectAll();
        QTest::keyClicks(step, "0");
        QVERIFY(!status->isHidden());
        QCOMPARE(status->text(), QStringLiteral("Der Schritt muss größer als 0 sein."));
        QVERIFY(d.line_points().empty());
        step->selectAll();
        QTest::keyClicks(step, "7");
        QVERIFY(status->isHidden());
        QCOMPARE(static_cast<int>(d.line_points().size()), 13);  // 6, 13, ..., 90
        QCOMPARE(child<QLabel>(d, "cheapestText")->text(),
                 QStringLiteral("BHD 6 bis 13 cm: VI) Spanholz; 20 bis 27 cm: III) Hochmechanisierte Holzernte; "
                                "ab 34 cm: I) Konventionelle Holzernte"));
    }

    void hover_text() {
        const State s = started();
        SweepDialog d(s);
        d.resize(1100, 780);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // BHD 20 is the default stand: the sums of the worked example.
        QCOMPARE(d.line_point_text(14),
                 QStringLiteral("BHD 20 cm: I 28,15 · II 33,02 · III 21,74 · IV 29,58 (ungeeignet) · V 123,10 "
                                "(ungeeignet) · VI 20,83 (ungeeignet) Euro/Fm; am günstigsten: III"));
        QChart* chart = d.line_chart();
        const QPointF at = chart->mapToPosition(QPointF(40.2, 10.0), chart->series().front());
        QTest::mouseMove(d.line_view()->viewport(), at.toPoint());
        QTRY_VERIFY(child<QLabel>(d, "lineInfo")->text().startsWith(QStringLiteral("BHD 40 cm: I ")));
    }

    void map_colours_data() {
        QTest::addColumn<double>("bhd");
        QTest::addColumn<double>("slope");
        QTest::addColumn<int>("colour");
        QTest::newRow("harvester") << 25.0 << 20.0 << int(kSystemColours[2]);
        QTest::newRow("thin_trees_chips") << 10.0 << 14.0 << int(kSystemColours[5]);
        QTest::newRow("steep_slope_systems") << 20.0 << 50.0 << int(kSystemColours[3]);
        QTest::newRow("thick_trees_conventional") << 60.0 << 10.0 << int(kSystemColours[0]);
        QTest::newRow("too_steep_for_any_system") << 20.0 << 63.0 << int(kNoneColour);
    }
    void map_colours() {
        QFETCH(double, bhd);
        QFETCH(double, slope);
        QFETCH(int, colour);
        const State s = started();
        SweepDialog d(s);
        CostMap* map = d.map();
        QCOMPARE(map->data().x.count * map->data().y.count, std::size_t{85 * 66});
        const std::size_t i = map->data().x.nearest(bhd), j = map->data().y.nearest(slope);
        QCOMPARE(map->cell_colour(i, j), rgb(static_cast<std::uint32_t>(colour)));
        // The painted pixel in the middle of the cell has the same colour.
        map->resize(900, 560);
        const QImage image = map->grab().toImage();
        const MapRect r = map->geometry_for(map->size()).cell(i, j);
        QCOMPARE(image.pixelColor(int(r.x + r.w / 2), int(r.y + r.h / 2)), rgb(static_cast<std::uint32_t>(colour)));
    }

    void map_hover_and_other_inputs() {
        const State s = started();
        SweepDialog d(s);
        d.resize(1100, 780);
        d.show();
        child<QTabWidget>(d, "views")->setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        CostMap* map = d.map();
        const MapGeometry g = map->geometry_for(map->size());
        const MapRect r = g.cell(map->data().x.nearest(20), map->data().y.nearest(14));
        QTest::mouseMove(map, QPoint(int(r.x + r.w / 2), int(r.y + r.h / 2)));
        QTRY_VERIFY(child<QLabel>(d, "mapInfo")->text().startsWith(QStringLiteral("BHD 20 cm, Hangneigung 14 %: I 28,15")));
        QVERIFY(child<QLabel>(d, "mapInfo")->text().endsWith(QStringLiteral("am günstigsten: III")));

        // The same input on both axes is refused; a wage on the vertical axis
        // spans half to twice 12 Euro/Std.
        choose(child<QComboBox>(d, "mapY"), "gi_bhd");
        QVERIFY(!child<QLabel>(d, "mapStatus")->isHidden());
        QVERIFY(map->data().cells.empty());
        choose(child<QComboBox>(d, "mapY"), "gf_fw");
        QVERIFY(child<QLabel>(d, "mapStatus")->isHidden());
        QCOMPARE(map->data().y.from(), 6.0);
        QCOMPARE(map->data().y.last(), 24.0);
        QCOMPARE(map->data().cells.size(), 85 * map->data().y.count);
    }

    void exports_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QByteArray>("begins");
        QTest::addColumn<int>("lines");
        QTest::newRow("line_table") << 0 << "saveTable" << "verlauf.csv" << "kostenverlauf.csv"
            << QByteArray("gi_bhd;g_sys1;g_sys2;g_sys3;g_sys4;g_sys5;g_sys6;gff_g7;gff_g8;gff_g15;gff_g16;gff_g24;"
                          "gff_g31;gff_g39;gff_g45;cheapest\n6;0;0;0;0;0;1;283,52154436150244;")
            << 86;
        QTest::newRow("map_table") << 1 << "saveTable" << "karte.csv" << "kostenkarte.csv"
            << QByteArray("gi_bhd;gi_hn;g_sys1;") << 1 + 85 * 66;
        QTest::newRow("line_png") << 0 << "saveImage" << "verlauf.png" << "kostenverlauf.png"
            << QByteArray("\x89PNG") << -1;
        QTest::newRow("map_svg") << 1 << "saveImage" << "karte.svg" << "kostenkarte.png" << QByteArray("<?xml") << -1;
    }
    void exports() {
        QFETCH(int, tab);
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(QString, suggested);
        QFETCH(QByteArray, begins);
        QFETCH(int, lines);
        QTemporaryDir dir;
        test::ScriptedMessages msgs;
        const State s = started();
        SweepDialog d(s);
        d.resize(1100, 780);
        child<QTabWidget>(d, "views")->setCurrentIndex(tab);
        // Cancelled: nothing written.
        QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(msgs.asked_files().size(), std::size_t{1});
        QCOMPARE(msgs.asked_files().front().proposed, suggested);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);
        msgs.answer_file(dir.filePath(file));
        QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
        QVERIFY(msgs.shown().empty());
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY2(bytes.startsWith(begins), bytes.left(120).constData());
        if (lines >= 0) {
            QCOMPARE(bytes.count('\n'), lines);
            QCOMPARE(bytes.count('\r'), 0);
        }
        if (file.endsWith(QStringLiteral(".svg"))) QVERIFY(bytes.contains("<path") || bytes.contains("<rect"));
    }

    void reached_from_menu_and_results() {
        test::ScriptedMessages msgs;
        State s;
        MainWindow window(s, nullptr);
        window.start_up();
        {
            test::DialogScript script({[](QWidget* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Kostenverlauf"));
                qobject_cast<QDialog*>(dialog)->accept();
            }});
            window.run_command(CmdCostCurve);
            QVERIFY(script.wait_until_done());
            QCOMPARE(script.opened(), QStringList{"SweepDialog"});
        }
        // From the results: the window opens on top and the results stay open.
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

    void opening_size_fits_the_screen_data() {
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QSize>("available");
        QTest::addColumn<QSize>("expected");
        const QSize wide_row(1270, 560);  // the row of six systems sets the width
        QTest::newRow("large_screen_keeps_preferred_height") << wide_row << QSize(1600, 1000) << QSize(1270, 780);
        QTest::newRow("laptop_1366x768_keeps_the_buttons_on_screen")
            << wide_row << QSize(1366, 768) << QSize(1270, 720);
        QTest::newRow("laptop_with_task_bar") << wide_row << QSize(1366, 728) << QSize(1270, 680);
        QTest::newRow("small_layout_on_small_screen") << QSize(600, 400) << QSize(1024, 600) << QSize(1008, 552);
        QTest::newRow("layout_never_squeezed_below_its_minimum")
            << wide_row << QSize(800, 600) << QSize(1270, 560);
    }
    void opening_size_fits_the_screen() {
        QFETCH(QSize, minimum);
        QFETCH(QSize, available);
        QFETCH(QSize, expected);
        QCOMPARE(fitted_dialog_size(QSize(1100, 780), minimum, available, QSize(16, 48)), expected);
    }

    void opens_within_the_screen_when_the_layout_allows() {
        const State s = started();
        SweepDialog d(s);
        const QSize room = d.screen()->availableGeometry().size();
        QVERIFY(d.width() >= d.minimumSizeHint().width());
        QVERIFY(d.height() >= d.minimumSizeHint().height());
        if (d.minimumSizeHint().height() <= room.height() - 48) QVERIFY(d.height() <= room.height() - 48);
        if (d.minimumSizeHint().width() <= room.width() - 16) QVERIFY(d.width() <= room.width() - 16);
    }

    void screenshots() {
        const State s = started();
        SweepDialog d(s);
        d.resize(1200, 820);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        test::save_screenshot(&d, QStringLiteral("kostenverlauf_bhd"));
        child<QTabWidget>(d, "views")->setCurrentIndex(1);
        QTest::qWait(20);
        test::save_screenshot(&d, QStringLiteral("kostenverlauf_karte"));
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
        QTest::newRow("line_view_upright") << 0 << true << ""
            << QStringList{"Kostenverlauf", "ab 32 cm: I) Konventionelle Holzernte"};
        QTest::newRow("map_view_across") << 1 << false << ""
            << QStringList{"Kostenverlauf", "Jede Zelle zeigt das günstigste geeignete System"};
    }
    void print() {
        QFETCH(int, view);
        QFETCH(bool, upright);
        QFETCH(QString, stand);
        QFETCH(QStringList, texts);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("kostenverlauf.pdf"));
        int answered = 0;
        QTimer answer;  // the print dialog the preview's print button opens
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto* print = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                ++answered;
                print->accept();
            }
        });
        QString title;
        test::DialogScript script({[&](QWidget* w) {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(w);
            QVERIFY(preview);
            title = preview->windowTitle();
            QPrinter* printer = preview->printer();
            QCOMPARE(printer->pageLayout().pageSize().id(), QPageSize::A4);
            QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Landscape);
            if (upright) printer->setPageOrientation(QPageLayout::Portrait);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            QAction* print = nullptr;
            for (QAction* a : preview->findChildren<QAction*>())
                if (a->text() == "Drucken" || a->text() == "Print") print = a;
            QVERIFY(print);
            answer.start(10);
            print->trigger();
            answer.stop();
            if (preview->isVisible()) preview->reject();
        }});
        const State s = started();
        SweepDialog d(s);
        d.set_stand_name(stand);
        d.resize(1000, 700);
        d.show();
        child<QTabWidget>(d, "views")->setCurrentIndex(view);
        QTest::mouseClick(child<QPushButton>(d, "print"), Qt::LeftButton);
        QVERIFY(script.wait_until_done());
        QCOMPARE(title, QStringLiteral("Druckvorschau: Kostenverlauf"));
        QCOMPARE(answered, 1);
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
