// The results dialog: what it shows for suitable and unsuitable systems, how
// it scrolls, and how it ends.
#include <cmath>
#include <limits>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include "core/calc.h"
#include "ui/cost_chart.h"
#include "ui/dialog_codes.h"
#include "ui/results_dialog.h"
#include "ui_test_support.h"

using forstrix::State;
using forstrix::ui::ResultsDialog;

namespace {

QLabel* field(const QWidget& d, int id) { return d.findChild<QLabel*>(QString::number(id)); }
QScrollBar* vbar(const QWidget& d) { return d.findChild<QScrollArea*>()->verticalScrollBar(); }

// Recognisable results without running the model: the first row of each
// system 1.0N min or h/Fm and 2.0N Euro/Fm, the sums 30.NN.
State marked_state() {
    State s;
    s.gff_e3 = 1.01; s.gff_g3 = 2.01; s.gff_e12 = 1.02; s.gff_g12 = 2.02;
    s.gff_e20 = 1.03; s.gff_g20 = 2.03; s.gff_e27 = 1.04; s.gff_g27 = 2.04;
    s.gff_e34 = 1.05; s.gff_g34 = 2.05; s.gff_e41 = 1.06; s.gff_g41 = 2.06;
    s.gff_g7 = 30.07; s.gff_g8 = 30.08; s.gff_g15 = 30.15; s.gff_g16 = 30.16;
    s.gff_g24 = 30.24; s.gff_g31 = 30.31; s.gff_g39 = 30.39; s.gff_g45 = 30.45;
    return s;
}

void send_wheel(QWidget* target, int delta) {
    QWheelEvent ev(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &ev);
}

// `y` in the dialog's coordinates, which stay put while the content scrolls.
void send_mouse(QWidget* d, QWidget* target, QEvent::Type type, int y, Qt::MouseButtons buttons) {
    const QPointF global = d->mapToGlobal(QPointF(20, y));
    QMouseEvent ev(type, target->mapFromGlobal(global), global, Qt::LeftButton, buttons,
                   Qt::NoModifier);
    QApplication::sendEvent(target, &ev);
}

}  // namespace

class TestResultsDialog : public QObject {
    Q_OBJECT
private slots:
    void layout_and_texts();
    void systems_data();
    void systems();
    void buttons_data();
    void buttons();
    void only_buttons_and_close_box_end_it();
    void fits_the_screen_and_scrolls_by_keys();
    void wheel_and_drag();
    void starts_at_the_top_again();
    void chart_paints_absurd_sums();
    void screenshots();
};

void TestResultsDialog::layout_and_texts() {
    State s = marked_state();
    s.gff_g3 = 3.5;
    s.gff_e3 = 1234.567;
    s.gff_e37 = 0.0667;
    s.set_flags({1, 0, 0, 0, 1, 0});
    ResultsDialog d(s, nullptr);
    QCOMPARE(d.windowTitle(), QString::fromUtf8("Zeitbedarf und Kosten für geeignete und nicht "
                                                "ausgeschlossene Systeme (Alle Angaben ohne Gewähr)"));
    d.show();
    // The chart on top, then the systems I … VI, then the buttons.
    auto y_of = [&d](const QWidget* w) { return w->mapTo(&d, QPoint(0, 0)).y(); };
    int y = y_of(d.findChild<QWidget*>("chart"));
    for (int id = 25100; id <= 25600; id += 100) {
        const int box_y = y_of(d.findChild<QGroupBox*>(QString::number(id)));
        QVERIFY(box_y > y);
        y = box_y;
    }
    QVERIFY(y_of(d.findChild<QPushButton*>("25999")) > y);

    QCOMPARE(field(d, 25102)->text(), QString("3,50"));
    QCOMPARE(field(d, 25101)->text(), QString("1234,57"));
    QVERIFY(field(d, 25101)->alignment() & Qt::AlignRight);
    QVERIFY(field(d, 25109)->alignment() & Qt::AlignRight);
    // Yarding's fourth machine is the forwarder here.
    QStringList labels;
    for (const QLabel* l : d.findChild<QGroupBox*>("25500")->findChildren<QLabel*>()) labels << l->text();
    QCOMPARE(labels.count("Forwarder"), 1);
    QCOMPARE(field(d, 25507)->text(), QString("0,07"));
}

void TestResultsDialog::systems_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QList<int>>("rows");  // time field ids; the cost field is id + 1
    QTest::addColumn<QStringList>("sums");  // id=text when suitable

    QTest::newRow("I") << 0 << "I) Konventionelle Holzernte" << QList<int>{25101, 25103, 25105, 25107}
                       << QStringList{"25109=30,07", "25111=30,08"};
    QTest::newRow("II") << 1 << "II) Integrierte Holzernte" << QList<int>{25201, 25203, 25205}
                        << QStringList{"25207=30,15", "25209=30,16"};
    QTest::newRow("III") << 2 << "III) Hochmechanisierte Holzernte"
                         << QList<int>{25301, 25303, 25305, 25307} << QStringList{"25309=30,24"};
    QTest::newRow("IV") << 3 << "IV) Hochmechanisierte Holzernte durch Hangsysteme"
                        << QList<int>{25401, 25403, 25405, 25407} << QStringList{"25409=30,31"};
    QTest::newRow("V") << 4 << "V) Yarding" << QList<int>{25501, 25503, 25505, 25507}
                       << QStringList{"25511=30,39"};
    QTest::newRow("VI") << 5 << "VI) Spanholz" << QList<int>{25601, 25603, 25605, 25607}
                        << QStringList{"25609=30,45"};
}

void TestResultsDialog::systems() {
    QFETCH(int, system);
    QFETCH(QString, title);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, sums);
    const QString first_time = QString("1,0%1").arg(system + 1);
    const QString first_cost = QString("2,0%1").arg(system + 1);

    for (const bool suitable : {true, false}) {
        // This system one way, all others the other way.
        State s = marked_state();
        std::array<std::int32_t, 6> flags{};
        flags.fill(suitable ? 0 : 1);
        flags[static_cast<std::size_t>(system)] = suitable ? 1 : 0;
        s.set_flags(flags);
        ResultsDialog d(s, nullptr);

        const auto* box = d.findChild<QGroupBox*>(QString::number(25100 + 100 * system));
        QCOMPARE(box->title(), title + (suitable ? " - geeignet" : " - ungeeignet"));
        QCOMPARE(box->isEnabled(), suitable);  // greyed out when unsuitable
        for (const int id : rows) {
            QCOMPARE(field(d, id)->parentWidget(), box);
            QCOMPARE(field(d, id)->text().isEmpty(), !suitable);
            QCOMPARE(field(d, id + 1)->text().isEmpty(), !suitable);
        }
        QCOMPARE(field(d, rows.first())->text(), suitable ? first_time : QString());
        QCOMPARE(field(d, rows.first() + 1)->text(), suitable ? first_cost : QString());
        for (const QString& sum : sums) {
            const QStringList id_text = sum.split('=');
            QCOMPARE(field(d, id_text[0].toInt())->text(), suitable ? id_text[1] : QString("---"));
        }
        int euro = 0;
        for (const QLabel* l : box->findChildren<QLabel*>()) euro += l->text() == "Euro/Fm";
        QCOMPARE(euro, static_cast<int>(rows.size()));
    }
}

void TestResultsDialog::buttons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    QTest::newRow("save") << "25998" << "Ergebnis speichern" << int(forstrix::ui::ResultsSave);
    QTest::newRow("ok") << "25999" << "OK" << int(forstrix::ui::ResultsOk);
    QTest::newRow("stand") << "25997" << QString::fromUtf8("Bestandesdaten ändern...")
                           << int(forstrix::ui::ResultsChangeStand);
}

void TestResultsDialog::buttons() {
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, result);
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    auto* b = d.findChild<QPushButton*>(button);
    QCOMPARE(b->text(), text);
    QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), result);
}

void TestResultsDialog::only_buttons_and_close_box_end_it() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.setResult(-1);
    d.show();
    for (QWidget* target : std::initializer_list<QWidget*>{
             &d, d.findChild<QPushButton*>("25998"), d.findChild<QScrollArea*>()}) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(target, key);
            QVERIFY(d.isVisible());
            QCOMPARE(d.result(), -1);
        }
    }
    QVERIFY(d.close());
    QCOMPARE(d.result(), int(forstrix::ui::ResultsOk));
}

void TestResultsDialog::fits_the_screen_and_scrolls_by_keys() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCOMPARE(d.frameGeometry(), d.screen()->availableGeometry());

    auto* area = d.findChild<QScrollArea*>();
    QScrollBar* bar = vbar(d);
    // The range is exactly how far the content reaches below the view.
    QCOMPARE(bar->maximum(), area->widget()->height() - area->viewport()->height());
    QVERIFY2(bar->maximum() > 100, "the content must be taller than the screen here");

    const std::vector<std::pair<Qt::Key, int>> steps = {
        {Qt::Key_Up, 0}, {Qt::Key_Down, 10}, {Qt::Key_PageDown, 60}, {Qt::Key_Up, 50},
        {Qt::Key_PageUp, 0}};
    for (const auto& [key, value] : steps) {
        QTest::keyClick(area, key);
        QCOMPARE(bar->value(), value);
    }
    // Also while a button has the focus: the arrows scroll, not move the focus.
    auto* ok = d.findChild<QPushButton*>("25999");
    QTest::keyClick(ok, Qt::Key_PageDown);
    QTest::keyClick(ok, Qt::Key_Down);
    QCOMPARE(bar->value(), 60);

    // Page Down held ends at the bottom of the content, with none of the
    // background below it showing.
    for (int i = 0; i < 200; ++i) QTest::keyClick(area, Qt::Key_PageDown);
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(area->widget()->geometry().bottom(), area->viewport()->height() - 1);
    for (int i = 0; i < 200; ++i) QTest::keyClick(area, Qt::Key_PageUp);
    QCOMPARE(bar->value(), 0);
}

void TestResultsDialog::wheel_and_drag() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QScrollBar* bar = vbar(d);
    QWidget* label = field(d, 25101);

    // One line per notch, over labels, the chart and the scroll bar alike;
    // a fine wheel's half notches add up.
    const std::vector<std::tuple<QWidget*, int, int>> wheel = {
        {label, -120, 10}, {label, -120, 20}, {label, 120, 10}, {label, -60, 10},
        {label, -60, 20},  {d.findChild<QWidget*>("chart"), -120, 30}, {bar, 120, 20},
        {label, 240, 0},   {label, 120, 0}};
    for (const auto& [target, delta, value] : wheel) {
        send_wheel(target, delta);
        QCOMPARE(bar->value(), value);
    }

    // Dragging: each move one line, downwards towards the end.
    send_mouse(&d, label, QEvent::MouseMove, 40, Qt::NoButton);
    QCOMPARE(bar->value(), 0);
    send_mouse(&d, label, QEvent::MouseButtonPress, 10, Qt::LeftButton);
    const std::vector<std::pair<int, int>> moves = {{11, 10}, {300, 20}, {300, 20}, {299, 10}};
    for (const auto& [y, value] : moves) {
        send_mouse(&d, label, QEvent::MouseMove, y, Qt::LeftButton);
        QCOMPARE(bar->value(), value);
    }
    send_mouse(&d, label, QEvent::MouseButtonRelease, 299, Qt::NoButton);
    send_mouse(&d, label, QEvent::MouseMove, 400, Qt::NoButton);
    QCOMPARE(bar->value(), 10);
}

void TestResultsDialog::starts_at_the_top_again() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    for (int i = 0; i < 5; ++i) QTest::keyClick(d.findChild<QScrollArea*>(), Qt::Key_PageDown);
    QCOMPARE(vbar(d)->value(), 250);
    QTest::mouseClick(d.findChild<QPushButton*>("25999"), Qt::LeftButton);
    d.show();
    QCOMPARE(vbar(d)->value(), 0);
}

void TestResultsDialog::chart_paints_absurd_sums() {
    // Costs the formulas give far outside a system's range, and worse.
    const double inf = std::numeric_limits<double>::infinity();
    forstrix::ui::CostChart chart({inf, std::nan(""), -inf, 1.0e308, -3.0, 0.0, 5.0e6, 20.0},
                                  {1, 1, 1, 1, 1, 1});
    chart.resize(928, 400);
    const QImage image = chart.grab().toImage();
    QCOMPARE(image.size(), QSize(928, 400));
    // Nothing drawn left of the system axis at the height of system II's bars.
    for (int x = 0; x < 29; ++x) QCOMPARE(image.pixelColor(x, 123 - 16), QColor(Qt::white));
}

void TestResultsDialog::screenshots() {
    // The default stand as the program starts: flags 1, 1, 1, 0, 0, 0.
    State s;
    forstrix::startup_compute(s);
    forstrix::calc_zeitbedarfkosten(s);
    {
        ResultsDialog d(s, nullptr);
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(vbar(d)->value(), 0);  // the focus does not pull the view down
        QCOMPARE(field(d, 25109)->text(), QString("26,48"));
        forstrix::ui::test::save_screenshot(d.findChild<QScrollArea*>()->widget(),
                                            "results_default");
    }
    // No stand suits all six systems (I needs a slope of at most 35 %, IV at
    // least 36 %), so the flags are set directly.
    State all = s;
    all.set_flags({1, 1, 1, 1, 1, 1});
    forstrix::calc_zeitbedarfkosten(all);
    ResultsDialog d(all, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    forstrix::ui::test::save_screenshot(d.findChild<QScrollArea*>()->widget(),
                                        "results_all_suitable");
}

QTEST_MAIN(TestResultsDialog)
#include "test_results_dialog.moc"
