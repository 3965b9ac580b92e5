// The cost chart's geometry, checked in pixels with a fixed-width stand-in
// font: 7 pixels per character, 13 pixels high.
#include <cmath>
#include <limits>

#include <QList>
#include <QtTest>

#include "ui/chart_geometry.h"

using forstrix::ui::ChartGeometry;

namespace {

constexpr int kCharWidth = 7;
constexpr int kTextHeight = 13;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();

ChartGeometry geometry(const std::array<double, 8>& sums, const std::array<std::int32_t, 6>& flags,
                       int w = 928, int b = 400) {
    return forstrix::ui::chart_geometry(sums, flags, w, b, [](const std::string& text) {
        return forstrix::ui::TextSize{static_cast<int>(text.size()) * kCharWidth, kTextHeight};
    });
}

const forstrix::ui::ChartText* text_at(const ChartGeometry& g, const std::string& text, int n = 0) {
    for (const auto& t : g.texts)
        if (t.text == text && n-- == 0) return &t;
    return nullptr;
}

}  // namespace

class TestChartGeometry : public QObject {
    Q_OBJECT
private slots:
    void system_positions();
    void scale_data();
    void scale();
    void bars_and_texts();
};

void TestChartGeometry::system_positions() {
    const ChartGeometry g = geometry({}, {1, 1, 1, 1, 1, 1});
    QCOMPARE(g.h, 330);
    QCOMPARE(g.yc, (std::array<int, 6>{77, 123, 169, 215, 261, 307}));
    QCOMPARE(g.system_axis.y2, 380);
    // "IV" ends 15 pixels left of the axis, centred on its place.
    QCOMPARE(text_at(g, "IV")->x, 30 - (2 * kCharWidth + 15));
    QCOMPARE(text_at(g, "IV")->y, 215 - kTextHeight / 2);
}

void TestChartGeometry::scale_data() {
    QTest::addColumn<QList<double>>("sums");
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("xmax");
    QTest::addColumn<double>("xf");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("axis_end");

    QTest::newRow("largest 25.3") << QList<double>{25.3, 20, 10, 5, 0, 1, 2, 3} << 928 << 35.3
                                  << 25.0 << 10.0 << 3 << 912;
    QTest::newRow("all zero") << QList<double>{0, 0, 0, 0, 0, 0, 0, 0} << 928 << 10.0 << 89.0
                              << 10.0 << 0 << 920;
    // 25 ticks at 10 … 250 are still readable; one more and the step widens.
    QTest::newRow("25 ticks of 10") << QList<double>{250, 0, 0, 0, 0, 0, 0, 0} << 928 << 260.0
                                    << 3.0 << 10.0 << 25 << 810;
    QTest::newRow("26 ticks of 10 become 13 of 20")
        << QList<double>{0, 0, 0, 0, 0, 0, 0, 251} << 928 << 261.0 << 3.0 << 20.0 << 13 << 813;
    // Yarding on a 500 m line with a tiny piece volume: a million Euro/Fm,
    // less than a pixel per Euro/Fm; bars and ticks still spread.
    QTest::newRow("huge sum") << QList<double>{30, 30, 30, 30, 30, 30, 999990, 30} << 928
                              << 1.0e6 << 898.0 / 1.0e6 << 50000.0 << 19 << 928;
    QTest::newRow("largest double") << QList<double>{kMax, 0, 0, 0, 0, 0, 0, 0} << 928 << kMax
                                    << 898.0 / kMax << 1.0e307 << 17 << 928;
    // Negative times (a productivity function below zero) give negative
    // costs: the axis still runs from 0 to 10 Euro/Fm.
    QTest::newRow("all negative") << QList<double>{-5, -5, -5, -5, -5, -5, -5, -5} << 928 << 10.0
                                  << 89.0 << 10.0 << 0 << 920;
    QTest::newRow("not a number is left out")
        << QList<double>{kNaN, 20, 0, 0, 0, 0, 0, 0} << 928 << 30.0 << 29.0 << 10.0 << 2 << 900;
    QTest::newRow("infinity is left out")
        << QList<double>{0, 0, 0, 0, kInf, 0, -kInf, 15} << 928 << 25.0 << 35.0 << 10.0 << 2 << 905;
    QTest::newRow("narrower than the axis margin")
        << QList<double>{25.3, 0, 0, 0, 0, 0, 0, 0} << 20 << 35.3 << 0.0 << 10.0 << 3 << 30;
}

void TestChartGeometry::scale() {
    QFETCH(QList<double>, sums);
    QFETCH(int, width);
    QFETCH(double, xmax);
    QFETCH(double, xf);
    QFETCH(double, step);
    QFETCH(int, ticks);
    QFETCH(int, axis_end);

    std::array<double, 8> s{};
    std::copy(sums.begin(), sums.end(), s.begin());
    const ChartGeometry g = geometry(s, {1, 1, 1, 1, 1, 1}, width);
    QCOMPARE(g.xmax, xmax);
    QCOMPARE(g.xf, xf);
    QCOMPARE(g.tick_step, step);
    QCOMPARE(static_cast<int>(g.ticks.size()), ticks);
    QCOMPARE(g.cost_axis.x2, axis_end);
    // Ticks one step apart, below xmax, on the axis; no bar leaves the axis.
    for (std::size_t i = 0; i < g.ticks.size(); ++i) {
        QCOMPARE(g.ticks[i].value, step * static_cast<double>(i + 1));
        QVERIFY(g.ticks[i].value < g.xmax);
        QVERIFY(g.ticks[i].x >= 30 && g.ticks[i].x <= axis_end);
    }
    for (const auto& bar : g.bars) QVERIFY(bar.right >= 30 && bar.right <= axis_end);
}

void TestChartGeometry::bars_and_texts() {
    // I and III suitable; the unsuitable V with the far largest sum still
    // sets the scale (xf 6) but gets no bar. II's zero and negative sums.
    const ChartGeometry g =
        geometry({26.48, 28.15, 0, -4, 21.74, 29.58, 123.10, 20.83}, {1, 1, 1, 0, 0, 0});
    QCOMPARE(g.xmax, 133.1);
    QCOMPARE(g.bars.size(), std::size_t{5});
    const auto& b = g.bars;
    QCOMPARE((std::array<int, 4>{b[0].left, b[0].top, b[0].right, b[0].bottom}),
             (std::array<int, 4>{30, 77 - 18, 30 + 158, 77 - 2}));
    QCOMPARE((std::array<int, 4>{b[1].left, b[1].top, b[1].right, b[1].bottom}),
             (std::array<int, 4>{30, 77 + 2, 30 + 168, 77 + 18}));
    QCOMPARE(b[2].right, 30);
    QCOMPARE(b[3].right, 30);  // -4: nothing left of the axis
    QCOMPARE((std::array<int, 4>{b[4].system, b[4].top, b[4].right, b[4].bottom}),
             (std::array<int, 4>{2, 169 - 8, 30 + 130, 169 + 8}));

    // Texts 5 pixels after the bars of I and II.
    QCOMPARE(text_at(g, "Langsortiment, unverm.")->x, 30 + 158 + 5);
    QCOMPARE(text_at(g, "Langsortiment, unverm.")->y, 77 - 18);
    QCOMPARE(text_at(g, "Langsortiment, verm.")->y, 77 + 2);
    QCOMPARE(text_at(g, "Langsortiment, verm.", 1)->x, 35);
    QVERIFY(text_at(g, "VI") != nullptr);  // unsuitable systems keep their label

    // Tick numbers centred over the tick; the titles.
    QCOMPARE(text_at(g, "10")->x, 30 + 60 - kCharWidth);
    QCOMPARE(text_at(g, "10")->y, 45 - kTextHeight);
    QCOMPARE(text_at(g, "Kosten [Euro/Fm]")->x, 464 - 16 * kCharWidth / 2);
    QCOMPARE(text_at(g, "Kosten [Euro/Fm]")->y, 0);
    QCOMPARE(text_at(g, "System")->y, 20);
}

QTEST_MAIN(TestChartGeometry)
#include "test_chart_geometry.moc"
