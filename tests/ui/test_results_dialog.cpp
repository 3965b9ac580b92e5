// The results dialog: what it shows for suitable and unsuitable systems, how
// it scrolls, and how it ends.
#include <algorithm>

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include "core/calc.h"
#include "core/state.h"
#include "ui/dialog_codes.h"
#include "ui/results_dialog.h"
#include "ui_test_support.h"

using forstrix::State;
using forstrix::ui::ResultsDialog;

namespace {

QLabel* field(const QWidget& dialog, int id) {
    return dialog.findChild<QLabel*>(QString::number(id));
}

QScrollBar* vbar(const QWidget& dialog) {
    return dialog.findChild<QScrollArea*>()->verticalScrollBar();
}

// A state with recognisable results, without running the model: every
// time is 1.xx and every cost 2.xx, xx the line number.
State marked_state() {
    State s;
    const std::vector<std::pair<double State::*, double State::*>> rows = {
        {&State::gff_e3, &State::gff_g3},   {&State::gff_e4, &State::gff_g4},
        {&State::gff_e5, &State::gff_g5},   {&State::gff_e6, &State::gff_g6},
        {&State::gff_e12, &State::gff_g12}, {&State::gff_e13, &State::gff_g13},
        {&State::gff_e14, &State::gff_g14}, {&State::gff_e20, &State::gff_g20},
        {&State::gff_e21, &State::gff_g21}, {&State::gff_e22, &State::gff_g22},
        {&State::gff_e23, &State::gff_g23}, {&State::gff_e27, &State::gff_g27},
        {&State::gff_e28, &State::gff_g28}, {&State::gff_e29, &State::gff_g29},
        {&State::gff_e30, &State::gff_g30}, {&State::gff_e34, &State::gff_g34},
        {&State::gff_e35, &State::gff_g35}, {&State::gff_e36, &State::gff_g36},
        {&State::gff_e37, &State::gff_g37}, {&State::gff_e41, &State::gff_g41},
        {&State::gff_e42, &State::gff_g42}, {&State::gff_e43, &State::gff_g43},
        {&State::gff_e44, &State::gff_g44}};
    int n = 1;
    for (const auto& [e, g] : rows) {
        s.*e = 1.0 + n / 100.0;
        s.*g = 2.0 + n / 100.0;
        ++n;
    }
    s.gff_g7 = 30.07; s.gff_g8 = 30.08; s.gff_g15 = 30.15; s.gff_g16 = 30.16;
    s.gff_g24 = 30.24; s.gff_g31 = 30.31; s.gff_g39 = 30.39; s.gff_g45 = 30.45;
    return s;
}

void send_wheel(QWidget* target, int delta) {
    const QPointF pos(5, 5);
    QWheelEvent ev(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &ev);
}

// `y` in the dialog's coordinates, which stay put while the content scrolls.
void send_mouse(QWidget* dialog, QWidget* target, QEvent::Type type, int y,
                Qt::MouseButtons buttons) {
    const QPointF global = dialog->mapToGlobal(QPointF(20, y));
    QMouseEvent ev(type, target->mapFromGlobal(global), global, Qt::LeftButton, buttons,
                   Qt::NoModifier);
    QApplication::sendEvent(target, &ev);
}

}  // namespace

class TestResultsDialog : public QObject {
    Q_OBJECT
private slots:
    void title_and_chart_first();
    void systems_data();
    void systems();
    void values_two_decimals_right_aligned();
    void yarding_fourth_machine_is_forwarder();
    void buttons_data();
    void buttons();
    void close_box_is_ok();
    void enter_and_escape_do_not_close();
    void fits_the_screen();
    void keys_scroll_within_the_content();
    void wheel_scrolls_one_line_per_notch();
    void drag_scrolls_one_line_per_move();
    void starts_at_the_top_again();
    void screenshots();
};

void TestResultsDialog::title_and_chart_first() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    QCOMPARE(d.windowTitle(),
             QString::fromUtf8("Zeitbedarf und Kosten für geeignete und nicht ausgeschlossene "
                               "Systeme (Alle Angaben ohne Gewähr)"));
    d.show();
    const QWidget* chart = d.findChild<QWidget*>(QStringLiteral("chart"));
    QVERIFY(chart != nullptr);
    // The chart on top, then the six systems in order, then the buttons.
    int y = chart->mapTo(&d, QPoint(0, 0)).y();
    for (int id = 25100; id <= 25600; id += 100) {
        const auto* box = d.findChild<QGroupBox*>(QString::number(id));
        QVERIFY(box != nullptr);
        const int box_y = box->mapTo(&d, QPoint(0, 0)).y();
        QVERIFY2(box_y > y, qPrintable(QString::number(id)));
        y = box_y;
    }
    QVERIFY(d.findChild<QPushButton*>(QStringLiteral("25999"))->mapTo(&d, QPoint(0, 0)).y() > y);
}

void TestResultsDialog::systems_data() {
    QTest::addColumn<int>("system");  // 0..5
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QList<int>>("rows");  // time field ids; the cost field is id + 1
    QTest::addColumn<QList<int>>("sums");
    QTest::addColumn<QStringList>("row_values");  // suitable: time, cost of the first row
    QTest::addColumn<QStringList>("sum_values");

    QTest::newRow("I") << 0 << 25100 << QString("I) Konventionelle Holzernte")
                       << QList<int>{25101, 25103, 25105, 25107} << QList<int>{25109, 25111}
                       << QStringList{"1,01", "2,01"} << QStringList{"30,07", "30,08"};
    QTest::newRow("II") << 1 << 25200 << QString("II) Integrierte Holzernte")
                        << QList<int>{25201, 25203, 25205} << QList<int>{25207, 25209}
                        << QStringList{"1,05", "2,05"} << QStringList{"30,15", "30,16"};
    QTest::newRow("III") << 2 << 25300 << QString("III) Hochmechanisierte Holzernte")
                         << QList<int>{25301, 25303, 25305, 25307} << QList<int>{25309}
                         << QStringList{"1,08", "2,08"} << QStringList{"30,24"};
    QTest::newRow("IV") << 3 << 25400
                        << QString("IV) Hochmechanisierte Holzernte durch Hangsysteme")
                        << QList<int>{25401, 25403, 25405, 25407} << QList<int>{25409}
                        << QStringList{"1,12", "2,12"} << QStringList{"30,31"};
    QTest::newRow("V") << 4 << 25500 << QString("V) Yarding")
                       << QList<int>{25501, 25503, 25505, 25507} << QList<int>{25511}
                       << QStringList{"1,16", "2,16"} << QStringList{"30,39"};
    QTest::newRow("VI") << 5 << 25600 << QString("VI) Spanholz")
                        << QList<int>{25601, 25603, 25605, 25607} << QList<int>{25609}
                        << QStringList{"1,20", "2,20"} << QStringList{"30,45"};
}

void TestResultsDialog::systems() {
    QFETCH(int, system);
    QFETCH(int, group);
    QFETCH(QString, title);
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, sums);
    QFETCH(QStringList, row_values);
    QFETCH(QStringList, sum_values);

    for (const bool suitable : {true, false}) {
        // The system in question one way, every other system the other way.
        State s = marked_state();
        std::array<std::int32_t, 6> flags{};
        flags.fill(suitable ? 0 : 1);
        flags[static_cast<std::size_t>(system)] = suitable ? 1 : 0;
        s.set_flags(flags);
        ResultsDialog d(s, nullptr);

        const auto* box = d.findChild<QGroupBox*>(QString::number(group));
        QVERIFY(box != nullptr);
        QCOMPARE(box->title(), title + (suitable ? " - geeignet" : " - ungeeignet"));
        QCOMPARE(box->isEnabled(), suitable);  // greyed out when unsuitable

        for (const int id : rows) {
            QVERIFY2(field(d, id) != nullptr, qPrintable(QString::number(id)));
            QVERIFY2(field(d, id + 1) != nullptr, qPrintable(QString::number(id + 1)));
            QCOMPARE(field(d, id)->parentWidget(), box);
            if (!suitable) {
                QCOMPARE(field(d, id)->text(), QString());
                QCOMPARE(field(d, id + 1)->text(), QString());
            }
        }
        if (suitable) {
            QCOMPARE(field(d, rows.first())->text(), row_values.at(0));
            QCOMPARE(field(d, rows.first() + 1)->text(), row_values.at(1));
        }
        for (int i = 0; i < sums.size(); ++i) {
            QVERIFY(field(d, sums.at(i)) != nullptr);
            QCOMPARE(field(d, sums.at(i))->text(), suitable ? sum_values.at(i) : QString("---"));
        }
        // Every worker or machine row carries its cost unit.
        const auto labels = box->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        const auto euro = std::count_if(labels.begin(), labels.end(),
                                        [](const QLabel* l) { return l->text() == "Euro/Fm"; });
        QCOMPARE(static_cast<int>(euro), static_cast<int>(rows.size()));
    }
}

void TestResultsDialog::values_two_decimals_right_aligned() {
    State s = marked_state();
    s.gff_g3 = 3.5;
    s.gff_e3 = 1234.567;
    ResultsDialog d(s, nullptr);
    QCOMPARE(field(d, 25102)->text(), QString("3,50"));
    QCOMPARE(field(d, 25101)->text(), QString("1234,57"));
    for (const int id : {25101, 25102, 25109, 25111})
        QVERIFY(field(d, id)->alignment() & Qt::AlignRight);
}

void TestResultsDialog::yarding_fourth_machine_is_forwarder() {
    State s = marked_state();
    s.set_flags({0, 0, 0, 0, 1, 0});
    ResultsDialog d(s, nullptr);
    const auto* box = d.findChild<QGroupBox*>("25500");
    QStringList labels;
    for (const QLabel* l : box->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        labels << l->text();
    QVERIFY(labels.contains("Forwarder"));
    QVERIFY(!labels.contains("Verzerr-Schlepper"));
    QCOMPARE(field(d, 25507)->text(), QString("1,19"));
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
    QVERIFY(b != nullptr);
    QCOMPARE(b->text(), text);
    QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), result);
}

void TestResultsDialog::close_box_is_ok() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    QVERIFY(d.close());
    QCOMPARE(d.result(), int(forstrix::ui::ResultsOk));
}

void TestResultsDialog::enter_and_escape_do_not_close() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.setResult(-1);
    d.show();
    auto* save = d.findChild<QPushButton*>("25998");
    for (QWidget* target : {static_cast<QWidget*>(&d), static_cast<QWidget*>(save),
                            static_cast<QWidget*>(d.findChild<QScrollArea*>())}) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(target, key);
            QVERIFY(d.isVisible());
            QCOMPARE(d.result(), -1);
        }
    }
}

void TestResultsDialog::fits_the_screen() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const QRect avail = d.screen()->availableGeometry();
    QVERIFY(avail.contains(d.frameGeometry()));
    QCOMPARE(d.frameGeometry().top(), avail.top());
    QCOMPARE(d.frameGeometry().width(), avail.width());
    QCOMPARE(d.frameGeometry().height(), avail.height());
}

void TestResultsDialog::keys_scroll_within_the_content() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    auto* area = d.findChild<QScrollArea*>();
    QScrollBar* bar = vbar(d);
    // The range is exactly how far the content reaches below the view.
    QCOMPARE(bar->maximum(), area->widget()->height() - area->viewport()->height());
    QVERIFY2(bar->maximum() > 100, "the content must be taller than the screen for this test");
    QCOMPARE(bar->value(), 0);

    QTest::keyClick(area, Qt::Key_Up);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(area, Qt::Key_Down);
    QCOMPARE(bar->value(), 10);
    QTest::keyClick(area, Qt::Key_PageDown);
    QCOMPARE(bar->value(), 60);
    QTest::keyClick(area, Qt::Key_Up);
    QCOMPARE(bar->value(), 50);
    QTest::keyClick(area, Qt::Key_PageUp);
    QCOMPARE(bar->value(), 0);
    // Keys reach the dialog also while a button has the focus.
    auto* ok = d.findChild<QPushButton*>("25999");
    QTest::keyClick(ok, Qt::Key_PageDown);
    QCOMPARE(bar->value(), 50);
    QTest::keyClick(ok, Qt::Key_Down);
    QCOMPARE(bar->value(), 60);

    // Held down, Page Down ends at the bottom of the content, not beyond.
    for (int i = 0; i < 200; ++i) QTest::keyClick(area, Qt::Key_PageDown, Qt::NoModifier);
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(area->widget()->geometry().bottom(), area->viewport()->height() - 1);
    QTest::keyClick(area, Qt::Key_Down);
    QCOMPARE(bar->value(), bar->maximum());
    for (int i = 0; i < 200; ++i) QTest::keyClick(area, Qt::Key_PageUp);
    QCOMPARE(bar->value(), 0);
}

void TestResultsDialog::wheel_scrolls_one_line_per_notch() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QScrollBar* bar = vbar(d);
    QWidget* label = field(d, 25101);

    send_wheel(label, -120);  // towards the user: down
    QCOMPARE(bar->value(), 10);
    send_wheel(label, -120);
    QCOMPARE(bar->value(), 20);
    send_wheel(label, 120);
    QCOMPARE(bar->value(), 10);
    // A fine wheel: two half notches make one line.
    send_wheel(label, -60);
    QCOMPARE(bar->value(), 10);
    send_wheel(label, -60);
    QCOMPARE(bar->value(), 20);
    // Over the chart and over the scroll bar itself the same.
    send_wheel(d.findChild<QWidget*>("chart"), -120);
    QCOMPARE(bar->value(), 30);
    send_wheel(bar, 120);
    QCOMPARE(bar->value(), 20);
    // Not above the top.
    for (int i = 0; i < 5; ++i) send_wheel(label, 120);
    QCOMPARE(bar->value(), 0);
}

void TestResultsDialog::drag_scrolls_one_line_per_move() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QScrollBar* bar = vbar(d);
    QWidget* label = field(d, 25102);

    // Moving without a pressed button does nothing.
    send_mouse(&d, label, QEvent::MouseMove, 40, Qt::NoButton);
    QCOMPARE(bar->value(), 0);

    send_mouse(&d, label, QEvent::MouseButtonPress, 10, Qt::LeftButton);
    send_mouse(&d, label, QEvent::MouseMove, 11, Qt::LeftButton);
    QCOMPARE(bar->value(), 10);
    send_mouse(&d, label, QEvent::MouseMove, 300, Qt::LeftButton);  // far: still one line
    QCOMPARE(bar->value(), 20);
    send_mouse(&d, label, QEvent::MouseMove, 300, Qt::LeftButton);  // not moved
    QCOMPARE(bar->value(), 20);
    send_mouse(&d, label, QEvent::MouseMove, 299, Qt::LeftButton);
    QCOMPARE(bar->value(), 10);
    send_mouse(&d, label, QEvent::MouseButtonRelease, 299, Qt::NoButton);
    send_mouse(&d, label, QEvent::MouseMove, 400, Qt::NoButton);
    QCOMPARE(bar->value(), 10);

    // A press on a button clicks it and starts no drag.
    auto* save = d.findChild<QPushButton*>("25998");
    QSignalSpy clicked(save, &QPushButton::pressed);
    const QPointF centre = QRectF(save->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, save->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(save, &press);
    QCOMPARE(clicked.count(), 1);
    send_mouse(&d, save, QEvent::MouseMove, 50, Qt::LeftButton);
    QCOMPARE(bar->value(), 10);
}

void TestResultsDialog::starts_at_the_top_again() {
    const State s = marked_state();
    ResultsDialog d(s, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    for (int i = 0; i < 5; ++i) QTest::keyClick(d.findChild<QScrollArea*>(), Qt::Key_PageDown);
    QCOMPARE(vbar(d)->value(), 250);
    QTest::mouseClick(d.findChild<QPushButton*>("25999"), Qt::LeftButton);
    QVERIFY(!d.isVisible());

    d.show();
    QCOMPARE(vbar(d)->value(), 0);
    // A fresh dialog as well, with the focus not pulling the view down.
    ResultsDialog again(s, nullptr);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(vbar(again)->value(), 0);
}

void TestResultsDialog::screenshots() {
    // The default stand as the program starts: flags 1, 1, 1, 0, 0, 0.
    State s;
    forstrix::startup_compute(s);
    forstrix::calc_zeitbedarfkosten(s);
    {
        ResultsDialog d(s, nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(field(d, 25109)->text(), QString("26,48"));
        QCOMPARE(field(d, 25409)->text(), QString("---"));
        forstrix::ui::test::save_screenshot(d.findChild<QScrollArea*>()->widget(),
                                            "results_default");
    }

    // No stand makes all six systems suitable: I needs a slope of at most
    // 35 %, IV at least 36 %. Look for one anyway, so that a change of the
    // rules would show; otherwise set the flags directly.
    State all = s;
    bool found = false;
    for (std::uint32_t bhd = 6; bhd <= 90 && !found; ++bhd)
        for (std::uint32_t hn = 0; hn <= 65 && !found; ++hn)
            for (std::uint32_t br = 0; br <= 1 && !found; ++br) {
                State t = all;
                t.gi_bhd = bhd;
                t.gi_hn = hn;
                t.gi_br = br;
                t.gi_hvs = 1;
                forstrix::store(t, forstrix::calc_bestand(forstrix::stand_inputs(t)));
                const auto flags = forstrix::calc_eignung(forstrix::suitability_inputs(t));
                if (flags == std::array<std::int32_t, 6>{1, 1, 1, 1, 1, 1}) {
                    all = t;
                    found = true;
                }
            }
    QVERIFY(!found);
    all.set_flags({1, 1, 1, 1, 1, 1});
    ResultsDialog d(all, nullptr);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    for (int id = 25100; id <= 25600; id += 100)
        QVERIFY(d.findChild<QGroupBox*>(QString::number(id))->title().endsWith(" - geeignet"));
    forstrix::ui::test::save_screenshot(d.findChild<QScrollArea*>()->widget(),
                                        "results_all_suitable");
}

QTEST_MAIN(TestResultsDialog)
#include "test_results_dialog.moc"
