// The cost chart's geometry in pixels, with a stand-in font 7 pixels per character, 13 high.
#include <limits>

#include <QtTest>

#include "draw/chart_geometry.h"

using forstrix::draw::ChartGeometry;
using Lim = std::numeric_limits<double>;

static ChartGeometry geometry(const std::array<double, 8>& sums, const std::array<std::int32_t, 6>& flags,
                              int w = 928) {
    return forstrix::draw::chart_geometry(sums, flags, w, 400, [](const std::string& text) {
        return forstrix::draw::TextSize{static_cast<int>(text.size()) * 7, 13};
    });
}

class TestChartGeometry : public QObject {
    Q_OBJECT
private slots:
    void scale_data();
    void scale();
    void places_and_bars();
};

void TestChartGeometry::scale_data() {
    QTest::addColumn<QList<double>>("sums");
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("xmax");
    QTest::addColumn<double>("xf");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("axis_end");
    using L = QList<double>;
    const double max = Lim::max(), inf = Lim::infinity();
    QTest::newRow("largest 25.3") << L{25.3, 20, 10, 5, 0, 1, 2, 3} << 928 << 35.3 << 25.0 << 10.0 << 3 << 912;
    QTest::newRow("all zero") << L(8, 0.0) << 928 << 10.0 << 89.0 << 10.0 << 0 << 920;
    QTest::newRow("all negative") << L(8, -5.0) << 928 << 10.0 << 89.0 << 10.0 << 0 << 920;
    QTest::newRow("25 ticks of 10") << L{250, 0, 0, 0, 0, 0, 0, 0} << 928 << 260.0 << 3.0 << 10.0 << 25
                                    << 810;
    QTest::newRow("26 ticks become 13 of 20") << L{0, 0, 0, 0, 0, 0, 0, 251} << 928 << 261.0 << 3.0 << 20.0
                                              << 13 << 813;
    QTest::newRow("huge sum") << L{30, 30, 30, 30, 30, 30, 999990, 30} << 928 << 1.0e6 << 898.0 / 1.0e6
                              << 50000.0 << 19 << 928;
    QTest::newRow("largest double") << L{max, 0, 0, 0, 0, 0, 0, 0} << 928 << max << 898.0 / max << 1.0e307
                                    << 17 << 928;
    QTest::newRow("NaN left out") << L{Lim::quiet_NaN(), 20, 0, 0, 0, 0, 0, 0} << 928 << 30.0 << 29.0
                                  << 10.0 << 2 << 900;
    QTest::newRow("infinity left out") << L{0, 0, 0, 0, inf, 0, -inf, 15} << 928 << 25.0 << 35.0 << 10.0
                                       << 2 << 905;
    QTest::newRow("narrower than the margin") << L{25.3, 0, 0, 0, 0, 0, 0, 0} << 20 << 35.3 << 0.0 << 10.0
                                              << 3 << 30;
}

void TestChartGeometry::scale() {
    QFETCH(QList<double>, sums);
    QFETCH(double, step);
    QFETCH(int, axis_end);
    QFETCH(int, width);
    std::array<double, 8> s{};
    std::copy(sums.begin(), sums.end(), s.begin());
    const ChartGeometry g = geometry(s, {1, 1, 1, 1, 1, 1}, width);
    QTEST(g.xmax, "xmax");
    QTEST(g.xf, "xf");
    QCOMPARE(g.tick_step, step);
    QTEST(static_cast<int>(g.ticks.size()), "ticks");
    QCOMPARE(g.cost_axis.x2, axis_end);
    for (std::size_t i = 0; i < g.ticks.size(); ++i) {
        QCOMPARE(g.ticks[i].value, step * static_cast<double>(i + 1));
        QVERIFY(g.ticks[i].value < g.xmax && g.ticks[i].x >= 30 && g.ticks[i].x <= axis_end);
    }
    for (const auto& bar : g.bars) QVERIFY(bar.right >= 30 && bar.right <= axis_end);
}

void TestChartGeometry::places_and_bars() {
    // The unsuitable V's far largest sum still sets the scale (xf 6), without a bar.
    const ChartGeometry g = geometry({26.48, 28.15, 0, -4, 21.74, 29.58, 123.10, 20.83}, {1, 1, 1, 0, 0, 0});
    QCOMPARE(g.xmax, 133.1);
    QCOMPARE(g.h, 330);
    QCOMPARE(g.yc, (std::array<int, 6>{77, 123, 169, 215, 261, 307}));
    std::vector<std::array<int, 5>> boxes;
    for (const auto& b : g.bars) boxes.push_back({b.system, b.left, b.top, b.right, b.bottom});
    // I without and with measuring; II's 0 and -4 reach nowhere left of the axis.
    QCOMPARE(boxes, (std::vector<std::array<int, 5>>{{0, 30, 59, 188, 75}, {0, 30, 79, 198, 95},
                     {1, 30, 105, 30, 121}, {1, 30, 125, 30, 141}, {2, 30, 161, 160, 177}}));
}

QTEST_MAIN(TestChartGeometry)
#include "test_chart_geometry.moc"
