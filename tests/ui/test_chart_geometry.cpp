// The cost chart's geometry, checked in pixels with a fixed-width stand-in
// font: 7 pixels per character, 13 pixels high.
#include <cmath>
#include <limits>

#include <QList>
#include <QtTest>

#include "ui/chart_geometry.h"

using forstrix::ui::ChartGeometry;
using forstrix::ui::TextSize;
using forstrix::ui::chart_geometry;

namespace {

constexpr int kCharWidth = 7;
constexpr int kTextHeight = 13;

TextSize fixed_font(const std::string& text) {
    return {static_cast<int>(text.size()) * kCharWidth, kTextHeight};
}

std::array<double, 8> to_sums(const QList<double>& list) {
    std::array<double, 8> a{};
    for (int i = 0; i < 8; ++i) a[static_cast<std::size_t>(i)] = list.at(i);
    return a;
}

ChartGeometry geometry(const std::array<double, 8>& sums, const std::array<std::int32_t, 6>& flags,
                       int w = 928, int b = 400) {
    return chart_geometry(sums, flags, w, b, fixed_font);
}

const forstrix::ui::ChartText* find_text(const ChartGeometry& g, const std::string& text) {
    for (const auto& t : g.texts)
        if (t.text == text) return &t;
    return nullptr;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

}  // namespace

class TestChartGeometry : public QObject {
    Q_OBJECT
private slots:
    void system_positions();
    void scale_data();
    void scale();
    void bars_of_suitable_systems_only();
    void bar_texts_and_titles();
};

void TestChartGeometry::system_positions() {
    const ChartGeometry g = geometry({}, {1, 1, 1, 1, 1, 1});
    QCOMPARE(g.h, 330);
    const std::array<int, 6> expected = {77, 123, 169, 215, 261, 307};
    QCOMPARE(g.yc, expected);
    QCOMPARE(g.system_axis.x1, 30);
    QCOMPARE(g.system_axis.y2, 380);
    // "I" … "VI" end 15 pixels left of the axis, centred on their place.
    const auto* iv = find_text(g, "IV");
    QVERIFY(iv != nullptr);
    QCOMPARE(iv->x, 30 - (2 * kCharWidth + 15));
    QCOMPARE(iv->y, 215 - kTextHeight / 2);
}

void TestChartGeometry::scale_data() {
    QTest::addColumn<QList<double>>("sums");
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("xmax");
    QTest::addColumn<double>("xf");
    QTest::addColumn<QList<double>>("ticks");  // empty list and step: see below
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("tick_count");
    QTest::addColumn<int>("axis_end");

    QTest::newRow("largest 25.3")
        << QList<double>{25.3, 20.0, 10.0, 5.0, 0.0, 1.0, 2.0, 3.0} << 928 << 35.3 << 25.0
        << QList<double>{10, 20, 30} << 10.0 << 3 << 912;
    QTest::newRow("largest sum in the last place")
        << QList<double>{1, 2, 3, 4, 5, 6, 7, 25.3} << 928 << 35.3 << 25.0
        << QList<double>{10, 20, 30} << 10.0 << 3 << 912;
    QTest::newRow("all zero")
        << QList<double>{0, 0, 0, 0, 0, 0, 0, 0} << 928 << 10.0 << 89.0 << QList<double>{}
        << 10.0 << 0 << 920;
    QTest::newRow("default results")
        << QList<double>{26.4844, 28.1472, 28.1969, 33.0184, 21.7389, 29.5815, 123.1023, 20.834}
        << 928 << 133.1023 << 6.0 << QList<double>{} << 10.0 << 13 << 828;
    // 25 ticks at 10 … 250 are still readable; one more and the step widens.
    QTest::newRow("25 ticks of 10")
        << QList<double>{250, 0, 0, 0, 0, 0, 0, 0} << 928 << 260.0 << 3.0 << QList<double>{}
        << 10.0 << 25 << 810;
    QTest::newRow("26 ticks of 10 become 13 of 20")
        << QList<double>{251, 0, 0, 0, 0, 0, 0, 0} << 928 << 261.0 << 3.0 << QList<double>{}
        << 20.0 << 13 << 813;
    QTest::newRow("step 50")
        << QList<double>{600, 0, 0, 0, 0, 0, 0, 0} << 928 << 610.0 << 1.0 << QList<double>{}
        << 50.0 << 12 << 640;
    // A yarding line of 500 m with a tiny piece volume: thousands of Euro/Fm.
    // Less than a pixel per Euro/Fm; the bars and ticks still spread.
    QTest::newRow("huge sum")
        << QList<double>{30, 30, 30, 30, 30, 30, 999990, 30} << 928 << 1000000.0
        << 898.0 / 1000000.0 << QList<double>{} << 50000.0 << 19 << 928;
    QTest::newRow("largest double")
        << QList<double>{std::numeric_limits<double>::max(), 0, 0, 0, 0, 0, 0, 0} << 928
        << std::numeric_limits<double>::max() << 898.0 / std::numeric_limits<double>::max()
        << QList<double>{} << 1.0e307 << 17 << 928;
    // Negative times (a productivity function below zero) give negative
    // costs: the axis still runs from 0 to 10 Euro/Fm.
    QTest::newRow("all negative")
        << QList<double>{-5, -5, -5, -5, -5, -5, -5, -5} << 928 << 10.0 << 89.0
        << QList<double>{} << 10.0 << 0 << 920;
    QTest::newRow("not a number is left out")
        << QList<double>{kNaN, 20, 0, 0, 0, 0, 0, 0} << 928 << 30.0 << 29.0
        << QList<double>{10, 20} << 10.0 << 2 << 900;
    QTest::newRow("infinity is left out")
        << QList<double>{0, 0, 0, 0, kInf, 0, -kInf, 15} << 928 << 25.0 << 35.0
        << QList<double>{10, 20} << 10.0 << 2 << 905;
    QTest::newRow("only not-a-number")
        << QList<double>{kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN} << 928 << 10.0 << 89.0
        << QList<double>{} << 10.0 << 0 << 920;
    QTest::newRow("chart narrower than the axis margin")
        << QList<double>{25.3, 0, 0, 0, 0, 0, 0, 0} << 20 << 35.3 << 0.0 << QList<double>{}
        << 10.0 << 3 << 30;
}

void TestChartGeometry::scale() {
    QFETCH(QList<double>, sums);
    QFETCH(int, width);
    QFETCH(double, xmax);
    QFETCH(double, xf);
    QFETCH(QList<double>, ticks);
    QFETCH(double, step);
    QFETCH(int, tick_count);
    QFETCH(int, axis_end);

    const ChartGeometry g = geometry(to_sums(sums), {1, 1, 1, 1, 1, 1}, width);
    QVERIFY(std::isfinite(g.xmax));
    QCOMPARE(g.xmax, xmax);
    QCOMPARE(g.xf, xf);
    QCOMPARE(g.tick_step, step);
    QCOMPARE(static_cast<int>(g.ticks.size()), tick_count);
    QCOMPARE(g.cost_axis.x1, 30);
    QCOMPARE(g.cost_axis.y1, 50);
    QCOMPARE(g.cost_axis.x2, axis_end);
    for (int i = 0; i < ticks.size(); ++i)
        QCOMPARE(g.ticks[static_cast<std::size_t>(i)].value, ticks.at(i));

    // Every tick lies on the axis, in order, one step apart, below xmax.
    for (std::size_t i = 0; i < g.ticks.size(); ++i) {
        QCOMPARE(g.ticks[i].value, step * static_cast<double>(i + 1));
        QVERIFY(g.ticks[i].value < g.xmax);
        QVERIFY(g.ticks[i].x >= 30 && g.ticks[i].x <= axis_end);
        if (i > 0) QVERIFY(g.ticks[i].x >= g.ticks[i - 1].x);
    }
    // No bar reaches left of the system axis or beyond the cost axis.
    for (const auto& bar : g.bars) {
        QCOMPARE(bar.left, 30);
        QVERIFY(bar.right >= 30);
        QVERIFY(bar.right <= axis_end);
    }
}

void TestChartGeometry::bars_of_suitable_systems_only() {
    // III suitable with the smaller sum; the unsuitable V with its far larger
    // sum still sets the scale but gets no bar.
    const ChartGeometry g =
        geometry({26.48, 28.15, 28.20, 33.02, 21.74, 29.58, 123.10, 20.83}, {1, 0, 1, 0, 0, 0});
    QCOMPARE(g.xmax, (123.10 * 0.1 + 1.0) * 10.0);
    QCOMPARE(g.bars.size(), std::size_t{3});

    const auto& unmeasured = g.bars[0];
    QCOMPARE(unmeasured.system, 0);
    QCOMPARE(unmeasured.top, 77 - 18);
    QCOMPARE(unmeasured.bottom, 77 - 2);
    QCOMPARE(unmeasured.right, 30 + static_cast<int>(6.0 * 26.48));
    const auto& measured = g.bars[1];
    QCOMPARE(measured.system, 0);
    QCOMPARE(measured.top, 77 + 2);
    QCOMPARE(measured.bottom, 77 + 18);
    QCOMPARE(measured.value, 28.15);
    const auto& harvester = g.bars[2];
    QCOMPARE(harvester.system, 2);
    QCOMPARE(harvester.top, 169 - 8);
    QCOMPARE(harvester.bottom, 169 + 8);
    QCOMPARE(harvester.right, 30 + static_cast<int>(6.0 * 21.74));

    // The axis labels of all six systems stay.
    for (const char* label : {"I", "II", "III", "IV", "V", "VI"})
        QVERIFY2(find_text(g, label) != nullptr, label);
}

void TestChartGeometry::bar_texts_and_titles() {
    const ChartGeometry g = geometry({25.3, 20, 0, -4, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0});

    // Texts beside the long-timber bars of I and II, 5 pixels after the bar.
    std::vector<const forstrix::ui::ChartText*> unmeasured, measured;
    for (const auto& t : g.texts) {
        if (t.text == "Langsortiment, unverm.") unmeasured.push_back(&t);
        if (t.text == "Langsortiment, verm.") measured.push_back(&t);
    }
    QCOMPARE(unmeasured.size(), std::size_t{2});
    QCOMPARE(measured.size(), std::size_t{2});
    QCOMPARE(unmeasured[0]->x, 30 + static_cast<int>(25 * 25.3) + 5);
    QCOMPARE(unmeasured[0]->y, 77 - 18);
    QCOMPARE(measured[0]->x, 30 + 25 * 20 + 5);
    QCOMPARE(measured[0]->y, 77 + 2);
    // II: zero and a negative sum give bars of no length, texts at the axis.
    QCOMPARE(unmeasured[1]->x, 35);
    QCOMPARE(measured[1]->x, 35);
    QCOMPARE(g.bars[3].right, 30);

    // Tick numbers centred over their tick, above the cost axis.
    const auto* ten = find_text(g, "10");
    QVERIFY(ten != nullptr);
    QCOMPARE(ten->x, 30 + 10 * 25 - kCharWidth);
    QCOMPARE(ten->y, 45 - kTextHeight);

    const auto* title = find_text(g, "Kosten [Euro/Fm]");
    QVERIFY(title != nullptr);
    QCOMPARE(title->x, 928 / 2 - 16 * kCharWidth / 2);
    QCOMPARE(title->y, 0);
    const auto* system = find_text(g, "System");
    QVERIFY(system != nullptr);
    QCOMPARE(system->x, 0);
    QCOMPARE(system->y, 20);
}

QTEST_MAIN(TestChartGeometry)
#include "test_chart_geometry.moc"
