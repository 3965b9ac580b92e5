// The stand data dialog driven as a user drives it: what it shows and what reaches the state.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>


#include "core/numtext.h"
#include "core/state.h"
#include "ui/dialog_codes.h"
#include "ui/stand_dialog.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;

template <class W = QWidget> static W* get(QWidget* dialog, const QString& id) { return test::child<W>(*dialog, id); }

// What the user reads on a list, a field or a display.
static QString shown(QWidget* dialog, const QString& id) {
    QWidget* w = get(dialog, id);
    if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText();
    if (auto* field = qobject_cast<QLineEdit*>(w)) return field->text();
    return get<QLabel>(dialog, id)->text();
}

// User actions, "10002=18;10009:2": "=" chooses the list entry, ":" types over the field's text.
static void act(QWidget* dialog, const QString& script) {
    for (const QString& step : script.split(';', Qt::SkipEmptyParts)) {
        const QRegularExpression sep("[:=]");
        QWidget* w = get(dialog, step.section(sep, 0, 0));
        if (auto* list = qobject_cast<QComboBox*>(w)) {
            list->setCurrentIndex(list->findText(step.section(sep, 1)));
            if (list->currentIndex() < 0) qFatal("no entry %s", qPrintable(step));
        } else {
            QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(w, Qt::Key_Backspace);
            QTest::keyClicks(w, step.section(sep, 1));
        }
    }
}

// "1" for "geeignet" in green, "0" for "nicht geeignet" in red, "?" for anything else.
static QString verdicts(QWidget* dialog) {
    QString out;
    for (int i = 0; i < 6; ++i) {
        auto* l = get<QLabel>(dialog, QString::number(10201 + i));
        const QColor c = l->palette().color(QPalette::WindowText);
        out += l->text() == "geeignet" && c == QColor(0, 128, 0) ? '1' : l->text() == "nicht geeignet" && c == Qt::red ? '0' : '?';
    }
    return out;
}

// Everything the dialog may write into the calculation state.
static QString stand(const State& s) {
    QString out = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 |")
                      .arg(s.gi_ba).arg(s.gi_bhd).arg(s.gi_sf).arg(s.gi_hn).arg(s.gi_ar).arg(s.gi_br)
                      .arg(s.gi_hvs).arg(s.gi_i_bb).arg(s.gi_ii_vzs).arg(s.gi_v_sll).arg(s.gi_v_kf);
    for (const double v : {s.gf_vab, s.gf_gf, s.gf_bh, s.gf_stm, s.gf_i_rd, s.gf_i_bse, s.gf_ii_rd,
                           s.gc_hoehe, s.gc_stm, s.gc_stmvoll, s.gc_stmderb, s.gc_vhieb})
        out += ' ' + QString::fromStdString(format_fixed(v, 6));
    out += " |";
    for (const int f : s.flags()) out += f == 1 ? '1' : '0';
    return out;
}

class TestStandDialog : public QObject {
    Q_OBJECT
private slots:
    void recomputesOnEveryChange_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("suitable");
        QTest::addColumn<QString>("displays");  // height, piece volume, harvest, both masses, II's distance
        QTest::addColumn<bool>("readable");  // else the three leaving buttons are off, the text marked
        const QString model = "18,91 0,2352 1500,00 --- --- 150";
        QTest::newRow("defaults") << "" << "111000" << model << true;
        QTest::newRow("BHD 18 admits chipwood") << "10002=18" << "111001" << "17,99 0,1812 1500,00 0,13 0,11 150" << true;
        QTest::newRow("no trafficable trails, rope line full") << "10006=nicht vorhanden;10010=ja" << "000010" << model << true;
        QTest::newRow("area 1,5") << "10009:1,5" << "100000" << "18,91 0,2352 45,00 --- --- 150" << true;
        QTest::newRow("empty volume reads 0") << "10008:" << "000000" << "18,91 0,2352 0,00 --- --- 150" << true;
        QTest::newRow("own height, piece volume follows") << "10011:25" << "111000" << "25,00 0,3110 1500,00 --- --- 150" << true;
        QTest::newRow("own piece volume above 1") << "10012:1,2" << "100000" << "18,91 1,2000 1500,00 --- --- 150" << true;
        QTest::newRow("II skids as far as I, whole") << "10021:180,7" << "111000" << "18,91 0,2352 1500,00 --- --- 180" << true;
        // Unreadable: no system for a stand field, but I's extra data do not decide; II keeps the last distance.
        QTest::newRow("skidding distance with letter") << "10021:180;10021:180a" << "111000"
                                                       << "18,91 0,2352 1500,00 --- --- 180" << false;
        QTest::newRow("volume with two commas") << "10008:1,5," << "000000" << "18,91 0,2352 0,00 --- --- 150" << false;
        // A value beyond its range cannot be used either.
        QTest::newRow("area beyond its range") << "10009:100000,01" << "000000" << "18,91 0,2352 0,00 --- --- 150" << false;
    }
    void recomputesOnEveryChange() {
        QFETCH(QString, script);
        QFETCH(QString, suitable);
        QFETCH(bool, readable);
        State s;
        StandDialog dlg(s);
        dlg.show();
        act(&dlg, script);
        QCOMPARE(verdicts(&dlg), suitable);
        QStringList displays;
        for (const char* id : {"10100", "10103", "10104", "10101", "10102", "10024"}) displays << shown(&dlg, id);
        QTEST(displays.join(' '), "displays");
        QString leave;  // OK, Abbrechen, Eingabe Kosten, Ergebnis; with the unreadable text marked
        for (const char* id : {"10998", "10999", "10997", "10996"}) leave += get(&dlg, id)->isEnabled() ? '1' : '0';
        QCOMPARE(leave, readable ? "1111" : "0100");
        if (!readable)
            QCOMPARE(get<QLineEdit>(&dlg, script.section(';', -1).section(':', 0, 0))->selectedText(), script.section(':', -1));
        if (!script.isEmpty()) return;
        const std::pair<const char*, const char*> opened[] = {  // what the other controls show at first
            {"10001", "Birke"}, {"10002", "20"}, {"10003", "normal/mittelschäftig"}, {"10004", "14"},
            {"10005", "bis 20"}, {"10006", "vorhanden"}, {"10008", "30,00"}, {"10009", "50,00"},
            {"10011", "0,00"}, {"10012", "0,0000"}, {"10020", "mittlere Behinderung"}, {"10021", "150"},
            {"10022", "10"}, {"10023", "0"}, {"10010", "nein"}, {"10025", "300"}, {"10026", "mittelgroße Kronen"}};
        for (const auto& [id, text] : opened) QCOMPARE(shown(&dlg, id), QString::fromUtf8(text));
        QVERIFY(get(&dlg, "10201")->toolTip().isEmpty() && get(&dlg, "10601")->toolTip().isEmpty());  // I suits
        test::save_screenshot(&dlg, QStringLiteral("stand_dialog"));
    }

    // One dialog, changed as a user would: the text area below the verdicts
    // names what keeps each system from suiting, the tooltips of its verdict
    // and of its frame too; nothing above the area moves.
    void reasonsFollowTheStandLive() {
        State s;
        StandDialog dlg(s);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* area = get<QPlainTextEdit>(&dlg, "reasons");
        const auto places = [&dlg] {  // the dialog's size, where every control is
            QStringList out{QString("%1x%2").arg(dlg.width()).arg(dlg.height())};
            for (QWidget* w : dlg.findChildren<QWidget*>())
                if (!w->objectName().isEmpty() && w->isVisible())
                    out << w->objectName() + QString("@%1,%2,%3,%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height());
            return out;
        };
        const QStringList opened_places = places();
        const QString bhd = "BHD 12 cm: mindestens 15 cm", slope = "Hangneigung 40 %: höchstens 35 %",
                      trails = "Befahrbarkeit Rückegassen nicht vorhanden: erforderlich vorhanden",
                      unreadable = "Volumen ausscheidender Bestand: Eingabe nicht lesbar";
        const QStringList titles{"I) Konv. HE", "II) Integr. HE", "III) Hochmech. HE befahrbar",
                                 "IV) Hochmech. HE Hang", "V) Yarding", "VI) Spanholz"};
        const std::pair<QString, QStringList> steps[] = {  // the script, the reasons of I ... VI
            {"10002=12;10004=40;10006=nicht vorhanden",
             {bhd + "; " + slope + "; " + trails, bhd + "; " + slope + "; " + trails, slope + "; " + trails, trails,
              bhd + "; Mindestvolumen [ > 70 EFm] je Seillinie nicht erreicht", slope + "; " + trails}},
            {"10008:30,0,", QStringList(6, unreadable)}};
        for (const auto& [script, reasons] : steps) {
            act(&dlg, script);
            QCOMPARE(verdicts(&dlg), "000000");
            QStringList lines;
            for (int i = 0; i < 6; ++i) {
                lines << titles[i] + " – " + reasons[i];
                const QString tip = QString(reasons[i]).replace("; ", "\n");
                QCOMPARE(get(&dlg, QString::number(10201 + i))->toolTip(), tip);
                QCOMPARE(get(&dlg, QString::number(10601 + i))->toolTip(), tip);
            }
            QCOMPARE(area->toPlainText(), lines.join('\n'));
            QVERIFY(area->isReadOnly());
            QCOMPARE(places(), opened_places);
            if (script.startsWith("10002")) test::save_screenshot(&dlg, QStringLiteral("stand_dialog_reasons"));
        }
    }

    void changeOfSpeciesClearsOwnValues() {
        test::ScriptedMessages msgs;  // the own height is doubtful; the answer is OK
        State s;
        StandDialog dlg(s);
        dlg.show();
        const auto own = [&dlg] { return shown(&dlg, "10011") + ' ' + shown(&dlg, "10012") + ' ' + shown(&dlg, "10100"); };
        act(&dlg, "10011:25;10012:0,3;10002=22;10003=abholzig/kurzschäftig");  // other lists keep them
        QCOMPARE(own(), "25 0,3 25,00");
        act(&dlg, "10001=Buche");
        QCOMPARE(own(), "0,00 0,0000 18,25");  // from the model again: BHD 22, form class 2
        act(&dlg, "10011:30");  // typed after the change, it counts
        QTest::mouseClick(get<QPushButton>(&dlg, "10998"), Qt::LeftButton);
        QVERIFY(dlg.result() == InputOk && s.gi_ba == 5u && s.gf_bh == 30.0 && s.gf_stm == 0.0);
    }

    // Leaving by OK and by the close box with every control changed (the
    // other buttons are the main window's chains); and the checks OK makes
    // first, each message with the answer given.
    void leaving_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("button");   // "" the close box
        QTest::addColumn<QString>("answers");  // to the questions, "O" OK, "C" Abbrechen
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("focus");  // where the user is taken back to; "" = ended
        QTest::addColumn<int>("result");
        const QString all = "10001=Eiche;10002=30;10003=abholzig/kurzschäftig;10004=20;10005=> 20;10010=ja;"
                            "10020=Sonderstandort;10023=5;10025=500;10026=große Kronen;10008:40;10009:12,5;10021:200;"
                            "10022:15;10011:14;10012:0,5";
        const QString ok = "10998";
        using L = QStringList;
        QTest::newRow("OK") << all << ok << "" << L{} << "" << int(InputOk);
        QTest::newRow("close box") << all << "" << "" << L{} << "" << int(InputCancelled);
        const QString volume = "Fehlende Eingabe des\nVolumens des ausscheidenden Bestands";
        const QString area = QString::fromUtf8("Fehlende Eingabe der\nGesamtfläche der Maßnahe");
        const QString conventional = "Fehlende Zusatzdaten für Konventionelle Holzernte";
        const QString height = QString::fromUtf8("Kontrollieren Sie Ihre Höheneingabe");
        const QString piece = QString::fromUtf8("Kontrollieren Sie Ihre Stückvolumeneingabe");
        const int in = InputOk;
        QTest::newRow("volume asked before area") << "10009:;10008:" << ok << "" << L{volume} << "10008" << in;
        QTest::newRow("skidding distance missing") << "10021:0" << ok << "" << L{conventional} << "10021" << in;
        QTest::newRow("I's extra data not needed when I is unsuitable") << "10004=40;10021:0;10022:" << ok << "" << L{} << "" << in;
        QTest::newRow("missing data before plausibility") << "10011:30;10009:" << ok << "" << L{area} << "10009" << in;
        QTest::newRow("own height too high, reconsidered") << "10011:30" << ok << "C" << L{height} << "10011" << in;
        QTest::newRow("own height too low, accepted") << "10011:10" << ok << "O" << L{height} << "" << in;
        QTest::newRow("height asked before piece volume") << "10011:30;10012:0,5" << ok << "OC" << L{height, piece} << "10012" << in;
        // The piece volume's band from the model height (0,18 to 0,29 EFm), not the own (0,28 to 0,47).
        QTest::newRow("piece volume judged against the model") << "10011:30;10012:0,25" << ok << "O" << L{height} << "" << in;
        // Tiny pieces on a 500 m cable line: the yarding time would be negative.
        QTest::newRow("outside the time model") << "10004=40;10010=ja;10025=500;10012:0,01" << ok << "O"
            << L{piece, QString::fromUtf8("Das Arbeitssystem \u201EV) Yarding\u201C ergibt für diesen Bestand eine negative "
                                          "Zeit je Fm; Stückvolumen und Baumhöhe liegen außerhalb des Bereichs, für den "
                                          "das Zeitmodell gilt.")} << "10012" << in;
    }
    void leaving() {
        QFETCH(QString, script);
        QFETCH(QString, button);
        QFETCH(QString, answers);
        QFETCH(QString, focus);
        QFETCH(int, result);
        test::ScriptedMessages msgs;
        for (const QChar a : answers) msgs.answer(a == 'O' ? MsgAnswer::Ok : MsgAnswer::Cancel);
        State s;
        const QString before = stand(s);
        StandDialog dlg(s);
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        act(&dlg, script);
        QVERIFY(dlg.isVisible() && stand(s) == before && msgs.shown().empty());
        if (button.isEmpty()) dlg.close(); else QTest::mouseClick(get<QPushButton>(&dlg, button), Qt::LeftButton);
        QStringList texts;
        for (const auto& m : msgs.shown()) {
            const bool question = m.text.startsWith(QStringLiteral("Kontrollieren"));
            QVERIFY(m.title == "Warnung" && m.icon == (question ? MsgIcon::None : MsgIcon::Error) &&
                    m.buttons == (question ? MsgButtons::OkCancel : MsgButtons::Ok));
            texts << m.text;
        }
        QTEST(texts, "messages");
        QCOMPARE(dlg.isVisible(), !focus.isEmpty());
        if (!focus.isEmpty()) {
            QCOMPARE(stand(s), before);
            QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "", focus);
            return;
        }
        QCOMPARE(dlg.result(), result);
        QVERIFY(stand(s) != before || result == InputCancelled);
        if (script.size() < 100) return;
        // Oak is species 6, its whole-tree mass from the diameter alone; spacing over 20 m rules out III.
        QCOMPARE(stand(s), result == InputCancelled ? before
                 : "6 30 2 20 1 0 1 5 5 4 2 | 40.000000 12.500000 14.000000 0.500000 200.000000 15.000000 200.000000 "
                   "14.000000 0.500000 0.736922 0.325000 500.000000 |110000");
    }
};

QTEST_MAIN(TestStandDialog)
#include "test_stand_dialog.moc"
