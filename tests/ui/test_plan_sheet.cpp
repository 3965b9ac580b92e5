// The harvest plan on paper, read back from its PDF as a viewer shows it:
// how many pages, every stand on exactly one of them, the header on every
// page, the totals on the last; and the numbers in the plan's words.
#include <QTemporaryDir>
#include <QtTest>

#include "draw/plan_sheet.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using namespace forstrix;

namespace {

draw::PlanSheet sheet_of(int stands) {
    draw::PlanSheet sheet;
    sheet.plan_name = "Revier Nord";
    sheet.date = QDate(2026, 3, 1);
    for (int i = 1; i <= stands; ++i) {
        draw::PlanSheetLine line;
        line.name = QStringLiteral("Abteilung %1").arg(i, 3, 10, QLatin1Char('0'));
        line.computed = i % 10 != 0;  // every tenth stand refused
        line.volume = 100.0 * i;
        line.chosen = line.computed ? i % 6 : plan::kNone;
        line.euro_fm = 20.0;
        line.euro = 2000.0 * i;
        if (!line.computed) line.note = QStringLiteral("gi_bhd: 95 liegt nicht im Bereich 6 bis 90.");
        sheet.lines.push_back(line);
        // The totals as the plan sums them, so the last page agrees with the lines.
        plan::Totals& t = sheet.totals;
        if (!line.computed) {
            ++t.refused;
            continue;
        }
        plan::SystemTotals& sys = t.systems[static_cast<std::size_t>(line.chosen)];
        for (auto [volume, euro] : {std::pair{&t.volume, &t.euro}, std::pair{&sys.volume, &sys.euro}}) {
            *volume += line.volume;
            *euro += line.euro;
        }
        ++sys.stands;
    }
    sheet.totals.stands = stands;
    return sheet;
}

QStringList pdf_pages_text(const QString& pdf) {
    const QString text = QString::fromStdString(test::pdf_text(pdf.toStdString()));
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

}  // namespace

class TestPlanSheet : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void grouped_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("under a thousand") << 999.0 << 0 << QStringLiteral("999");
        QTest::newRow("a thousand") << 1000.0 << 0 << QStringLiteral("1.000");
        QTest::newRow("millions with decimals") << 1234567.891 << 2 << QStringLiteral("1.234.567,89");
        QTest::newRow("negative") << -123456.26 << 1 << QStringLiteral("-123.456,3");
        QTest::newRow("rounding up to a new group") << 999999.6 << 0 << QStringLiteral("1.000.000");
        QTest::newRow("no figure") << std::numeric_limits<double>::infinity() << 2 << QStringLiteral("---");
    }
    void grouped() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(draw::grouped(value, decimals), text);
    }

    void pages_data() {
        QTest::addColumn<int>("stands");
        QTest::addColumn<int>("pages");
        // Forty stands fill a page.
        QTest::newRow("one stand") << 1 << 1;
        QTest::newRow("a full page, the totals on the next") << 40 << 2;
        QTest::newRow("a stand over, with the totals") << 41 << 2;
        QTest::newRow("120 stands: three full pages and the totals") << 120 << 4;
    }
    void pages() {
        QFETCH(int, stands);
        QFETCH(int, pages);
        const draw::PlanSheet sheet = sheet_of(stands);
        QCOMPARE(draw::plan_sheet_pages(sheet), pages);
        const QString pdf = dir_.filePath(QStringLiteral("plan_%1.pdf").arg(stands));
        QVERIFY(draw::write_plan_sheet_pdf(pdf.toStdString(), sheet).ok());
        QCOMPARE(test::pdf_pages(pdf.toStdString()), pages);

        const QStringList text = pdf_pages_text(pdf);
        QCOMPARE(text.size(), pages);
        for (int p = 0; p < pages; ++p) {
            QVERIFY(text[p].contains(QStringLiteral("Seite %1 von %2").arg(p + 1).arg(pages)));
            QCOMPARE(text[p].contains(QStringLiteral("Plan gesamt")), p == pages - 1);
            // The header over the stands on every page that has stands.
            const bool has_stands = text[p].contains(QStringLiteral("Abteilung "));
            QCOMPARE(text[p].contains(QStringLiteral("Bemerkung")), has_stands);
        }
        for (int i = 1; i <= stands; ++i) {
            const QString name = QStringLiteral("Abteilung %1").arg(i, 3, 10, QLatin1Char('0'));
            int found = 0;
            for (const QString& page : text) found += static_cast<int>(page.count(name));
            QVERIFY2(found == 1, qPrintable(name));
        }
        if (stands == 120)
            test::pdf_to_png(pdf.toStdString(), FORSTRIX_SCREENSHOT_DIR, "plan_sheet_120");
    }

    // The capacities after the totals, on the last page with them: each
    // resource's hours verfügbar, benötigt and what fehlt.
    void capacities_data() {
        QTest::addColumn<int>("stands");
        QTest::newRow("one stand") << 1;
        QTest::newRow("a page of stands before") << 41;
    }
    void capacities() {
        QFETCH(int, stands);
        draw::PlanSheet sheet = sheet_of(stands);
        const int without = draw::plan_sheet_pages(sheet);
        const double inf = std::numeric_limits<double>::infinity();
        sheet.capacity = {{0, 3000.0, 2500.0}, {1, inf, 120.0}, {2, 2000.0, 2320.5}, {3, inf, 0.0},
                          {4, inf, 0.0},        {5, inf, 0.0},   {6, 80.0, 0.0}};
        const int pages = draw::plan_sheet_pages(sheet);
        QVERIFY(pages == without || pages == without + 1);
        const QString pdf = dir_.filePath(QStringLiteral("capacity_%1.pdf").arg(stands));
        QVERIFY(draw::write_plan_sheet_pdf(pdf.toStdString(), sheet).ok());
        const QStringList text = pdf_pages_text(pdf);
        QCOMPARE(text.size(), pages);
        const QString last = text.last();
        QVERIFY(last.contains(QStringLiteral("Plan gesamt")));
        for (const QString& expected : {QStringLiteral("Kapazitäten"), QStringLiteral("Ressource verfügbar benötigt fehlt"),
                                        QStringLiteral("Harvester 2.000,0 MAS 2.320,5 MAS 320,5 MAS"),
                                        QStringLiteral("Forstwirte 3.000,0 Std. 2.500,0 Std."),
                                        QStringLiteral("Seilschlepper unbegrenzt 120,0 MAS")})
            QVERIFY2(last.contains(expected), qPrintable(last));
        for (int p = 0; p + 1 < pages; ++p) QVERIFY(!text[p].contains(QStringLiteral("Ressource")));
        if (stands == 1) test::pdf_to_png(pdf.toStdString(), FORSTRIX_SCREENSHOT_DIR, "plan_sheet_capacity");
    }
};

QTEST_MAIN(TestPlanSheet)
#include "test_plan_sheet.moc"
