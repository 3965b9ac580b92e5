// The results dialog: what it shows for suitable and unsuitable systems, how it scrolls and ends.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionGroupBox>
#include <QWheelEvent>
#include <QtTest>

#include "core/calc.h"
#include "core/emissions.h"
#include "ui/caption_box.h"
#include "ui/dialog_codes.h"
#include "ui/results_dialog.h"
#include "ui_test_support.h"

using forstrix::State;
using forstrix::ui::ResultsDialog;

static QLabel* field(const QWidget& d, int id) { return d.findChild<QLabel*>(QString::number(id)); }

// Recognisable results without running the model: the first time of each
// system 1.0N min or h/Fm, the sums 30.NN Euro/Fm, N l diesel per Fm.
static State marked_state() {
    State s;
    s.gff_e3 = 1.01, s.gff_e12 = 1.02, s.gff_e20 = 1.03, s.gff_e27 = 1.04, s.gff_e34 = 1.05, s.gff_e41 = 1.06;
    s.gff_g7 = 30.07, s.gff_g8 = 30.08, s.gff_g15 = 30.15, s.gff_g16 = 30.16, s.gff_g24 = 30.24;
    s.gff_g31 = 30.31, s.gff_g39 = 30.39, s.gff_g45 = 30.45;
    s.diesel_sys1 = 1, s.diesel_sys2 = 2, s.diesel_sys3 = 3, s.diesel_sys4 = 4, s.diesel_sys5 = 5, s.diesel_sys6 = 6;
    return s;
}

// The lightness (0 black ... 255 white) of the darkest pixel the widget
// paints within `rect`: the colour of a text drawn there.
static int darkest(QWidget* w, const QRect& rect) {
    const QImage img = w->grab(rect).toImage();
    int least = 255;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) least = std::min(least, qGray(img.pixel(x, y)));
    return least;
}

// Where the style draws the caption of `box`.
static QRect caption_rect(QGroupBox* box) {
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.lineWidth = 1;
    opt.textAlignment = box->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
}

// The content as it opens, active, for a reviewer.
static void screenshot(ResultsDialog& d, const char* name) {
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    forstrix::ui::test::save_screenshot(d.findChild<QScrollArea*>()->widget(), name);
}

static void wheel(QWidget* target, int delta) {
    QWheelEvent ev(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &ev);
}

class TestResultsDialog : public QObject {
    Q_OBJECT
private slots:
    void systems_data() {
        QTest::addColumn<QStringList>("sums");  // id=text when suitable
        QTest::newRow("I") << QStringList{"25109=30,07", "25111=30,08"};
        QTest::newRow("II") << QStringList{"25207=30,15", "25209=30,16"};
        QTest::newRow("III") << QStringList{"25309=30,24"};
        QTest::newRow("IV") << QStringList{"25409=30,31"};
        QTest::newRow("V") << QStringList{"25511=30,39"};
        QTest::newRow("VI") << QStringList{"25609=30,45"};
    }
    void systems() {
        const auto system = int(QStringList{"I", "II", "III", "IV", "V", "VI"}.indexOf(QTest::currentDataTag()));
        QFETCH(QStringList, sums);
        for (const bool suitable : {true, false}) {  // this system one way, all others the other way
            State s = marked_state();
            std::array<std::int32_t, 6> flags{};
            for (std::size_t i = 0; i < 6; ++i) flags[i] = (int(i) == system) == suitable;
            s.set_flags(flags);
            ResultsDialog d(s, nullptr);
            d.show();
            const int id = 25101 + 100 * system;
            auto* box = d.findChild<QGroupBox*>(QString::number(id - 1));
            QVERIFY(box->title().startsWith(QTest::currentDataTag() + QString(") ")));
            QVERIFY(box->title().endsWith(suitable ? " - geeignet" : " - ungeeignet"));
            // Unsuitable: the caption greyed, and nothing else.
            const int grey = qGray(box->palette().color(QPalette::Disabled, QPalette::WindowText).rgb());
            const int caption = darkest(box, caption_rect(box));
            if (suitable) QVERIFY2(caption < 80, qPrintable(QString::number(caption)));
            else QVERIFY2(std::abs(caption - grey) <= 12, qPrintable(QString("%1 %2").arg(caption).arg(grey)));
            QVERIFY(box->isEnabled());
            for (QLabel* l : box->findChildren<QLabel*>()) {
                QVERIFY(l->isEnabled());
                if (!l->text().isEmpty())
                    QVERIFY2(darkest(l, l->rect()) < 80, qPrintable(l->text()));
            }
            for (const QLabel* l : box->findChildren<QLabel*>())  // the figures are named by their ids
                if (l->objectName().startsWith("25"))
                    QCOMPARE(l->text().isEmpty() || l->text() == "---", !suitable);
            QCOMPARE(field(d, id)->text(), suitable ? QString("1,0%1").arg(system + 1) : "");
            for (const QString& sum : sums)
                QCOMPARE(field(d, sum.left(5).toInt())->text(), suitable ? sum.mid(6) : "---");
            // The fuel line beneath the sums, only where the system suits.
            QCOMPARE(field(d, id + 49)->text(), suitable ? QString::fromStdString(forstrix::fuel_text(s, system)) : "");
        }
    }

    // An unsuitable system says why inside its greyed group, in the normal
    // text colour; a suitable one has no such text.
    void unsuitableSystemsSayWhy_data() {
        QTest::addColumn<QString>("stand");  // NAME=VALUE
        QTest::addColumn<QStringList>("reasons");  // I ... VI, lines separated by '|'
        QTest::newRow("default stand") << ""
                                       << QStringList{"", "", "", "Hangneigung 14 %: mindestens 36 %",
                                                      "Hangneigung 14 %: mindestens 36 %|Mindestvolumen [ > 70 EFm] je Seillinie nicht erreicht",
                                                      "BHD 20 cm: höchstens 18 cm"};
        QTest::newRow("thin trees on a steep slope, rope line full")
            << "gi_bhd=12 gi_hn=40 gi_hvs=1"
            << QStringList{"BHD 12 cm: mindestens 15 cm|Hangneigung 40 %: höchstens 35 %",
                           "BHD 12 cm: mindestens 15 cm|Hangneigung 40 %: höchstens 35 %", "Hangneigung 40 %: höchstens 35 %",
                           "", "BHD 12 cm: mindestens 15 cm", "Hangneigung 40 %: höchstens 35 %"};
    }
    void unsuitableSystemsSayWhy() {
        QFETCH(QString, stand);
        QFETCH(QStringList, reasons);
        State s;
        forstrix::ui::test::set_values(s, stand);
        forstrix::startup_compute(s);
        s.set_flags(forstrix::calc_eignung(forstrix::suitability_inputs(s)));
        forstrix::calc_zeitbedarfkosten(s);
        ResultsDialog d(s, nullptr);
        d.show();
        // The default stand as the program starts: I, II and III suitable, the
        // captions of IV, V and VI grey.
        if (stand.isEmpty()) screenshot(d, "results_default");
        for (int i = 0; i < 6; ++i) {
            const QString id = QString::number(25100 + 100 * i);
            const auto* box = d.findChild<QGroupBox*>(id);
            const QList<QLabel*> labels = box->findChildren<QLabel*>("reasons" + id);
            QStringList lines;
            for (const QLabel* label : labels) lines << label->text();
            QCOMPARE(static_cast<const forstrix::ui::CaptionBox*>(box)->caption_greyed(), !reasons[i].isEmpty());
            QCOMPARE(lines.join('|').replace('\n', '|'), reasons[i]);
            for (int k = 0; k < labels.size(); ++k) {
                QLabel* label = labels[k];
                // Under the greyed caption, in the normal text colour.
                QVERIFY(label->isVisible() && label->isEnabled());
                QVERIFY2(darkest(label, label->rect()) < 80, qPrintable(label->text()));
                // Beside the k-th empty row, right of its "Euro/Fm" column.
                const QLabel* cost = field(d, 25102 + 100 * i + 2 * k);
                QVERIFY(label->mapTo(box, QPoint(0, 0)).x() > cost->mapTo(box, QPoint(cost->width(), 0)).x());
                const int label_middle = label->mapTo(box, QPoint(0, label->height() / 2)).y();
                const int cost_middle = cost->mapTo(box, QPoint(0, cost->height() / 2)).y();
                QVERIFY2(qAbs(label_middle - cost_middle) <= 1, qPrintable(label->text()));
            }
        }
    }

    void buttons_data() {
        QTest::addColumn<QString>("button");  // "": the close box
        QTest::addColumn<int>("result");
        QTest::newRow("Ergebnis speichern") << "25998" << int(forstrix::ui::ResultsSave);
        QTest::newRow("OK") << "25999" << int(forstrix::ui::ResultsOk);
        QTest::newRow("Bestandesdaten ändern...") << "25997" << int(forstrix::ui::ResultsChangeStand);
        QTest::newRow("close box") << "" << int(forstrix::ui::ResultsOk);
    }
    void buttons() {
        QFETCH(QString, button);
        const State s = marked_state();
        ResultsDialog d(s, nullptr);
        d.show();
        if (button.isEmpty()) d.close(); else QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QTEST(d.result(), "result");
    }

    void scrolling() {
        State s = forstrix::ui::test::started();
        s.set_flags({1, 1, 1, 1, 1, 1});  // no stand suits all six (I needs a slope of at most 35 %, IV at least 36 %)
        forstrix::calc_zeitbedarfkosten(s);
        ResultsDialog d(s, nullptr);
        d.show();
        screenshot(d, "results_all_suitable");
        QCOMPARE(d.frameGeometry(), d.screen()->availableGeometry());  // fits the screen
        auto* area = d.findChild<QScrollArea*>();
        QScrollBar* bar = area->verticalScrollBar();
        QWidget* label = field(d, 25101);
        QWidget* ok = d.findChild<QPushButton*>("25999");
        // Keys (above 255), also on a button; a line per wheel notch anywhere, half notches adding up.
        const std::vector<std::tuple<QWidget*, int, int>> steps = {
            {area, Qt::Key_Up, 0}, {area, Qt::Key_Down, 10}, {area, Qt::Key_PageDown, 60}, {ok, Qt::Key_Up, 50},
            {ok, Qt::Key_PageUp, 0}, {label, -120, 10}, {label, 120, 0}, {label, -60, 0}, {label, -60, 10},
            {d.findChild<QWidget*>("chart"), -120, 20}, {bar, 120, 10}, {label, 240, 0}};
        for (const auto& [target, step, value] : steps) {
            if (step > 255) QTest::keyClick(target, Qt::Key(step)); else wheel(target, step);
            QCOMPARE(bar->value(), value);
        }
        // Both end at the bottom of the content, with no background below it.
        for (int i = 0; i < 200; ++i) QTest::keyClick(area, Qt::Key_PageDown), wheel(label, -120);
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(area->widget()->geometry().bottom(), area->viewport()->height() - 1);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(&d, key), QTest::keyClick(ok, key);
        QVERIFY(d.isVisible());  // Enter ends nothing; Escape leaves like "OK"
        QTest::keyClick(ok, Qt::Key_Escape);
        QVERIFY(!d.isVisible() && d.result() == forstrix::ui::ResultsOk);
        d.show();
        QCOMPARE(bar->value(), 0);  // reopened, it starts at the top again
    }
};

QTEST_MAIN(TestResultsDialog)
#include "test_results_dialog.moc"
