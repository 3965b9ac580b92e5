// The cost-basics dialogs (the machines', the chainsaw's and the emission
// factors') driven as a user drives them.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/calc.h"
#include "core/emissions.h"
#include "core/machines.h"
#include "core/numtext.h"
#include "tests/ui/ui_test_support.h"
#include "ui/fields.h"

using namespace forstrix;
using namespace forstrix::ui;
using test::at;
using test::type;

static const MachineKind& kind(const QString& stem) { return *find_machine_kind(stem.toStdString()); }

// The dialog of `stem` ("msc" the chainsaw's, "co2" the emission factors'), shown; its id.
static std::pair<std::unique_ptr<QDialog>, int> open(State& s, const QString& stem) {
    std::unique_ptr<QDialog> d = test::input_dialog(s, stem);
    d->show();
    const int id = d->objectName().toInt();
    return {std::move(d), id};
}

static std::vector<double> basics(const State& s, const QString& stem) {
    std::vector<double> v;
    if (stem == "msc") for (const auto& f : kChainsawFields) v.push_back(s.*f.value);
    else if (stem == "co2") for (const auto& f : kEmissionFactorFields) v.push_back(s.*f.value);
    else for (auto m : kind(stem).basics) v.push_back(s.*m);
    return v;
}

class TestMachineDialog : public QObject {
    Q_OBJECT
    test::ScriptedMessages messages_;

private slots:
    void cleanup() { QVERIFY(messages_.shown().empty()); }  // these dialogs never show a box

    void typedText_data() {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<QString>("script");  // "id=text;...", typed in this order
        QTest::addColumn<QString>("cost");  // "" any figure; "---" none and OK off
        QTest::addColumn<bool>("marked");  // a refused text is selected, so the user sees where
        for (auto [stem, c] : {std::pair{"msc", "6,63"}, {"asb", "45,28"}, {"hab", "137,93"}, {"fob", "77,31"},
                               {"hfsab", "111,93"}, {"hhb", "156,13"}, {"hfb", "88,90"}, {"mskb", "254,15"},
                               {"co2", "2,67 2,42"}})
            QTest::addRow("%s defaults", stem) << stem << "" << c << false;
        QTest::newRow("residual 2000, total -52,07") << "hab" << "13010=2000" << "---" << false;
        QTest::newRow("interest 12,5") << "hab" << "13006=12,5" << "142,99" << false;
        for (const QString& text : {QStringLiteral("1,2,3"), QStringLiteral("-450"), QString(309, '9')})  // the last beyond a double
            QTest::addRow("price '%s'", qPrintable(text.left(8))) << "hab" << "13001=" + text << "---" << true;
        QTest::newRow("chainsaw annual use below its smallest") << "msc" << "11004=0,001" << "---" << false;
        // The chainsaw needs a mixing ratio or a ready-mix price, which wins; and petrol with it.
        QTest::newRow("chainsaw: neither") << "msc" << "11017=0" << "---" << false;
        QTest::newRow("chainsaw: ready mix only") << "msc" << "11018=1,5;11017=0" << "6,65" << false;
        QTest::newRow("chainsaw: no petrol price") << "msc" << "11017=0;11018=1,5;11015=0" << "---" << false;
        // Emission factors: greater than 0 and at most 10.
        QTest::newRow("diesel 10,01 above") << "co2" << "19001=10,01" << "---" << false;
        QTest::newRow("diesel empty reads 0") << "co2" << "19001=" << "---" << false;
        QTest::newRow("petrol 2,4,2 unreadable") << "co2" << "19002=2,4,2" << "---" << true;
        // A zero: the divisors and the purchase price must be given; the residual
        // value may be 0, and the profit too, except on the skidder.
        for (const MachineKind& k : kMachineKinds) {
            const QString stem = QString::fromUtf8(k.stem.data(), static_cast<qsizetype>(k.stem.size()));
            for (int row : {44, 45, 46, 47, 48, 50, 53, 56})
                QTest::addRow("%s row %d zero", k.stem.data(), row)
                    << stem << QString("%1=0").arg(k.field_id(row - kFirstBasicRow))
                    << (row == 53 || (row == 56 && stem != "asb") ? "" : "---") << false;
        }
    }
    void typedText() {
        QFETCH(QString, stem);
        QFETCH(QString, script);
        QFETCH(QString, cost);
        State s = test::started();
        auto [d, id] = open(s, stem);
        QLineEdit* f = nullptr;
        QString text, before;
        for (const QString& step : script.split(';', Qt::SkipEmptyParts)) {
            f = at(*d, step.section('=', 0, 0).toInt());
            before = f->text();
            type(f, text = step.section('=', 1));
        }
        // The figure, or the emission factors' two fields as they opened.
        const QString shown = stem == "co2" ? (at<QPushButton>(*d, id + 998)->isEnabled() ? "" : "---")
                                            : at<QLabel>(*d, id + 100)->text();
        if (stem == "co2" && f == nullptr) {
            QCOMPARE(d->windowTitle() + ' ' + at(*d, 19001)->text() + ' ' + at(*d, 19002)->text(),
                     "Emissionsfaktoren " + cost);
            cost.clear();
        }
        QVERIFY2(shown == cost || (cost.isEmpty() && shown != "---"), qPrintable(shown));
        QCOMPARE(at<QPushButton>(*d, id + 998)->isEnabled(), shown != "---");
        if (f == nullptr)
            return test::save_screenshot(d.get(), stem == "msc"   ? QStringLiteral("chainsaw_dialog")
                                                  : stem == "co2" ? QStringLiteral("emission_dialog")
                                                                  : "machine_dialog_" + stem);
        QTEST(f->selectedText() == text && !text.isEmpty(), "marked");
        type(f, before);  // the last text undone, OK comes back
        QVERIFY(at<QPushButton>(*d, id + 998)->isEnabled());
    }

    void leaving_data() {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("button");  // OK 998, 0 the close box ("Abbrechen" is the keys' test)
        QTest::newRow("hab price") << "hab" << 13001 << "500" << 998;
        QTest::newRow("hfsab interest in 16005") << "hfsab" << 16005 << "9,5" << 998;
        QTest::newRow("asb annual use, shown whole") << "asb" << 12004 << "1200.5" << 998;
        QTest::newRow("msc annual use, shown whole") << "msc" << 11004 << "450,5" << 998;
        QTest::newRow("co2 petrol with a point") << "co2" << 19002 << "2.9" << 998;
        QTest::newRow("hab close box") << "hab" << 13001 << "999" << 0;
    }
    void leaving() {
        QFETCH(QString, stem);
        QFETCH(int, field);
        QFETCH(int, button);
        QFETCH(QString, text);
        State s = test::started();
        auto [d, id] = open(s, stem);
        std::vector<double> expected = basics(s, stem);
        const auto basic = std::size_t(field == 16005 ? 5 : field - id - 1);
        if (button == 998) expected[basic] = QString(text).replace(',', '.').toDouble();
        type(at(*d, field), text);
        QVERIFY(d->isVisible() && basics(s, stem) == basics(test::started(), stem));  // typing stores nothing
        if (button == 0)
            d->close();
        else
            QTest::mouseClick(at<QPushButton>(*d, id + button), Qt::LeftButton);
        QVERIFY(!d->isVisible() && d->result() == (button == 998));
        QCOMPARE(basics(s, stem), expected);
    }

    // Basics with more decimals than their fields show, as "daten.klg" may
    // hold them: the cost at opening is already the cost of the shown values,
    // so OK without an edit (and the computation after it) changes no figure.
    void openingShowsWhatOkStores_data() {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<QString>("set");  // "name=value ...", set before opening
        QTest::addColumn<QString>("cost");  // the figure at opening
        QTest::newRow("harvester repair factor 1.1049") << "hab" << "gf_hab48=1.1049" << "137,93";
        QTest::newRow("skidder rows shown whole") << "asb" << "gf_asb44=100.9 gf_asb47=1000.99" << "45,28";
        QTest::newRow("yarder repair factor and residual value") << "mskb" << "gf_mskb48=1.2049 gf_mskb53=10.4449" << "252,79";
        QTest::newRow("chainsaw annual use shown whole") << "msc" << "gf_msc8=450.9" << "6,63";
    }
    void openingShowsWhatOkStores() {
        QFETCH(QString, stem);
        QFETCH(QString, set);
        State s = test::started();
        test::set_values(s, set);
        // The row is telling: the unrounded basics cost something else.
        State unrounded = s;
        if (stem == "msc") calc_motorsaege(unrounded); else calc_machine(unrounded, kind(stem));
        const double State::*total = stem == "msc" ? &State::gf_msc37 : kind(stem).total();

        auto [d, id] = open(s, stem);
        const QString at_opening = at<QLabel>(*d, id + 100)->text();
        QTEST(at_opening, "cost");
        QVERIFY(qs(format_comma(unrounded.*total, 2)) != at_opening);
        QTest::mouseClick(at<QPushButton>(*d, id + 998), Qt::LeftButton);
        QCOMPARE(d->result(), 1);
        // What the main window does after the dialog, and what shows next.
        if (stem == "msc") calc_motorsaege(s); else calc_machine(s, kind(stem));
        QCOMPARE(qs(format_comma(s.*total, 2)), at_opening);
        auto [again, id_again] = open(s, stem);
        QCOMPARE(at<QLabel>(*again, id_again + 100)->text(), at_opening);
    }

    // A zero obsolescence time, only possible from the file: no "inf", OK
    // refused until it is mended. The highest price and the shortest life a
    // machine may be given do not widen the dialog: the whole figure is in
    // the tooltip.
    void unusableAndHugeValues() {
        State s = test::started();
        s.gf_hab45 = 0.0;
        auto [d, id] = open(s, "hab");
        QLabel* c = at<QLabel>(*d, 13100);
        QCOMPARE(c->text(), QStringLiteral("---"));
        QTest::mouseClick(at<QPushButton>(*d, 13998), Qt::LeftButton);
        QVERIFY(d->isVisible() && !at<QPushButton>(*d, 13998)->isEnabled());
        type(at(*d, 13002), QStringLiteral("8"));
        QCOMPARE(c->text(), QStringLiteral("137,93"));
        const int width = d->width();
        type(at(*d, 13001), QStringLiteral("100000"));
        type(at(*d, 13003), QStringLiteral("1"));
        QApplication::processEvents();
        c->grab();  // painted cut off
        QVERIFY(c->text().size() > 10 && c->toolTip() == c->text());
        type(at(*d, 13001), QStringLiteral("100000,01"));  // beyond the range
        QVERIFY(c->text() == QStringLiteral("---") && !at<QPushButton>(*d, 13998)->isEnabled());
        QVERIFY(d->width() == width && c->geometry().right() <= d->rect().right());
    }
};

QTEST_MAIN(TestMachineDialog)
#include "test_machine_dialog.moc"
