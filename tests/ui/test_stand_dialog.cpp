// The stand data dialog, driven as a user drives it: lists are chosen,
// numbers typed, buttons clicked; the tests look at what the dialog shows
// and at what reaches the calculation state.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/numtext.h"
#include "core/state.h"
#include "ui/dialog_codes.h"
#include "ui/stand_dialog.h"
#include "ui_test_support.h"

using forstrix::State;
using forstrix::ui::MsgAnswer;
using forstrix::ui::MsgButtons;
using forstrix::ui::MsgIcon;
using forstrix::ui::StandDialog;
using forstrix::ui::test::ScriptedMessages;

namespace {

template <class W = QWidget>
W* get(QWidget* dialog, const QString& id) {
    W* w = dialog->findChild<W*>(id);
    if (!w) qFatal("no control %s", qPrintable(id));
    return w;
}

// What the user reads on a control.
QString shown(QWidget* dialog, const QString& id) {
    QWidget* w = get(dialog, id);
    if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText();
    if (auto* field = qobject_cast<QLineEdit*>(w)) return field->text();
    if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title();
    if (auto* button = qobject_cast<QPushButton*>(w)) return button->text();
    return get<QLabel>(dialog, id)->text();
}

// Replaces the field's text the way a user does: select all, delete, type.
void type(QWidget* dialog, const QString& id, const QString& text) {
    auto* field = get<QLineEdit>(dialog, id);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// A little script of user actions, "10002=18;10009:2": "=" chooses the list
// entry, ":" types into the field.
void act(QWidget* dialog, const QString& script) {
    for (const QString& step : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype typed = step.indexOf(QLatin1Char(':'));
        const qsizetype chosen = step.indexOf(QLatin1Char('='));
        if (typed > 0 && (chosen < 0 || typed < chosen)) {
            type(dialog, step.left(typed), step.mid(typed + 1));
            continue;
        }
        auto* list = get<QComboBox>(dialog, step.left(chosen));
        const int pos = list->findText(step.mid(chosen + 1));
        if (pos < 0) qFatal("no entry %s", qPrintable(step));
        list->setCurrentIndex(pos);
    }
}

void click(QWidget* dialog, const QString& id) {
    QTest::mouseClick(get<QPushButton>(dialog, id), Qt::LeftButton);
}

// The verdicts as the user reads them: "1" for "geeignet" in green, "0" for
// "nicht geeignet" in red, "?" for anything else.
QString verdicts(QWidget* dialog) {
    QString out;
    for (int i = 0; i < 6; ++i) {
        auto* label = get<QLabel>(dialog, QString::number(10201 + i));
        const QColor colour = label->palette().color(QPalette::WindowText);
        if (label->text() == QLatin1String("geeignet") && colour == QColor(0, 128, 0))
            out += QLatin1Char('1');
        else if (label->text() == QLatin1String("nicht geeignet") && colour == QColor(255, 0, 0))
            out += QLatin1Char('0');
        else
            out += QLatin1Char('?');
    }
    return out;
}

// "1" or "0" per control, enabled or not.
QString enabled(QWidget* dialog, const QStringList& ids) {
    QString out;
    for (const QString& id : ids) out += QLatin1Char(get(dialog, id)->isEnabled() ? '1' : '0');
    return out;
}
const QStringList kLeaveButtons{"10998", "10999", "10997", "10996"};  // OK, Abbrechen, ...
const QStringList kFrames{"10900", "10901", "10902"};                  // I, II, V

// Everything the dialog may write into the calculation state.
QString stand(const State& s) {
    QString out = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 |")
                      .arg(s.gi_ba).arg(s.gi_bhd).arg(s.gi_sf).arg(s.gi_hn).arg(s.gi_ar)
                      .arg(s.gi_br).arg(s.gi_hvs).arg(s.gi_i_bb).arg(s.gi_ii_vzs)
                      .arg(s.gi_v_sll).arg(s.gi_v_kf);
    for (const double v : {s.gf_vab, s.gf_gf, s.gf_bh, s.gf_stm, s.gf_i_rd, s.gf_i_bse,
                           s.gf_ii_rd, s.gc_hoehe, s.gc_stm, s.gc_stmvoll, s.gc_stmderb,
                           s.gc_vhieb})
        out += QLatin1Char(' ') + QString::fromStdString(forstrix::format_fixed(v, 6));
    out += QStringLiteral(" |");
    for (const int f : s.flags()) out += QLatin1Char(f == 1 ? '1' : '0');
    return out;
}

// A stand that differs from the defaults in every list and field.
const char* const kEveryInputChanged =
    "10001=Eiche;10002=30;10003=abholzig/kurzschäftig;10004=20;10005=> 20;"
    "10010=ja;10020=Sonderstandort;10023=5;10025=500;10026=große Kronen;"
    "10008:40;10009:12,5;10021:200;10022:15;10011:14;10012:0,5";

}  // namespace

class TestStandDialog : public QObject {
    Q_OBJECT
private slots:
    void opensWithTheDefaults();
    void listContents_data();
    void listContents();
    void recomputesOnEveryChange_data();
    void recomputesOnEveryChange();
    void changeOfSpeciesClearsOwnValues();
    void ownValuesAreEmptyAtEveryOpening();
    void unreadableField_data();
    void unreadableField();
    void skiddingDistanceOfSystemIIFollowsSystemI();
    void leaveChecks_data();
    void leaveChecks();
    void leavingButtonsCommit_data();
    void leavingButtonsCommit();
    void cancelStoresNothing_data();
    void cancelStoresNothing();
    void enterAndEscapeKeepTheDialogOpen_data();
    void enterAndEscapeKeepTheDialogOpen();
    void tabOrderFollowsTheForm();
};

void TestStandDialog::opensWithTheDefaults() {
    State s;
    StandDialog dlg(s);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));

    QCOMPARE(dlg.windowTitle(), QStringLiteral("Eingabe Bestandesdaten (ausscheidender Bestand)"));
    const std::pair<const char*, const char*> expected[] = {
        {"10001", "Birke"}, {"10002", "20"}, {"10003", "normal/mittelschäftig"}, {"10004", "14"},
        {"10005", "bis 20"}, {"10006", "vorhanden"}, {"10008", "30,00"}, {"10009", "50,00"},
        {"10011", "0,00"}, {"10012", "0,0000"}, {"10020", "mittlere Behinderung"},
        {"10021", "150"}, {"10022", "10"}, {"10023", "0"}, {"10024", "150"}, {"10010", "nein"},
        {"10025", "300"}, {"10026", "mittelgroße Kronen"}, {"10100", "18,91"}, {"10101", "---"},
        {"10102", "---"}, {"10103", "0,2352"}, {"10104", "1500,00"},
        {"10900", "I) Konventionelle Holzernte"}, {"10901", "II) Integrierte Holzernte"},
        {"10902", "V) Yarding"}, {"10013", "Ihre Bestandesdaten"}, {"10601", "I) Konv. HE"},
        {"10602", "II) Integr. HE"}, {"10603", "III) Hochmech. HE befahrbar"},
        {"10604", "IV) Hochmech. HE Hang"}, {"10605", "V) Yarding"}, {"10606", "VI) Spanholz"},
        {"10998", "OK"}, {"10999", "Abbrechen"}, {"10997", "Eingabe Kosten..."},
        {"10996", "Ergebnis..."}};
    for (const auto& [id, text] : expected)
        QCOMPARE(shown(&dlg, QLatin1String(id)), QString::fromUtf8(text));
    QCOMPARE(get<QComboBox>(&dlg, QStringLiteral("10001"))->currentIndex(), 1);

    QStringList labels;
    for (const QLabel* l : dlg.findChildren<QLabel*>()) labels << l->text();
    for (const char* text :
         {"Hauptbaumart Laubholz", "BHD [cm]", "Formigkeit", "Hangneigung [%]",
          "Abstand Rückegassen [m]", "Befahrbarkeit Rückegassen",
          "Volumen ausscheidender Bestand\nalle Baumarten [EFm/ha]",
          "Gesamtfläche der Maßnahme [ha]", "Optionale Eingaben:", "Zusätzliche Bestandesdaten",
          "Begehbarkeit /\nBehinderungen", "Beiseilentfernung [m]",
          "Volumenanteil zusätzl.\nSortimente [%]",
          "Mindestvolumen [ > 70 EFm] je Seillinie erreicht", "Seillinienlänge [m]", "Kronenform",
          "Stückmasse Vollbaum [t atro]", "Stückmasse Derbholz [t atro]",
          "Gesamt-Hiebsanfall [EFm]"})
        QVERIFY2(labels.count(QString::fromUtf8(text)) == 1, text);
    // Field and display, or the fields of I and II, share these labels.
    for (const char* text : {"Baumhöhe [m]", "Stückvolumen je Baum [EFm]", "Rückedistanz [m]"})
        QVERIFY2(labels.count(QString::fromUtf8(text)) == 2, text);

    QCOMPARE(verdicts(&dlg), QStringLiteral("111000"));
    QCOMPARE(enabled(&dlg, kFrames), QStringLiteral("110"));
    QCOMPARE(enabled(&dlg, kLeaveButtons), QStringLiteral("1111"));
    QCOMPARE(dlg.palette().color(QPalette::Window), QColor(255, 255, 255));

    forstrix::ui::test::save_screenshot(&dlg, QStringLiteral("stand_dialog"));
}

void TestStandDialog::listContents_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("entries");  // all of them, or the first and the last

    QTest::newRow("species") << "10001" << 10
        << "Ahorn|Birke|Buche|Eberesche|Eiche|Erle|Esche|Kirsche|Pappel|Weide";
    QTest::newRow("BHD") << "10002" << 85 << "6|90";
    QTest::newRow("form class") << "10003" << 4
        << "vollholzig/langschäftig|normal/mittelschäftig|abholzig/kurzschäftig|"
           "stark abholzig/sehr kurzschäftig";
    QTest::newRow("slope") << "10004" << 66 << "0|65";
    QTest::newRow("spacing") << "10005" << 2 << "bis 20|> 20";
    QTest::newRow("trafficability") << "10006" << 2 << "vorhanden|nicht vorhanden";
    QTest::newRow("rope-line volume") << "10010" << 2 << "nein|ja";
    QTest::newRow("walkability") << "10020" << 6
        << "keine Behinderung|mittlere Behinderung|starke Behinderung|"
           "sehr starke Behinderung|extrem starke Behinderung|Sonderstandort";
    QTest::newRow("extra assortments") << "10023" << 82 << "0|85";
    QTest::newRow("rope-line length") << "10025" << 5 << "100|200|300|400|500";
    QTest::newRow("crown form") << "10026" << 3 << "kleine Kronen|mittelgroße Kronen|große Kronen";
}

void TestStandDialog::listContents() {
    QFETCH(QString, id);
    QFETCH(int, count);
    QFETCH(QString, entries);
    State s;
    StandDialog dlg(s);
    auto* list = get<QComboBox>(&dlg, id);
    QVERIFY(!list->isEditable());
    QCOMPARE(list->count(), count);
    QStringList texts;
    for (int i = 0; i < count; ++i) texts << list->itemText(i);
    const QStringList want = entries.split(QLatin1Char('|'));
    if (want.size() == count)
        QCOMPARE(texts, want);
    else
        QCOMPARE((QStringList{texts.first(), texts.last()}), want);
    if (id == QLatin1String("10023"))  // 0, then 5 upwards
        QCOMPARE(texts.mid(0, 3).join(QLatin1Char('|')), QStringLiteral("0|5|6"));
}

void TestStandDialog::recomputesOnEveryChange_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("suitable");
    // height, piece volume, harvest quantity, whole-tree mass, merchantable mass
    QTest::addColumn<QString>("displays");

    QTest::newRow("BHD 18 admits chipwood, masses shown")
        << "10002=18" << "111001" << "17,99 0,1812 1500,00 0,13 0,11";
    QTest::newRow("BHD 19 excludes chipwood") << "10002=19" << "111000"
                                              << "18,45 0,2072 1500,00 --- ---";
    QTest::newRow("slope 36 only for slope systems") << "10004=36" << "000100"
                                                     << "18,91 0,2352 1500,00 --- ---";
    QTest::newRow("no trafficable trails, rope line full")
        << "10006=nicht vorhanden;10010=ja" << "000010" << "18,91 0,2352 1500,00 --- ---";
    QTest::newRow("trail spacing over 20 m") << "10005=> 20" << "110000"
                                             << "18,91 0,2352 1500,00 --- ---";
    QTest::newRow("small area") << "10009:2" << "100000" << "18,91 0,2352 60,00 --- ---";
    QTest::newRow("area with comma") << "10009:1,5" << "100000" << "18,91 0,2352 45,00 --- ---";
    QTest::newRow("area with point") << "10009:1.5" << "100000" << "18,91 0,2352 45,00 --- ---";
    QTest::newRow("empty volume reads 0") << "10008:" << "000000" << "18,91 0,2352 0,00 --- ---";
    QTest::newRow("own height moves the piece volume")
        << "10011:25" << "111000" << "25,00 0,3110 1500,00 --- ---";
    QTest::newRow("own piece volume above 1 excludes II and III")
        << "10012:1,2" << "100000" << "18,91 1,2000 1500,00 --- ---";
    QTest::newRow("own piece volume exactly 1 keeps II")
        << "10012:1" << "110000" << "18,91 1,0000 1500,00 --- ---";
    QTest::newRow("oak has its own height curve")
        << "10001=Eiche" << "111000" << "16,34 0,2032 1500,00 --- ---";
}

void TestStandDialog::recomputesOnEveryChange() {
    QFETCH(QString, script);
    QFETCH(QString, suitable);
    State s;
    const QString before = stand(s);
    StandDialog dlg(s);
    dlg.show();
    act(&dlg, script);

    QCOMPARE(verdicts(&dlg), suitable);
    QStringList displays;
    for (const char* id : {"10100", "10103", "10104", "10101", "10102"})
        displays << shown(&dlg, QLatin1String(id));
    QTEST(displays.join(QLatin1Char(' ')), "displays");

    // The frames of I, II and V follow their verdicts; what they frame stays usable.
    QCOMPARE(enabled(&dlg, kFrames),
             QString(suitable[0]) + suitable[1] + suitable[4]);
    QCOMPARE(enabled(&dlg, {"10020", "10021", "10022", "10023", "10010", "10025", "10026"}),
             QStringLiteral("1111111"));
    QCOMPARE(enabled(&dlg, kLeaveButtons), QStringLiteral("1111"));
    QCOMPARE(stand(s), before);  // nothing reaches the state while editing
}

void TestStandDialog::changeOfSpeciesClearsOwnValues() {
    State s;
    StandDialog dlg(s);
    dlg.show();
    act(&dlg, QStringLiteral("10011:25;10012:0,3"));
    QCOMPARE(shown(&dlg, QStringLiteral("10100")), QStringLiteral("25,00"));
    act(&dlg, QStringLiteral("10002=22;10003=abholzig/kurzschäftig"));  // other lists keep them
    QCOMPARE(shown(&dlg, QStringLiteral("10011")), QStringLiteral("25"));
    QCOMPARE(shown(&dlg, QStringLiteral("10012")), QStringLiteral("0,3"));

    act(&dlg, QStringLiteral("10001=Buche"));
    QCOMPARE(shown(&dlg, QStringLiteral("10011")), QStringLiteral("0,00"));
    QCOMPARE(shown(&dlg, QStringLiteral("10012")), QStringLiteral("0,0000"));
    // From the model again: general height curve, form class 2, BHD 22.
    QCOMPARE(shown(&dlg, QStringLiteral("10100")), QStringLiteral("18,25"));
    QCOMPARE(shown(&dlg, QStringLiteral("10103")), QStringLiteral("0,2748"));

    act(&dlg, QStringLiteral("10011:20"));  // typed after the change, it counts
    click(&dlg, QStringLiteral("10998"));
    QCOMPARE(dlg.result(), int(forstrix::ui::InputOk));
    QCOMPARE(s.gi_ba, 5u);
    QCOMPARE(s.gf_bh, 20.0);
    QCOMPARE(s.gf_stm, 0.0);
}

void TestStandDialog::ownValuesAreEmptyAtEveryOpening() {
    ScriptedMessages msgs;  // both own values are doubtful; the answers are OK
    State s;
    StandDialog first(s);
    first.show();
    act(&first, QStringLiteral("10011:30;10012:0,5"));
    click(&first, QStringLiteral("10998"));
    QCOMPARE(s.gf_bh, 30.0);
    QCOMPARE(s.gf_stm, 0.5);

    StandDialog again(s);
    again.show();
    QCOMPARE(shown(&again, QStringLiteral("10011")), QStringLiteral("0,00"));
    QCOMPARE(shown(&again, QStringLiteral("10012")), QStringLiteral("0,0000"));
    QCOMPARE(shown(&again, QStringLiteral("10100")), QStringLiteral("18,91"));
    QCOMPARE(shown(&again, QStringLiteral("10103")), QStringLiteral("0,2352"));
}

void TestStandDialog::unreadableField_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("suitable");

    // An unreadable stand field makes every system unsuitable; the extra
    // data of system I do not decide suitability.
    QTest::newRow("volume with two commas") << "10008" << "1,5," << "000000";
    QTest::newRow("area with two points") << "10009" << "1.5." << "000000";
    QTest::newRow("area with comma and point") << "10009" << "1,5." << "000000";
    QTest::newRow("own height with sign") << "10011" << "-" << "000000";
    QTest::newRow("own height with blank") << "10011" << "2 " << "000000";
    QTest::newRow("own piece volume with exponent") << "10012" << "1e" << "000000";
    QTest::newRow("volume beyond every double") << "10008" << QString(309, QLatin1Char('9'))
                                                << "000000";
    QTest::newRow("skidding distance with letter") << "10021" << "15a" << "111000";
    QTest::newRow("lateral distance with sign") << "10022" << "-" << "111000";
}

void TestStandDialog::unreadableField() {
    QFETCH(QString, id);
    QFETCH(QString, text);
    State s;
    StandDialog dlg(s);
    dlg.show();
    type(&dlg, id, text);

    auto* field = get<QLineEdit>(&dlg, id);
    QCOMPARE(field->text(), text);
    QCOMPARE(field->selectedText(), text);
    QCOMPARE(enabled(&dlg, kLeaveButtons), QStringLiteral("0100"));
    QTEST(verdicts(&dlg), "suitable");
    QCOMPARE(shown(&dlg, QStringLiteral("10101")), QStringLiteral("---"));

    type(&dlg, id, QStringLiteral("20"));  // corrected, the dialog can be left again
    QCOMPARE(enabled(&dlg, kLeaveButtons), QStringLiteral("1111"));
    QVERIFY(!field->hasSelectedText());
}

void TestStandDialog::skiddingDistanceOfSystemIIFollowsSystemI() {
    State s;
    StandDialog dlg(s);
    dlg.show();
    type(&dlg, QStringLiteral("10021"), QStringLiteral("200"));
    QCOMPARE(shown(&dlg, QStringLiteral("10024")), QStringLiteral("200"));
    type(&dlg, QStringLiteral("10021"), QStringLiteral("180,7"));
    QCOMPARE(shown(&dlg, QStringLiteral("10024")), QStringLiteral("180"));
    // While unreadable, system II keeps the last distance it was given.
    QTest::keyClicks(get<QLineEdit>(&dlg, QStringLiteral("10021")), QStringLiteral(","));
    QCOMPARE(shown(&dlg, QStringLiteral("10024")), QStringLiteral("180"));
    type(&dlg, QStringLiteral("10021"), QStringLiteral("180,7"));

    click(&dlg, QStringLiteral("10998"));
    QCOMPARE(s.gf_i_rd, 180.7);
    QCOMPARE(s.gf_ii_rd, 180.7);
}

void TestStandDialog::leaveChecks_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("answers");  // to the questions, "O" OK, "C" Abbrechen
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("focus");  // where the user is taken back to; "" = committed

    const QString volume = QStringLiteral("Fehlende Eingabe des\nVolumens des ausscheidenden Bestands");
    const QString area = QStringLiteral("Fehlende Eingabe der\nGesamtfläche der Maßnahe");
    const QString conventional = QStringLiteral("Fehlende Zusatzdaten für Konventionelle Holzernte");
    const QString height = QStringLiteral("Kontrollieren Sie Ihre Höheneingabe");
    const QString piece = QStringLiteral("Kontrollieren Sie Ihre Stückvolumeneingabe");

    QTest::newRow("defaults pass") << "" << "" << QStringList{} << "";
    QTest::newRow("volume missing") << "10008:" << "" << QStringList{volume} << "10008";
    QTest::newRow("volume zero") << "10008:0,0" << "" << QStringList{volume} << "10008";
    QTest::newRow("area missing") << "10009:" << "" << QStringList{area} << "10009";
    QTest::newRow("volume asked before area") << "10009:;10008:" << "" << QStringList{volume}
                                              << "10008";
    QTest::newRow("skidding distance missing") << "10021:0" << "" << QStringList{conventional}
                                               << "10021";
    QTest::newRow("lateral distance missing") << "10022:" << "" << QStringList{conventional}
                                              << "10022";
    QTest::newRow("extra data of I not needed when I is unsuitable")
        << "10004=40;10021:0;10022:" << "" << QStringList{} << "";
    QTest::newRow("missing data before plausibility") << "10011:30;10009:" << ""
                                                      << QStringList{area} << "10009";
    QTest::newRow("own height within a quarter") << "10011:20" << "" << QStringList{} << "";
    QTest::newRow("own height too high, accepted") << "10011:30" << "O" << QStringList{height}
                                                   << "";
    QTest::newRow("own height too high, reconsidered") << "10011:30" << "C"
                                                       << QStringList{height} << "10011";
    QTest::newRow("own height too low, accepted") << "10011:10" << "O" << QStringList{height}
                                                  << "";
    QTest::newRow("own piece volume too high, reconsidered")
        << "10012:0,5" << "C" << QStringList{piece} << "10012";
    QTest::newRow("own piece volume too low, accepted") << "10012:0,1" << "O"
                                                        << QStringList{piece} << "";
    QTest::newRow("height asked before piece volume")
        << "10011:30;10012:0,5" << "OC" << QStringList{height, piece} << "10012";
    QTest::newRow("both accepted") << "10011:30;10012:0,5" << "OO"
                                   << QStringList{height, piece} << "";
    // The piece volume's band comes from the model height (0,18 to 0,29 EFm),
    // not from the own height (0,28 to 0,47 EFm from 30 m).
    QTest::newRow("piece volume judged against the model")
        << "10011:30;10012:0,25" << "O" << QStringList{height} << "";
}

void TestStandDialog::leaveChecks() {
    QFETCH(QString, script);
    QFETCH(QString, answers);
    QFETCH(QStringList, messages);
    QFETCH(QString, focus);

    ScriptedMessages msgs;
    for (const QChar a : answers)
        msgs.answer(a == QLatin1Char('O') ? MsgAnswer::Ok : MsgAnswer::Cancel);
    State s;
    const QString before = stand(s);
    StandDialog dlg(s);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    act(&dlg, script);
    click(&dlg, QStringLiteral("10998"));

    QStringList texts;
    for (const auto& m : msgs.shown()) {
        texts << m.text;
        QCOMPARE(m.title, QStringLiteral("Warnung"));
        const bool question = m.text.startsWith(QLatin1String("Kontrollieren"));
        QVERIFY(m.icon == (question ? MsgIcon::None : MsgIcon::Error));
        QVERIFY(m.buttons == (question ? MsgButtons::OkCancel : MsgButtons::Ok));
    }
    QCOMPARE(texts, messages);
    if (focus.isEmpty()) {
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(forstrix::ui::InputOk));
        QVERIFY(stand(s) != before);
    } else {
        QVERIFY(dlg.isVisible());
        QCOMPARE(stand(s), before);
        const QWidget* cursor = QApplication::focusWidget();
        QVERIFY(cursor);
        QCOMPARE(cursor->objectName(), focus);
    }
}

void TestStandDialog::leavingButtonsCommit_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("code");
    QTest::newRow("OK") << "10998" << int(forstrix::ui::InputOk);
    QTest::newRow("Eingabe Kosten") << "10997" << int(forstrix::ui::InputOtherDialog);
    QTest::newRow("Ergebnis") << "10996" << int(forstrix::ui::InputResults);
}

void TestStandDialog::leavingButtonsCommit() {
    QFETCH(QString, button);
    ScriptedMessages msgs;
    State s;
    StandDialog dlg(s);
    dlg.show();
    act(&dlg, QString::fromUtf8(kEveryInputChanged));
    const QString flags = verdicts(&dlg);
    click(&dlg, button);

    QVERIFY(msgs.shown().empty());
    QVERIFY(!dlg.isVisible());
    QTEST(dlg.result(), "code");
    // "Eiche" is internal species 6; the oak's whole-tree mass comes from the
    // diameter alone; trail spacing over 20 m rules out III.
    QCOMPARE(stand(s), QStringLiteral("6 30 2 20 1 0 1 5 5 4 2 | 40.000000 12.500000 14.000000 "
                                      "0.500000 200.000000 15.000000 200.000000 14.000000 "
                                      "0.500000 0.736922 0.325000 500.000000 |110000"));
    QCOMPARE(flags, QStringLiteral("110000"));
}

void TestStandDialog::cancelStoresNothing_data() {
    QTest::addColumn<bool>("close_box");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("close box") << true;
}

void TestStandDialog::cancelStoresNothing() {
    QFETCH(bool, close_box);
    ScriptedMessages msgs;
    State s;
    const QString before = stand(s);
    StandDialog dlg(s);
    dlg.show();
    act(&dlg, QString::fromUtf8(kEveryInputChanged));
    if (close_box)
        QVERIFY(dlg.close());
    else
        click(&dlg, QStringLiteral("10999"));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(forstrix::ui::InputCancelled));
    QVERIFY(msgs.shown().empty());
    QCOMPARE(stand(s), before);

    StandDialog again(s);  // the abandoned edit does not come back
    QCOMPARE(shown(&again, QStringLiteral("10001")), QStringLiteral("Birke"));
    QCOMPARE(shown(&again, QStringLiteral("10021")), QStringLiteral("150"));
}

void TestStandDialog::enterAndEscapeKeepTheDialogOpen_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("target");
    QTest::newRow("Return in a field") << int(Qt::Key_Return) << "10008";
    QTest::newRow("Enter in a list") << int(Qt::Key_Enter) << "10002";
    QTest::newRow("Return on OK") << int(Qt::Key_Return) << "10998";
    QTest::newRow("Enter on Ergebnis") << int(Qt::Key_Enter) << "10996";
    QTest::newRow("Escape in a field") << int(Qt::Key_Escape) << "10008";
    QTest::newRow("Escape on Abbrechen") << int(Qt::Key_Escape) << "10999";
}

void TestStandDialog::enterAndEscapeKeepTheDialogOpen() {
    QFETCH(int, key);
    QFETCH(QString, target);
    ScriptedMessages msgs;
    State s;
    const QString before = stand(s);
    StandDialog dlg(s);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QWidget* widget = get(&dlg, target);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key(key));
    QVERIFY(dlg.isVisible());
    QVERIFY(msgs.shown().empty());
    QCOMPARE(stand(s), before);
}

void TestStandDialog::tabOrderFollowsTheForm() {
    State s;
    StandDialog dlg(s);
    dlg.show();
    QWidget* w = get(&dlg, QStringLiteral("10001"));
    QStringList order;
    for (int guard = 0; guard < 200 && order.size() < 21; ++guard, w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&dlg)) order << w->objectName();
    QCOMPARE(order.join(QLatin1Char(' ')),
             QStringLiteral("10001 10002 10003 10004 10005 10006 10008 10009 10011 10012 "
                            "10020 10021 10022 10023 10010 10025 10026 "
                            "10998 10999 10997 10996"));
}

QTEST_MAIN(TestStandDialog)
#include "test_stand_dialog.moc"
