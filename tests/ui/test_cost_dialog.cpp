// "Eingabe Kosten" driven as a user drives it.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "tests/ui/ui_test_support.h"
#include "ui/cost_dialog.h"
#include "ui/dialog_codes.h"

using namespace forstrix;
using namespace forstrix::ui;
using test::at;
using test::type;

class TestCostDialog : public QObject {
    Q_OBJECT
private slots:
    // Typed text, or stored values with more decimals than their fields
    // show: the wages and sums at opening already belong to the shown
    // values, so OK without an edit changes none of them.
    void wagesAndSums_data() {
        QTest::addColumn<QString>("set");  // "member=value ..." before opening
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        // Wages with PNK; with wages: skidder, harvester, forwarder, FSA, slope ones, yarder.
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("leaves");  // the leaving buttons are on
        const QString defaults = "19,20 20,80 68,39 163,93 103,31 137,93 182,13 114,90 354,15";
        QTest::newRow("defaults") << "" << 0 << "" << defaults << true;
        QTest::newRow("forest worker PNK 60.5 shown 60") << "gf_nfw=60.5" << 0 << "" << defaults << true;
        QTest::newRow("skidder cost 45.2849 shown 45,28") << "gf_ss=45.2849 gf_hab112=137.9349" << 0 << ""
            << defaults << true;
        QTest::newRow("operator wage") << "" << 20002 << "16"
            << "19,20 25,60 73,72 169,93 109,31 143,93 188,13 120,90 366,15" << true;
        QTest::newRow("operator PNK zero") << "" << 20004 << "0"
            << "19,20 13,00 59,72 154,18 93,56 128,18 172,38 105,15 334,65" << true;
        QTest::newRow("unreadable cost counts 0, blocks leaving") << "" << 20012 << "12a"
            << "19,20 20,80 68,39 26,00 103,31 137,93 182,13 114,90 354,15" << false;
        QTest::newRow("wage beyond its range counts 0, blocks leaving") << "" << 20001 << "1000000,01"
            << "0,00 20,80 68,39 163,93 103,31 137,93 182,13 114,90 306,15" << false;
    }
    void wagesAndSums() {
        QFETCH(QString, set);
        QFETCH(int, id);
        QFETCH(QString, text);
        QFETCH(bool, leaves);
        State s = test::started();
        test::set_values(s, set);
        const auto figures = [](QWidget& d) {
            QStringList shown;
            for (int i : {20100, 20101, 20300, 20301, 20302, 20303, 20304, 20305, 20306})
                shown << at<QLabel>(d, i)->text();
            return shown.join(' ');
        };
        CostDialog d(s);
        d.show();
        if (id != 0) type(at(d, id), text);
        QTEST(figures(d), "shown");
        for (int b : {20996, 20997, 20998}) QCOMPARE(at<QPushButton>(d, b)->isEnabled(), leaves);
        if (set.isEmpty() && id == 0) test::save_screenshot(&d, QStringLiteral("cost_dialog"));
        if (!leaves) return;
        QTest::mouseClick(at<QPushButton>(d, 20998), Qt::LeftButton);
        QCOMPARE(d.result(), int(InputOk));
        CostDialog again(s);
        QCOMPARE(figures(again), figures(d));
    }

    void leaving_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("button");  // 0: the close box
        QTest::addColumn<int>("result");  // -1: refused, the dialog stays
        QTest::addColumn<int>("zeitgrad");  // EST or MGV after leaving
        QTest::newRow("OK") << 20201 << "120" << 20998 << int(InputOk) << 120;
        QTest::newRow("Eingabe Bestandesdaten...") << 20201 << "120" << 20997 << int(InputOtherDialog) << 120;
        QTest::newRow("Ergebnis...") << 20201 << "120" << 20996 << int(InputResults) << 120;
        QTest::newRow("close box") << 20201 << "120" << 0 << int(InputCancelled) << 130;
        QTest::newRow("EST 160,7 truncated") << 20200 << "160,7" << 20998 << int(InputOk) << 160;
        QTest::newRow("EST 9 refused, as beyond 200") << 20200 << "9" << 20998 << -1 << 160;
    }
    void leaving() {
        QFETCH(int, id);
        QFETCH(int, button);
        QFETCH(int, result);
        test::ScriptedMessages messages;
        State s = test::started();
        CostDialog d(s);
        d.show();
        type(at(d, 20001), QStringLiteral("14,5"));
        QFETCH(QString, text);
        type(at(d, id), text);
        QVERIFY(d.isVisible() && s.gf_fw == 12.0);  // typing stores nothing
        if (button == 0)
            d.close();
        else
            QTest::mouseClick(at<QPushButton>(d, button), Qt::LeftButton);
        QTEST(id == 20200 ? s.gi_zest : s.gi_zmgv, "zeitgrad");
        const bool stored = result != -1 && result != InputCancelled;
        QCOMPARE(s.gf_fw, stored ? 14.5 : 12.0);
        QCOMPARE(s.gf_hab112, stored ? 137.93 : test::started().gf_hab112);  // as its field showed it
        QCOMPARE(d.isVisible(), result == -1);
        if (result != -1) QCOMPARE(d.result(), result);
        QCOMPARE(messages.shown().size(), std::size_t(result == -1));
        for (const auto& m : messages.shown()) {
            QCOMPARE(m.text, QStringLiteral("Zeitgrad erscheint unplausibel!\nErwartet wird 10 bis 200"));
            QVERIFY(m.title == "Warnung" && m.icon == MsgIcon::None && m.buttons == MsgButtons::Ok);
        }
    }
};

QTEST_MAIN(TestCostDialog)
#include "test_cost_dialog.moc"
