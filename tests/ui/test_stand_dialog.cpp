// The stand data dialog, driven as a user drives it: lists are chosen,
// numbers typed, buttons clicked; the tests look at what the dialog shows
// and at what reaches the calculation state.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/state.h"
#include "ui/dialog_codes.h"
#include "ui/stand_dialog.h"
#include "ui_test_support.h"

using forstrix::State;
using forstrix::ui::InputCancelled;
using forstrix::ui::InputOk;
using forstrix::ui::InputOtherDialog;
using forstrix::ui::InputResults;
using forstrix::ui::MsgAnswer;
using forstrix::ui::MsgButtons;
using forstrix::ui::MsgIcon;
using forstrix::ui::StandDialog;
using forstrix::ui::test::ScriptedMessages;

namespace {

template <class W>
W* get(QWidget* dialog, const QString& id) {
    W* w = dialog->findChild<W*>(id);
    if (!w) qFatal("no control %s", qPrintable(id));
    return w;
}

QString shown(QWidget* dialog, const QString& id) {
    if (auto* field = dialog->findChild<QLineEdit*>(id)) return field->text();
    return get<QLabel>(dialog, id)->text();
}

void choose(QWidget* dialog, const QString& id, const QString& entry) {
    auto* list = get<QComboBox>(dialog, id);
    const int pos = list->findText(entry);
    if (pos < 0) qFatal("list %s has no entry %s", qPrintable(id), qPrintable(entry));
    list->setCurrentIndex(pos);
}

// Replaces the field's text the way a user does: select all, delete, type.
void type(QWidget* dialog, const QString& id, const QString& text) {
    auto* field = get<QLineEdit>(dialog, id);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

void click(QWidget* dialog, const QString& id) {
    QTest::mouseClick(get<QPushButton>(dialog, id), Qt::LeftButton);
}

// A little script of user actions, "10002=18;10009:2": "=" chooses the list
// entry, ":" types into the field.
void act(QWidget* dialog, const QString& script) {
    for (const QString& step : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype typed = step.indexOf(QLatin1Char(':'));
        const qsizetype chosen = step.indexOf(QLatin1Char('='));
        if (typed > 0 && (chosen < 0 || typed < chosen))
            type(dialog, step.left(typed), step.mid(typed + 1));
        else
            choose(dialog, step.left(chosen), step.mid(chosen + 1));
    }
}

// The verdicts as the user reads them, "1" for "geeignet", "0" for
// "nicht geeignet"; a verdict in any other text or colour spoils the string.
QString verdicts(QWidget* dialog) {
    QString out;
    for (int i = 0; i < 6; ++i) {
        auto* label = get<QLabel>(dialog, QString::number(10201 + i));
        const QColor colour = label->palette().color(QPalette::WindowText);
        if (label->text() == QStringLiteral("geeignet") && colour == QColor(0, 128, 0))
            out += QLatin1Char('1');
        else if (label->text() == QStringLiteral("nicht geeignet") && colour == QColor(255, 0, 0))
            out += QLatin1Char('0');
        else
            out += QLatin1Char('?');
    }
    return out;
}

bool leave_buttons_enabled(QWidget* dialog) {
    return get<QPushButton>(dialog, QStringLiteral("10998"))->isEnabled() &&
           get<QPushButton>(dialog, QStringLiteral("10997"))->isEnabled() &&
           get<QPushButton>(dialog, QStringLiteral("10996"))->isEnabled();
}

bool leave_buttons_disabled(QWidget* dialog) {
    return !get<QPushButton>(dialog, QStringLiteral("10998"))->isEnabled() &&
           !get<QPushButton>(dialog, QStringLiteral("10997"))->isEnabled() &&
           !get<QPushButton>(dialog, QStringLiteral("10996"))->isEnabled();
}

// Everything the dialog may write into the calculation state.
bool same_stand(const State& a, const State& b) {
    return a.gi_ba == b.gi_ba && a.gi_bhd == b.gi_bhd && a.gi_sf == b.gi_sf && a.gi_hn == b.gi_hn &&
           a.gi_ar == b.gi_ar && a.gi_br == b.gi_br && a.gi_hvs == b.gi_hvs &&
           a.gi_i_bb == b.gi_i_bb && a.gi_ii_vzs == b.gi_ii_vzs && a.gi_v_sll == b.gi_v_sll &&
           a.gi_v_kf == b.gi_v_kf && a.gf_bh == b.gf_bh && a.gf_gf == b.gf_gf &&
           a.gf_vab == b.gf_vab && a.gf_i_rd == b.gf_i_rd && a.gf_i_bse == b.gf_i_bse &&
           a.gf_ii_rd == b.gf_ii_rd && a.gf_stm == b.gf_stm && a.gc_stm == b.gc_stm &&
           a.gc_hoehe == b.gc_hoehe && a.gc_stmvoll == b.gc_stmvoll &&
           a.gc_stmderb == b.gc_stmderb && a.gc_vhieb == b.gc_vhieb && a.flags() == b.flags();
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
    void labelsAndGroups();
    void recomputesOnEveryChange_data();
    void recomputesOnEveryChange();
    void changeOfSpeciesClearsOwnValues();
    void ownValuesAreEmptyAtEveryOpening();
    void unreadableField_data();
    void unreadableField();
    void numbersWithCommaOrPoint_data();
    void numbersWithCommaOrPoint();
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
    const std::pair<const char*, const char*> selected[] = {
        {"10001", "Birke"},   {"10002", "20"},   {"10003", "normal/mittelschäftig"},
        {"10004", "14"},      {"10005", "bis 20"}, {"10006", "vorhanden"},
        {"10010", "nein"},    {"10020", "mittlere Behinderung"}, {"10023", "0"},
        {"10025", "300"},     {"10026", "mittelgroße Kronen"}};
    for (const auto& [id, entry] : selected)
        QCOMPARE(get<QComboBox>(&dlg, QLatin1String(id))->currentText(), QString::fromUtf8(entry));
    QCOMPARE(get<QComboBox>(&dlg, QStringLiteral("10001"))->currentIndex(), 1);

    const std::pair<const char*, const char*> texts[] = {
        {"10008", "30,00"},   {"10009", "50,00"},   {"10011", "0,00"},   {"10012", "0,0000"},
        {"10021", "150"},     {"10022", "10"},      {"10024", "150"},    {"10100", "18,91"},
        {"10101", "---"},     {"10102", "---"},     {"10103", "0,2352"}, {"10104", "1500,00"}};
    for (const auto& [id, text] : texts)
        QCOMPARE(shown(&dlg, QLatin1String(id)), QString::fromUtf8(text));

    QCOMPARE(verdicts(&dlg), QStringLiteral("111000"));
    QVERIFY(get<QGroupBox>(&dlg, QStringLiteral("10900"))->isEnabled());
    QVERIFY(get<QGroupBox>(&dlg, QStringLiteral("10901"))->isEnabled());
    QVERIFY(!get<QGroupBox>(&dlg, QStringLiteral("10902"))->isEnabled());
    QVERIFY(leave_buttons_enabled(&dlg));
    QVERIFY(get<QPushButton>(&dlg, QStringLiteral("10999"))->isEnabled());
    QCOMPARE(dlg.palette().color(QPalette::Window), QColor(255, 255, 255));

    forstrix::ui::test::save_screenshot(&dlg, QStringLiteral("stand_dialog"));
}

void TestStandDialog::listContents_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("all");  // every entry, "|"-separated, for the short lists

    QTest::newRow("species") << "10001" << 10 << "Ahorn" << "Weide"
                             << "Ahorn|Birke|Buche|Eberesche|Eiche|Erle|Esche|Kirsche|Pappel|Weide";
    QTest::newRow("BHD") << "10002" << 85 << "6" << "90" << QString();
    QTest::newRow("form class") << "10003" << 4 << "vollholzig/langschäftig"
                                << "stark abholzig/sehr kurzschäftig"
                                << "vollholzig/langschäftig|normal/mittelschäftig|"
                                   "abholzig/kurzschäftig|stark abholzig/sehr kurzschäftig";
    QTest::newRow("slope") << "10004" << 66 << "0" << "65" << QString();
    QTest::newRow("spacing") << "10005" << 2 << "bis 20" << "> 20" << "bis 20|> 20";
    QTest::newRow("trafficability") << "10006" << 2 << "vorhanden" << "nicht vorhanden"
                                    << "vorhanden|nicht vorhanden";
    QTest::newRow("rope-line volume") << "10010" << 2 << "nein" << "ja" << "nein|ja";
    QTest::newRow("walkability") << "10020" << 6 << "keine Behinderung" << "Sonderstandort"
                                 << "keine Behinderung|mittlere Behinderung|starke Behinderung|"
                                    "sehr starke Behinderung|extrem starke Behinderung|Sonderstandort";
    QTest::newRow("extra assortments") << "10023" << 82 << "0" << "85" << QString();
    QTest::newRow("rope-line length") << "10025" << 5 << "100" << "500" << "100|200|300|400|500";
    QTest::newRow("crown form") << "10026" << 3 << "kleine Kronen" << "große Kronen"
                                << "kleine Kronen|mittelgroße Kronen|große Kronen";
}

void TestStandDialog::listContents() {
    QFETCH(QString, id);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, all);
    State s;
    StandDialog dlg(s);
    auto* list = get<QComboBox>(&dlg, id);
    QVERIFY(!list->isEditable());
    QCOMPARE(list->count(), count);
    QCOMPARE(list->itemText(0), first);
    QCOMPARE(list->itemText(count - 1), last);
    if (!all.isEmpty()) {
        QStringList entries;
        for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
        QCOMPARE(entries.join(QLatin1Char('|')), all);
    }
    if (id == QLatin1String("10023")) {
        QCOMPARE(list->itemText(1), QStringLiteral("5"));
        QCOMPARE(list->itemText(2), QStringLiteral("6"));
    }
}

void TestStandDialog::labelsAndGroups() {
    State s;
    StandDialog dlg(s);
    QStringList labels;
    for (const QLabel* l : dlg.findChildren<QLabel*>()) labels << l->text();
    const char* const expected[] = {
        "Hauptbaumart Laubholz", "BHD [cm]", "Formigkeit", "Hangneigung [%]",
        "Abstand Rückegassen [m]", "Befahrbarkeit Rückegassen",
        "Volumen ausscheidender Bestand\nalle Baumarten [EFm/ha]",
        "Gesamtfläche der Maßnahme [ha]", "Optionale Eingaben:", "Baumhöhe [m]",
        "Stückvolumen je Baum [EFm]", "Zusätzliche Bestandesdaten", "Begehbarkeit /\nBehinderungen",
        "Rückedistanz [m]", "Beiseilentfernung [m]", "Volumenanteil zusätzl.\nSortimente [%]",
        "Mindestvolumen [ > 70 EFm] je Seillinie erreicht", "Seillinienlänge [m]", "Kronenform",
        "Stückmasse Vollbaum [t atro]", "Stückmasse Derbholz [t atro]",
        "Gesamt-Hiebsanfall [EFm]"};
    for (const char* text : expected)
        QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
    // Two fields and two displays share a label with another.
    QCOMPARE(labels.count(QStringLiteral("Rückedistanz [m]")), 2);
    QCOMPARE(labels.count(QStringLiteral("Baumhöhe [m]")), 2);
    QCOMPARE(labels.count(QStringLiteral("Stückvolumen je Baum [EFm]")), 2);

    const std::pair<const char*, const char*> groups[] = {
        {"10900", "I) Konventionelle Holzernte"}, {"10901", "II) Integrierte Holzernte"},
        {"10902", "V) Yarding"},                  {"10013", "Ihre Bestandesdaten"},
        {"10601", "I) Konv. HE"},                 {"10602", "II) Integr. HE"},
        {"10603", "III) Hochmech. HE befahrbar"}, {"10604", "IV) Hochmech. HE Hang"},
        {"10605", "V) Yarding"},                  {"10606", "VI) Spanholz"}};
    for (const auto& [id, title] : groups)
        QCOMPARE(get<QGroupBox>(&dlg, QLatin1String(id))->title(), QString::fromUtf8(title));

    const std::pair<const char*, const char*> buttons[] = {
        {"10998", "OK"}, {"10999", "Abbrechen"}, {"10997", "Eingabe Kosten..."},
        {"10996", "Ergebnis..."}};
    for (const auto& [id, text] : buttons)
        QCOMPARE(get<QPushButton>(&dlg, QLatin1String(id))->text(), QString::fromUtf8(text));
}

void TestStandDialog::recomputesOnEveryChange_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("suitable");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("piece");
    QTest::addColumn<QString>("harvest");
    QTest::addColumn<QString>("full_mass");
    QTest::addColumn<QString>("merch_mass");

    QTest::newRow("BHD 18 admits chipwood, masses shown")
        << "10002=18" << "111001" << "17,99" << "0,1812" << "1500,00" << "0,13" << "0,11";
    QTest::newRow("BHD 19 excludes chipwood")
        << "10002=19" << "111000" << "18,45" << "0,2072" << "1500,00" << "---" << "---";
    QTest::newRow("slope 36 only for slope systems")
        << "10004=36" << "000100" << "18,91" << "0,2352" << "1500,00" << "---" << "---";
    QTest::newRow("no trafficable trails, rope line full")
        << "10006=nicht vorhanden;10010=ja" << "000010" << "18,91" << "0,2352" << "1500,00"
        << "---" << "---";
    QTest::newRow("trail spacing over 20 m") << "10005=> 20" << "110000" << "18,91" << "0,2352"
                                             << "1500,00" << "---" << "---";
    QTest::newRow("small area") << "10009:2" << "100000" << "18,91" << "0,2352" << "60,00"
                                << "---" << "---";
    QTest::newRow("empty volume reads 0") << "10008:" << "000000" << "18,91" << "0,2352"
                                          << "0,00" << "---" << "---";
    QTest::newRow("own height moves the piece volume")
        << "10011:25" << "111000" << "25,00" << "0,3110" << "1500,00" << "---" << "---";
    QTest::newRow("own piece volume above 1 excludes II and III")
        << "10012:1,2" << "100000" << "18,91" << "1,2000" << "1500,00" << "---" << "---";
    QTest::newRow("own piece volume exactly 1 keeps II")
        << "10012:1" << "110000" << "18,91" << "1,0000" << "1500,00" << "---" << "---";
    QTest::newRow("oak has its own height curve")
        << "10001=Eiche" << "111000" << "16,34" << "0,2032" << "1500,00" << "---" << "---";
}

void TestStandDialog::recomputesOnEveryChange() {
    QFETCH(QString, script);
    QFETCH(QString, suitable);
    State s;
    const State before = s;
    StandDialog dlg(s);
    dlg.show();
    act(&dlg, script);

    QCOMPARE(verdicts(&dlg), suitable);
    QTEST(shown(&dlg, QStringLiteral("10100")), "height");
    QTEST(shown(&dlg, QStringLiteral("10103")), "piece");
    QTEST(shown(&dlg, QStringLiteral("10104")), "harvest");
    QTEST(shown(&dlg, QStringLiteral("10101")), "full_mass");
    QTEST(shown(&dlg, QStringLiteral("10102")), "merch_mass");

    // The frames of I, II and V follow their verdicts; what they frame stays usable.
    QCOMPARE(get<QGroupBox>(&dlg, QStringLiteral("10900"))->isEnabled(), suitable[0] == '1');
    QCOMPARE(get<QGroupBox>(&dlg, QStringLiteral("10901"))->isEnabled(), suitable[1] == '1');
    QCOMPARE(get<QGroupBox>(&dlg, QStringLiteral("10902"))->isEnabled(), suitable[4] == '1');
    for (const char* id : {"10020", "10021", "10022", "10023", "10010", "10025", "10026"})
        QVERIFY2(dlg.findChild<QWidget*>(QLatin1String(id))->isEnabled(), id);

    QVERIFY(leave_buttons_enabled(&dlg));
    QVERIFY(same_stand(s, before));  // nothing reaches the state while editing
}

void TestStandDialog::changeOfSpeciesClearsOwnValues() {
    State s;
    StandDialog dlg(s);
    dlg.show();
    act(&dlg, QStringLiteral("10011:25;10012:0,3"));
    QCOMPARE(shown(&dlg, QStringLiteral("10100")), QStringLiteral("25,00"));

    // Other changes leave them alone.
    act(&dlg, QStringLiteral("10002=22;10003=abholzig/kurzschäftig"));
    QCOMPARE(shown(&dlg, QStringLiteral("10011")), QStringLiteral("25"));
    QCOMPARE(shown(&dlg, QStringLiteral("10012")), QStringLiteral("0,3"));

    choose(&dlg, QStringLiteral("10001"), QStringLiteral("Buche"));
    QCOMPARE(shown(&dlg, QStringLiteral("10011")), QStringLiteral("0,00"));
    QCOMPARE(shown(&dlg, QStringLiteral("10012")), QStringLiteral("0,0000"));
    // The displays now come from the model of the new species (general
    // height curve, form class 2, BHD 22).
    QCOMPARE(shown(&dlg, QStringLiteral("10100")), QStringLiteral("18,25"));
    QCOMPARE(shown(&dlg, QStringLiteral("10103")), QStringLiteral("0,2748"));

    // Typed again after the change, they count again.
    act(&dlg, QStringLiteral("10011:20"));
    QCOMPARE(shown(&dlg, QStringLiteral("10100")), QStringLiteral("20,00"));
    click(&dlg, QStringLiteral("10998"));
    QCOMPARE(dlg.result(), int(InputOk));
    QCOMPARE(s.gi_ba, 5u);
    QCOMPARE(s.gf_bh, 20.0);
    QCOMPARE(s.gf_stm, 0.0);
}

void TestStandDialog::ownValuesAreEmptyAtEveryOpening() {
    State s;
    {
        ScriptedMessages msgs;  // the own values are doubtful; go on
        StandDialog dlg(s);
        dlg.show();
        act(&dlg, QStringLiteral("10011:30;10012:0,5"));
        click(&dlg, QStringLiteral("10998"));
        QCOMPARE(dlg.result(), int(InputOk));
    }
    QCOMPARE(s.gf_bh, 30.0);
    QCOMPARE(s.gf_stm, 0.5);
    QCOMPARE(s.gc_hoehe, 30.0);

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

    // A stand field that cannot be read makes every system unsuitable; the
    // extra data of system I do not decide suitability.
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
    QFETCH(QString, suitable);
    State s;
    StandDialog dlg(s);
    dlg.show();
    type(&dlg, id, text);

    auto* field = get<QLineEdit>(&dlg, id);
    QCOMPARE(field->text(), text);
    QCOMPARE(field->selectedText(), text);
    QVERIFY(leave_buttons_disabled(&dlg));
    QVERIFY(get<QPushButton>(&dlg, QStringLiteral("10999"))->isEnabled());
    QCOMPARE(verdicts(&dlg), suitable);
    if (suitable == QLatin1String("000000")) {
        QCOMPARE(shown(&dlg, QStringLiteral("10101")), QStringLiteral("---"));
        QCOMPARE(shown(&dlg, QStringLiteral("10102")), QStringLiteral("---"));
    }

    // Corrected, the dialog can be left again.
    type(&dlg, id, QStringLiteral("20"));
    QVERIFY(leave_buttons_enabled(&dlg));
    QVERIFY(!field->hasSelectedText());
}

void TestStandDialog::numbersWithCommaOrPoint_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("harvest");
    QTest::newRow("comma") << "1,5" << "45,00";
    QTest::newRow("point") << "1.5" << "45,00";
    QTest::newRow("leading separator") << ",5" << "15,00";
    QTest::newRow("trailing separator") << "2," << "60,00";
    QTest::newRow("whole number") << "3" << "90,00";
}

void TestStandDialog::numbersWithCommaOrPoint() {
    QFETCH(QString, typed);
    State s;
    StandDialog dlg(s);
    dlg.show();
    type(&dlg, QStringLiteral("10009"), typed);
    QTEST(shown(&dlg, QStringLiteral("10104")), "harvest");
    QVERIFY(leave_buttons_enabled(&dlg));
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
    QCOMPARE(shown(&dlg, QStringLiteral("10021")), QStringLiteral("180,7,"));
    QCOMPARE(shown(&dlg, QStringLiteral("10024")), QStringLiteral("180"));
    type(&dlg, QStringLiteral("10021"), QStringLiteral("180,7"));

    click(&dlg, QStringLiteral("10998"));
    QCOMPARE(dlg.result(), int(InputOk));
    QCOMPARE(s.gf_i_rd, 180.7);
    QCOMPARE(s.gf_ii_rd, 180.7);
}

void TestStandDialog::leaveChecks_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("answers");  // to the questions, "O" OK, "C" Abbrechen
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("focus");  // the field the user is taken back to
    QTest::addColumn<bool>("committed");

    const QString volume = QStringLiteral("Fehlende Eingabe des\nVolumens des ausscheidenden Bestands");
    const QString area = QStringLiteral("Fehlende Eingabe der\nGesamtfläche der Maßnahe");
    const QString conventional = QStringLiteral("Fehlende Zusatzdaten für Konventionelle Holzernte");
    const QString height = QStringLiteral("Kontrollieren Sie Ihre Höheneingabe");
    const QString piece = QStringLiteral("Kontrollieren Sie Ihre Stückvolumeneingabe");

    QTest::newRow("defaults pass") << "" << "" << QStringList{} << "" << true;
    QTest::newRow("volume missing") << "10008:" << "" << QStringList{volume} << "10008" << false;
    QTest::newRow("volume zero") << "10008:0,0" << "" << QStringList{volume} << "10008" << false;
    QTest::newRow("area missing") << "10009:" << "" << QStringList{area} << "10009" << false;
    QTest::newRow("volume is asked before area")
        << "10009:;10008:" << "" << QStringList{volume} << "10008" << false;
    QTest::newRow("skidding distance missing")
        << "10021:0" << "" << QStringList{conventional} << "10021" << false;
    QTest::newRow("lateral distance missing")
        << "10022:" << "" << QStringList{conventional} << "10022" << false;
    QTest::newRow("extra data of I not needed when I is unsuitable")
        << "10004=40;10021:0;10022:" << "" << QStringList{} << "" << true;
    QTest::newRow("missing data before plausibility")
        << "10011:30;10009:" << "" << QStringList{area} << "10009" << false;
    QTest::newRow("own height within a quarter") << "10011:20" << "" << QStringList{} << ""
                                                 << true;
    QTest::newRow("own height too high, accepted")
        << "10011:30" << "O" << QStringList{height} << "" << true;
    QTest::newRow("own height too high, reconsidered")
        << "10011:30" << "C" << QStringList{height} << "10011" << false;
    QTest::newRow("own height too low, accepted")
        << "10011:10" << "O" << QStringList{height} << "" << true;
    QTest::newRow("own piece volume too high, reconsidered")
        << "10012:0,5" << "C" << QStringList{piece} << "10012" << false;
    QTest::newRow("own piece volume too low, accepted")
        << "10012:0,1" << "O" << QStringList{piece} << "" << true;
    QTest::newRow("height asked before piece volume")
        << "10011:30;10012:0,5" << "OC" << QStringList{height, piece} << "10012" << false;
    QTest::newRow("both accepted") << "10011:30;10012:0,5" << "OO" << QStringList{height, piece}
                                   << "" << true;
    // The band of the piece volume comes from the model height, not from the
    // own height (from 30 m it would be 0,28 to 0,47 EFm).
    QTest::newRow("piece volume judged against the model")
        << "10011:30;10012:0,25" << "O" << QStringList{height} << "" << true;
}

void TestStandDialog::leaveChecks() {
    QFETCH(QString, script);
    QFETCH(QString, answers);
    QFETCH(QStringList, messages);
    QFETCH(QString, focus);
    QFETCH(bool, committed);

    ScriptedMessages msgs;
    for (const QChar a : answers)
        msgs.answer(a == QLatin1Char('O') ? MsgAnswer::Ok : MsgAnswer::Cancel);
    State s;
    const State before = s;
    StandDialog dlg(s);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    act(&dlg, script);
    const QString flags = verdicts(&dlg);
    click(&dlg, QStringLiteral("10998"));

    QCOMPARE(int(msgs.shown().size()), int(messages.size()));
    for (std::size_t i = 0; i < msgs.shown().size(); ++i) {
        const auto& m = msgs.shown()[i];
        QCOMPARE(m.title, QStringLiteral("Warnung"));
        QCOMPARE(m.text, messages[qsizetype(i)]);
        const bool question = m.text.startsWith(QLatin1String("Kontrollieren"));
        QCOMPARE(m.icon, question ? MsgIcon::None : MsgIcon::Error);
        QCOMPARE(m.buttons, question ? MsgButtons::OkCancel : MsgButtons::Ok);
    }
    if (committed) {
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(InputOk));
        QVERIFY(!same_stand(s, before) || script.isEmpty());
        QCOMPARE(s.flags()[0], flags[0] == '1' ? 1 : 0);
    } else {
        QVERIFY(dlg.isVisible());
        QVERIFY(same_stand(s, before));
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }
}

void TestStandDialog::leavingButtonsCommit_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("code");
    QTest::newRow("OK") << "10998" << int(InputOk);
    QTest::newRow("Eingabe Kosten") << "10997" << int(InputOtherDialog);
    QTest::newRow("Ergebnis") << "10996" << int(InputResults);
}

void TestStandDialog::leavingButtonsCommit() {
    QFETCH(QString, button);
    QFETCH(int, code);
    ScriptedMessages msgs;
    State s;
    StandDialog dlg(s);
    dlg.show();
    act(&dlg, QString::fromUtf8(kEveryInputChanged));
    const QString flags = verdicts(&dlg);
    click(&dlg, button);

    QVERIFY(msgs.shown().empty());
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), code);
    QCOMPARE(s.gi_ba, 6u);  // "Eiche" by its internal number
    QCOMPARE(s.gi_bhd, 30u);
    QCOMPARE(s.gi_sf, 2u);
    QCOMPARE(s.gi_hn, 20u);
    QCOMPARE(s.gi_ar, 1u);
    QCOMPARE(s.gi_br, 0u);
    QCOMPARE(s.gi_hvs, 1u);
    QCOMPARE(s.gi_i_bb, 5u);
    QCOMPARE(s.gi_ii_vzs, 5u);
    QCOMPARE(s.gi_v_sll, 4u);
    QCOMPARE(s.gi_v_kf, 2u);
    QCOMPARE(s.gf_vab, 40.0);
    QCOMPARE(s.gf_gf, 12.5);
    QCOMPARE(s.gf_i_rd, 200.0);
    QCOMPARE(s.gf_ii_rd, 200.0);
    QCOMPARE(s.gf_i_bse, 15.0);
    QCOMPARE(s.gf_bh, 14.0);
    QCOMPARE(s.gf_stm, 0.5);
    QCOMPARE(s.gc_hoehe, 14.0);
    QCOMPARE(s.gc_stm, 0.5);
    QCOMPARE(s.gc_stmderb, 0.5 * 0.65);
    QCOMPARE(s.gc_vhieb, 500.0);
    QVERIFY(qAbs(s.gc_stmvoll - 0.73692) < 1e-5);  // oak: from the diameter alone
    QString stored;
    for (const int f : s.flags()) stored += QLatin1Char(f == 1 ? '1' : '0');
    QCOMPARE(stored, flags);
    QCOMPARE(stored, QStringLiteral("110000"));  // trail spacing over 20 m rules out III
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
    const State before = s;
    {
        StandDialog dlg(s);
        dlg.show();
        act(&dlg, QString::fromUtf8(kEveryInputChanged));
        if (close_box)
            QVERIFY(dlg.close());
        else
            click(&dlg, QStringLiteral("10999"));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(InputCancelled));
    }
    QVERIFY(msgs.shown().empty());
    QVERIFY(same_stand(s, before));

    // The abandoned edit does not come back at the next opening.
    StandDialog again(s);
    QCOMPARE(get<QComboBox>(&again, QStringLiteral("10001"))->currentText(), QStringLiteral("Birke"));
    QCOMPARE(shown(&again, QStringLiteral("10021")), QStringLiteral("150"));
}

void TestStandDialog::enterAndEscapeKeepTheDialogOpen_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("target");
    QTest::newRow("Return in a field") << int(Qt::Key_Return) << "10008";
    QTest::newRow("Enter in a field") << int(Qt::Key_Enter) << "10009";
    QTest::newRow("Return in a list") << int(Qt::Key_Return) << "10002";
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
    const State before = s;
    StandDialog dlg(s);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto* widget = get<QWidget>(&dlg, target);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key(key));
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.result(), int(InputCancelled));
    QVERIFY(msgs.shown().empty());
    QVERIFY(same_stand(s, before));
}

void TestStandDialog::tabOrderFollowsTheForm() {
    State s;
    StandDialog dlg(s);
    dlg.show();
    QWidget* w = get<QWidget>(&dlg, QStringLiteral("10001"));
    QStringList order;
    for (int guard = 0; guard < 200 && order.size() < 21; ++guard) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&dlg) && w->isEnabled())
            order << w->objectName();
        w = w->nextInFocusChain();
    }
    QCOMPARE(order.join(QLatin1Char(' ')),
             QStringLiteral("10001 10002 10003 10004 10005 10006 10008 10009 10011 10012 "
                            "10020 10021 10022 10023 10010 10025 10026 "
                            "10998 10999 10997 10996"));
}

QTEST_MAIN(TestStandDialog)
#include "test_stand_dialog.moc"
