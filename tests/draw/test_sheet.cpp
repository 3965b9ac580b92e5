// The result sheet as a reader of its PDF finds it: one page, the stand
// lines and every system's figures; and the chart's hatch within its bars.
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "core/calc.h"
#include "core/decision.h"
#include "core/numtext.h"
#include "core/result_tables.h"
#include "draw/chart_paint.h"
#include "draw/sheet.h"
#include "files/report.h"
#include "../support/pdf_text.h"

using forstrix::State;
using forstrix::test::flat;

class TestSheet : public QObject {
    Q_OBJECT
private slots:
    // The default stand: one page, the stand's name, the decision above the
    // stand data with a long note cut after three lines, each stand line
    // with its value, each suitable system's rows with time and cost, the
    // worked example's sums and fuel, each unsuitable system with its reasons.
    void default_stand() {
        State s;
        forstrix::startup_compute(s);
        forstrix::calc_zeitbedarfkosten(s);
        forstrix::draw::SheetExtras extras;
        extras.stand_name = "Abteilung 12b, Eichenhang";
        for (int i = 0; i < 12; ++i) extras.note += "Rückegassen im Frühjahr nachbessern, Zufahrt über den Nordweg. ";
        const forstrix::draw::ResultSheet sheet(s, extras, QDate(2026, 12, 7));
        QTemporaryDir dir;
        const std::string path = dir.filePath("sheet.pdf").toStdString();
        QVERIFY(forstrix::draw::write_sheet_pdf(path, sheet).ok());
        QCOMPARE(forstrix::test::pdf_pages(path), 1);
        const std::string text = flat(forstrix::test::pdf_text(path));
        auto has = [&text](const std::string& piece) { return text.find(flat(piece)) != std::string::npos; };
        const std::size_t stand = text.find("Bestandesdaten");
        for (const std::string& piece : forstrix::decision_lines(forstrix::decide(s), s))
            QVERIFY2(text.find(flat(piece)) < stand, piece.c_str());
        QVERIFY(text.find("Rückegassen im Frühjahr") < stand && text.find("…") < stand);
        QVERIFY(forstrix::test::pdf_to_png(path, FORSTRIX_SCREENSHOT_DIR, "sheet_top"));
        for (const forstrix::files::ReportLine& line : forstrix::files::report_stand_lines(s))
            QVERIFY2(has(line.label + " " + line.value), (line.label + " " + line.value).c_str());
        for (const forstrix::SystemResults& sys : forstrix::system_results()) {
            if (s.*sys.flag == 0) continue;
            for (const forstrix::ResultRow& row : sys.rows) {
                const std::string line = std::string(row.label) + " " + forstrix::format_comma(s.*row.time, 2) +
                                         " " + row.unit + " " + forstrix::format_comma(s.*row.cost, 2) + " Euro/Fm";
                QVERIFY2(has(line), line.c_str());
            }
        }
        for (const char* piece : {"Abteilung 12b, Eichenhang", "Summe: 26,48 Euro/Fm",
                                  "inklusive Vermessung 28,15 Euro/Fm", "Summe: 21,74 Euro/Fm",
                                  "Kraftstoff 1,41 l/Fm (Diesel 0,96, Benzin 0,45), CO2 3,65 kg/Fm",
                                  "IV) Hochmechanisierte Holzernte durch Hangsysteme - ungeeignet",
                                  "VI) Spanholz - ungeeignet", "BHD 20 cm: höchstens 18 cm",
                                  "Mindestvolumen [ > 70 EFm] je Seillinie nicht erreicht"})
            QVERIFY2(has(piece), piece);
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
        int inside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) > 128) continue;
                QVERIFY2(bar.adjusted(-2, -2, 2, 2).contains(x, y), qPrintable(QString("ink at %1,%2").arg(x).arg(y)));
                if (bar.adjusted(2, 2, -2, -2).contains(x, y)) ++inside;
            }
        const int area = bar.width() * bar.height();  // hatched: neither filled nor empty
        QVERIFY(inside > area / 60);
        QVERIFY(inside < area / 2);
    }
};

QTEST_MAIN(TestSheet)
#include "test_sheet.moc"
