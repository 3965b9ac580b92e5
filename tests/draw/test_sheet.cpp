// The result sheet as a reader of its PDF finds it: pages, figures in their
// rows, the stand lines, the basics, the extras in their places, vector
// drawing with embedded fonts; and the chart's hatch within its bars.
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "core/cost_inputs.h"
#include "core/emissions.h"
#include "core/numtext.h"
#include "core/result_tables.h"
#include "core/scenario.h"
#include "core/suitability.h"
#include "draw/chart_paint.h"
#include "draw/sheet.h"
#include "files/report.h"
#include "../support/pdf_text.h"

using forstrix::State;
using forstrix::draw::ResultSheet;
using forstrix::draw::SheetExtras;
using forstrix::test::flat;

namespace {

// A scenario as forstrix-cli computes it from NAME=VALUE pairs.
State scenario(const QStringList& sets) {
    State s;
    std::vector<forstrix::Given> given;
    for (const QString& set : sets) {
        forstrix::Problem problem;
        const std::string name = set.section('=', 0, 0).toStdString();
        const forstrix::ValueInfo* info = forstrix::find_settable(name, problem);
        given.push_back({info, set.section('=', 1).toDouble()});
    }
    forstrix::ScenarioOutcome outcome;
    forstrix::compute_scenario(s, given, nullptr, outcome);
    if (!outcome.ok()) qFatal("refused scenario: %s", outcome.problems.front().message.c_str());
    return s;
}

struct Read {
    int sheet_pages = 0;  // as the sheet counts them
    int pdf_pages = 0;    // as pdfinfo counts them
    std::string text;     // flattened, in drawing order
    QByteArray bytes;
};

Read read(const State& s, const SheetExtras& extras = {}) {
    const ResultSheet sheet(s, extras, QDate(2026, 12, 7));
    Read r;
    r.sheet_pages = sheet.page_count();
    r.bytes = forstrix::draw::sheet_pdf(sheet);
    QTemporaryDir dir;
    const std::string path = dir.filePath("sheet.pdf").toStdString();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(r.bytes) != r.bytes.size()) return r;
    file.close();
    r.pdf_pages = forstrix::test::pdf_pages(path);
    r.text = flat(forstrix::test::pdf_text(path));
    return r;
}

std::string money(double v) { return forstrix::format_comma(v, 2); }

// A name, two reasons for every unsuitable system and, with `notes`, a
// further line under every suitable one.
SheetExtras full_extras(const std::string& name, bool notes = false) {
    SheetExtras x;
    x.stand_name = name;
    for (std::size_t i = 0; i < 6; ++i) {
        x.reasons[i] = {"BHD 20 cm: höchstens 18 cm", "Hangneigung 14 %: mindestens 36 %"};
        if (notes) x.notes[i] = {"Holzpreis frei Waldstraße 45 Euro/Fm, Abfuhr bis Ende März"};
    }
    return x;
}

}  // namespace

class TestSheet : public QObject {
    Q_OBJECT
private slots:
    void pages_data() {
        QTest::addColumn<QStringList>("sets");
        QTest::addColumn<bool>("all_suitable");  // every flag forced, as no stand has it
        QTest::addColumn<bool>("extras");        // a name, two reasons and a note per system
        QTest::addColumn<int>("pages");
        QTest::newRow("default stand") << QStringList{} << false << false << 1;
        QTest::newRow("default stand, named, with reasons") << QStringList{} << false << true << 1;
        QTest::newRow("BHD 16: I, II, III and VI") << QStringList{"gi_bhd=16"} << false << false << 1;
        QTest::newRow("BHD 16, named, with reasons and notes") << QStringList{"gi_bhd=16"} << false << true << 1;
        QTest::newRow("no system suits") << QStringList{"gi_bhd=90", "gi_hn=65", "gi_br=1"} << false << true << 1;
        QTest::newRow("all six with everything: two pages at most") << QStringList{} << true << true << 2;
    }
    void pages() {
        QFETCH(QStringList, sets);
        QFETCH(bool, all_suitable);
        QFETCH(bool, extras);
        State s = scenario(sets);
        if (all_suitable) s.set_flags({1, 1, 1, 1, 1, 1});
        // The stress row has a name of two lines and a further line per system.
        const std::string name = all_suitable ? "Abteilung 12b, Eichenhang am Mühlbach, Forstbetriebsgemeinschaft "
                                                "Oberes Tal, Waldbesitzervereinigung Unteres Tal"
                                              : "Abteilung 12b, Eichenhang";
        const Read r = read(s, extras ? full_extras(name, all_suitable) : SheetExtras{});
        QCOMPARE(r.sheet_pages, r.pdf_pages);
        QTEST(r.pdf_pages, "pages");
        // Every page has its foot.
        for (int page = 1; page <= r.pdf_pages; ++page) {
            const std::string foot = "Seite " + std::to_string(page) + " von " + std::to_string(r.pdf_pages);
            QVERIFY2(r.text.find(foot) != std::string::npos, foot.c_str());
        }
        QCOMPARE(r.text.find("Alle Angaben ohne Gewähr Forstrix ") != std::string::npos, true);
    }

    // What the results dialog shows of each system, row by row, and the
    // report's stand lines, each label followed by its value.
    void figures_data() {
        QTest::addColumn<QStringList>("sets");
        QTest::newRow("default stand") << QStringList{};
        QTest::newRow("BHD 16") << QStringList{"gi_bhd=16"};
        QTest::newRow("oak on a slope, wide spacing") << QStringList{"gi_ba=6", "gi_hn=45", "gi_ar=1", "gi_bhd=30"};
        QTest::newRow("own wages and a typed machine cost")
            << QStringList{"gf_fw=14.5", "gf_nmf=55", "gi_zest=150", "gf_hab112=140.25"};
    }
    void figures() {
        QFETCH(QStringList, sets);
        const State s = scenario(sets);
        const Read r = read(s);
        auto has = [&r](const std::string& piece) { return r.text.find(flat(piece)) != std::string::npos; };

        QVERIFY(r.text.rfind("Zeitbedarf und Kosten der Holzernte 07.12.2026", 0) == 0);
        for (const forstrix::files::ReportLine& line : forstrix::files::report_stand_lines(s))
            QVERIFY2(has(line.label + " " + line.value), (line.label + " " + line.value).c_str());

        // A suitable system's table in one piece, from its caption to its
        // last sum; an unsuitable one's caption with the rules' reasons.
        for (int i = 0; i < 6; ++i) {
            const forstrix::SystemResults& sys = forstrix::system_results()[static_cast<std::size_t>(i)];
            const bool suitable = s.*sys.flag != 0;
            std::string table = std::string(sys.title) + (suitable ? " - geeignet" : " - ungeeignet");
            std::string verdict = table;
            for (const forstrix::Reason& reason : forstrix::unsuitability_reasons(s, i))
                verdict += (verdict == table ? " " : "; ") + reason.text;
            QVERIFY2(has(verdict), verdict.c_str());
            QVERIFY(suitable || verdict != table);  // every unsuitable system says why
            table += " Zeitbedarf: Kosten:";
            for (const forstrix::ResultRow& row : sys.rows)
                table += std::string(" ") + row.label + " " + money(s.*row.time) + " " + row.unit + " " +
                         money(s.*row.cost) + " Euro/Fm";
            for (const forstrix::ResultSum& sum : sys.sums)
                table += std::string(" ") + sum.label + " " + money(s.*sum.cost) + " Euro/Fm " + sum.assortment;
            table += " " + forstrix::fuel_text(s, i);
            QVERIFY2(has(table) == suitable, table.c_str());
        }
        if (sets.isEmpty())  // the worked example's sums of I, I measured, and III
            for (const char* sum : {"Summe: 26,48", "inklusive Vermessung 28,15", "Summe: 21,74"})
                QVERIFY2(has(sum), sum);

        // The basics as the cost dialog shows them (a typed machine cost as
        // typed), and the farm tractor's computed cost that system II uses.
        for (const forstrix::CostInput& in : forstrix::kCostInputs) {
            const double v = in.value ? s.*in.value : s.*in.level;
            const std::string text = std::string(in.label) + " " + (in.whole ? forstrix::format_whole(v) : money(v));
            QVERIFY2(has(text), text.c_str());
        }
        QVERIFY(has("Agrarschlepper (II) [Euro/MAS] " + money(s.gf_asb75)));
        if (sets.contains("gf_hab112=140.25")) QVERIFY(has("Harvester [Euro/MAS] 140,25"));
    }

    // The name under the title, the reasons under their system's line, the
    // notes under their system's sums.
    void extras_in_place() {
        const State s = scenario({"gi_bhd=16"});  // I, II, III, VI suit; IV, V do not
        SheetExtras x;
        x.stand_name = "Abteilung 12b, Eichenhang";
        x.reasons[4] = {"BHD 16 cm: mindestens 18 cm", "Mindestvolumen [ > 70 EFm] je Seillinie nicht erreicht"};
        x.notes[2] = {"Holzpreis frei Waldstraße 45 Euro/Fm"};
        x.reasons[2] = {"never shown: III suits"};
        x.notes[4] = {"never shown: V does not suit"};
        const Read r = read(s, x);
        const std::string& t = r.text;
        QVERIFY(t.rfind("Zeitbedarf und Kosten der Holzernte 07.12.2026 Abteilung 12b, Eichenhang Bestandesdaten", 0) == 0);
        QVERIFY(t.find("V) Yarding - ungeeignet BHD 16 cm: mindestens 18 cm; Mindestvolumen [ > 70 EFm] je "
                       "Seillinie nicht erreicht") != std::string::npos);
        // III's sums, its fuel line, the further line, then the next system.
        QVERIFY(t.find("Kurzholz, vermessen (Harvestermaß) " + forstrix::fuel_text(s, 2) +
                       " Holzpreis frei Waldstraße 45 Euro/Fm VI) Spanholz - geeignet") != std::string::npos);
        QVERIFY(t.find("never shown") == std::string::npos);
    }

    // Lines and real text: no picture of the page, the fonts in the file.
    void vector_and_fonts() {
        const Read r = read(scenario({}));
        QVERIFY(!r.bytes.isEmpty());
        QVERIFY(r.bytes.startsWith("%PDF-"));
        QVERIFY(!r.bytes.contains("/Subtype /Image"));
        QVERIFY(r.bytes.contains("/FontFile2"));
        QVERIFY(r.bytes.contains("/MediaBox [0 0 595"));  // A4 portrait, in points
        QVERIFY(r.text.find("Gesamtfläche") != std::string::npos);  // no ligature for "fl"
    }

    // The hatch of a bar stays inside the bar, at any scale.
    void hatch_inside_bars_data() {
        QTest::addColumn<double>("unit");
        QTest::addColumn<double>("line_width");
        QTest::newRow("screen pixels") << 1.0 << 0.0;
        QTest::newRow("paper, 3 pixels a unit") << 3.0 << 1.0;
    }
    void hatch_inside_bars() {
        QFETCH(double, unit);
        QFETCH(double, line_width);
        forstrix::draw::ChartGeometry g;
        g.bars.push_back({2, 20.0, 10, 10, 70, 26});
        QImage image(static_cast<int>(100 * unit), static_cast<int>(40 * unit), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            forstrix::draw::ChartStyle style;
            style.unit = unit;
            style.line_width = line_width;
            forstrix::draw::paint_cost_chart(p, g, QFont(), style);
        }
        const QRect bar(static_cast<int>(10 * unit), static_cast<int>(10 * unit), static_cast<int>(60 * unit),
                        static_cast<int>(16 * unit));
        const QRect around = bar.adjusted(-2, -2, 2, 2);
        int inside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) > 128) continue;
                QVERIFY2(around.contains(x, y), qPrintable(QString("ink at %1,%2").arg(x).arg(y)));
                if (bar.adjusted(2, 2, -2, -2).contains(x, y)) ++inside;
            }
        // Hatched, not filled and not empty.
        const int area = bar.width() * bar.height();
        QVERIFY(inside > area / 60);
        QVERIFY(inside < area / 2);
    }

    // For a person to look at: the sheets as they will be once the stand
    // has a name, the reasons are given and a line more per system.
    void screenshots_with_extras_data() {
        QTest::addColumn<QStringList>("sets");
        QTest::newRow("sheet_named_with_reasons") << QStringList{};
        QTest::newRow("sheet_bhd16_named_with_reasons") << QStringList{"gi_bhd=16"};
    }
    void screenshots_with_extras() {
        QFETCH(QStringList, sets);
        const ResultSheet sheet(scenario(sets), full_extras("Abteilung 12b, Eichenhang"), QDate(2026, 12, 7));
        QTemporaryDir dir;
        const QString path = dir.filePath("sheet.pdf");
        QVERIFY(forstrix::draw::write_sheet_pdf(path.toStdString(), sheet).ok());
        QVERIFY(forstrix::test::pdf_to_png(path.toStdString(), FORSTRIX_SCREENSHOT_DIR, QTest::currentDataTag()));
    }
};

QTEST_MAIN(TestSheet)
#include "test_sheet.moc"
