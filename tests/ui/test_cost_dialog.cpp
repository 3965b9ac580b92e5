// "Eingabe Kosten" driven as a user drives it.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/calc.h"
#include "core/state.h"
#include "tests/ui/ui_test_support.h"
#include "ui/cost_dialog.h"
#include "ui/dialog_codes.h"

using namespace forstrix;
using namespace forstrix::ui;

namespace {

State started() {
    State s;
    startup_compute(s);
    return s;
}

template <typename W>
W* child(QWidget& d, int id) {
    auto* w = d.findChild<W*>(QString::number(id));
    if (w == nullptr) qFatal("no widget %d", id);
    return w;
}

QLineEdit* field(QWidget& d, int id) { return child<QLineEdit>(d, id); }
QString shown(QWidget& d, int id) { return child<QLabel>(d, id)->text(); }
QPushButton* button(QWidget& d, int id) { return child<QPushButton>(d, id); }

void type(QLineEdit* f, const QString& text) {
    f->setFocus();
    f->selectAll();
    if (text.isEmpty())
        QTest::keyClick(f, Qt::Key_Backspace);
    else
        QTest::keyClicks(f, text);
}

QLabel* label(QWidget& d, const QString& text) {
    for (QLabel* l : d.findChildren<QLabel*>())
        if (l->text() == text) return l;
    return nullptr;
}

// Everything the dialog may store.
struct Stored {
    double fw, mf, nfw, nmf, msc37, ss, hab112, fob149, hfsab186, hhb223, hfb260, mskb297;
    std::int32_t zest, zmgv;
    explicit Stored(const State& s)
        : fw(s.gf_fw), mf(s.gf_mf), nfw(s.gf_nfw), nmf(s.gf_nmf), msc37(s.gf_msc37), ss(s.gf_ss),
          hab112(s.gf_hab112), fob149(s.gf_fob149), hfsab186(s.gf_hfsab186), hhb223(s.gf_hhb223),
          hfb260(s.gf_hfb260), mskb297(s.gf_mskb297), zest(s.gi_zest), zmgv(s.gi_zmgv) {}
    bool operator==(const Stored&) const = default;
};

}  // namespace

class TestCostDialog : public QObject {
    Q_OBJECT
    test::ScriptedMessages messages_;

private slots:
    void init() { messages_.clear(); }

    void opensWithDefaults();
    void computedFollowTyping_data();
    void computedFollowTyping();
    void unreadableField();
    void zeitgradBounds_data();
    void zeitgradBounds();
    void leavingStores_data();
    void leavingStores();
    void cancelAndCloseBoxStoreNothing_data();
    void cancelAndCloseBoxStoreNothing();
    void pnkFractionKeptUntilNextOpening();
    void enterAndEscapeDoNotClose();
    void hugeValuesDoNotWidenTheDialog();
};

void TestCostDialog::opensWithDefaults() {
    State s = started();
    CostDialog d(s);
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("Eingabe Kosten"));
    const std::pair<int, const char*> fields[] = {
        {20001, "12,00"}, {20002, "13,00"}, {20003, "60"},     {20004, "60"},    {20200, "160"},
        {20201, "130"},   {20010, "6,63"},  {20011, "45,28"},  {20012, "137,93"}, {20013, "77,31"},
        {20014, "111,93"}, {20015, "156,13"}, {20016, "88,90"}, {20017, "254,15"}};
    for (const auto& [id, text] : fields) QCOMPARE(field(d, id)->text(), QString::fromUtf8(text));
    // Wages with 60 % PNK; operators at 1.25 h per machine hour (+26,00),
    // the skidder's at 10/9 (+23,11), the yarder with two of each (+100,00).
    const std::pair<int, const char*> computed[] = {
        {20100, "19,20"},  {20101, "20,80"},  {20300, "68,39"},  {20301, "163,93"}, {20302, "103,31"},
        {20303, "137,93"}, {20304, "182,13"}, {20305, "114,90"}, {20306, "354,15"}};
    for (const auto& [id, text] : computed) QCOMPARE(shown(d, id), QString::fromUtf8(text));
    for (int id : {20996, 20997, 20998, 20999}) QVERIFY(button(d, id)->isEnabled());
    for (const char* t :
         {"Die hier hinterlegten Werte können übernommen oder geändert werden. Alternativ können unter "
          "\"Kalkulationsgrundlagen\" (Menüleiste) die Maschinenkosten im Detail hergeleitet werden.",
          "PNK = Personalnebenkosten, FSA = Fäller-Sammler-Aggregat,\nEST = Erweiterter Sortentarif, "
          "MGV = Modifiziertes Goldberger Verfahren",
          "Lohn mit PNK errechnet:", "Kosten ohne Lohn für:", "Kosten mit Lohn für:",
          "Maschinenführer (ohne PNK) [Euro/Std.]", "Höhe PNK Forstwirt [%]", "Zeitgrad für MGV",
          "Motorsäge [Euro/BStd.]", "Seilkran inkl. Prozessor [Euro/MAS]"})
        QVERIFY2(label(d, QString::fromUtf8(t)) != nullptr, t);
    QVERIFY(!label(d, QString::fromUtf8("(fakultativ; nur Eingabe, wenn bekannt)"))->isEnabled());  // greyed

    // Tab walks down the fields and then along the buttons, which stand in this order.
    QStringList order;
    QWidget* w = field(d, 20001);
    do {
        if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != field(d, 20001));
    QCOMPARE(order, QStringList({"20001", "20002", "20003", "20004", "20200", "20201", "20010", "20011",
                                 "20012", "20013", "20014", "20015", "20016", "20017", "20997", "20996",
                                 "20998", "20999"}));
    QCOMPARE(button(d, 20997)->text(), QStringLiteral("Eingabe Bestandesdaten..."));
    QCOMPARE(button(d, 20996)->text(), QStringLiteral("Ergebnis..."));
    QVERIFY(button(d, 20997)->x() < button(d, 20996)->x());
    QVERIFY(button(d, 20996)->x() < button(d, 20998)->x());
    QVERIFY(button(d, 20998)->x() < button(d, 20999)->x());
    test::save_screenshot(&d, QStringLiteral("cost_dialog"));
}

void TestCostDialog::computedFollowTyping_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shown_id");
    QTest::addColumn<QString>("value");
    QTest::newRow("operator wage, harvester") << 20002 << "16" << 20301 << "169,93";
    // The skidder cost is read back as shown, 45,28.
    QTest::newRow("operator wage, skidder") << 20002 << "16" << 20300 << "73,72";
    QTest::newRow("operator wage, yarder") << 20002 << "16" << 20306 << "366,15";
    QTest::newRow("PNK with a fraction") << 20003 << "60,5" << 20100 << "19,26";
    QTest::newRow("PNK, yarder") << 20003 << "60,5" << 20306 << "354,30";
    QTest::newRow("operator PNK zero") << 20004 << "0" << 20101 << "13,00";
    QTest::newRow("wage cleared") << 20001 << "" << 20100 << "0,00";
    QTest::newRow("harvester cost") << 20012 << "100" << 20301 << "126,00";
    QTest::newRow("skidder cost") << 20011 << "0" << 20300 << "23,11";
    QTest::newRow("chainsaw has no sum") << 20010 << "100" << 20300 << "68,39";
}

void TestCostDialog::computedFollowTyping() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(int, shown_id);
    QFETCH(QString, value);
    State s = started();
    CostDialog d(s);
    d.show();
    type(field(d, id), text);
    QCOMPARE(shown(d, shown_id), value);
    QVERIFY(button(d, 20998)->isEnabled());
}

void TestCostDialog::unreadableField() {
    State s = started();
    const Stored before(s);
    CostDialog d(s);
    d.show();
    QLineEdit* hab = field(d, 20012);
    type(hab, QStringLiteral("12a"));
    QCOMPARE(hab->selectedText(), QStringLiteral("12a"));
    for (int id : {20996, 20997, 20998}) QVERIFY(!button(d, id)->isEnabled());
    QVERIFY(button(d, 20999)->isEnabled());
    QCOMPARE(shown(d, 20301), QStringLiteral("26,00"));  // the unreadable cost counts 0
    type(hab, QStringLiteral("120"));
    for (int id : {20996, 20997, 20998}) QVERIFY(button(d, id)->isEnabled());
    QCOMPARE(shown(d, 20301), QStringLiteral("146,00"));
    QVERIFY(Stored(s) == before);
}

void TestCostDialog::zeitgradBounds_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");  // 0: refused
    QTest::newRow("EST 10") << 20200 << "10" << 10;
    QTest::newRow("EST 200") << 20200 << "200" << 200;
    QTest::newRow("EST 160,7 truncated") << 20200 << "160,7" << 160;
    QTest::newRow("EST 9") << 20200 << "9" << 0;
    QTest::newRow("EST 201") << 20200 << "201" << 0;
    QTest::newRow("EST 200,5") << 20200 << "200,5" << 0;
    QTest::newRow("EST empty") << 20200 << "" << 0;
    QTest::newRow("MGV 201") << 20201 << "201" << 0;
}

void TestCostDialog::zeitgradBounds() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(int, stored);
    State s = started();
    const Stored before(s);
    CostDialog d(s);
    d.show();
    type(field(d, 20001), QStringLiteral("14"));
    type(field(d, id), text);
    QTest::mouseClick(button(d, 20998), Qt::LeftButton);
    if (stored == 0) {
        QCOMPARE(messages_.shown().size(), std::size_t{1});
        const test::ShownMessage& m = messages_.shown().front();
        QCOMPARE(m.title, QStringLiteral("Warnung"));
        QCOMPARE(m.text, QStringLiteral("Zeitgrad erscheint unplausibel!\nErwartet wird 10 bis 200"));
        QCOMPARE(m.icon, MsgIcon::None);
        QCOMPARE(m.buttons, MsgButtons::Ok);
        QVERIFY(d.isVisible());
        QVERIFY(Stored(s) == before);  // not even the wage
    } else {
        QVERIFY(messages_.shown().empty());
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(InputOk));
        QCOMPARE(id == 20200 ? s.gi_zest : s.gi_zmgv, stored);
        QCOMPARE(s.gf_fw, 14.0);
    }
}

void TestCostDialog::leavingStores_data() {
    QTest::addColumn<int>("button_id");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << 20998 << int(InputOk);
    QTest::newRow("Eingabe Bestandesdaten...") << 20997 << int(InputOtherDialog);
    QTest::newRow("Ergebnis...") << 20996 << int(InputResults);
}

void TestCostDialog::leavingStores() {
    QFETCH(int, button_id);
    QFETCH(int, result);
    State s = started();
    CostDialog d(s);
    d.show();
    type(field(d, 20002), QStringLiteral("16,5"));
    type(field(d, 20004), QStringLiteral("55,5"));
    type(field(d, 20201), QStringLiteral("120"));
    type(field(d, 20011), QStringLiteral("50"));
    type(field(d, 20017), QStringLiteral("250,25"));
    QTest::mouseClick(button(d, button_id), Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), result);
    State expected = started();
    expected.gf_mf = 16.5;
    expected.gf_nmf = 55.5;
    expected.gi_zmgv = 120;
    expected.gf_ss = 50.0;
    expected.gf_mskb297 = 250.25;
    // Every other value as its field showed it.
    expected.gf_msc37 = 6.63;
    expected.gf_hab112 = 137.93;
    expected.gf_fob149 = 77.31;
    expected.gf_hfsab186 = 111.93;
    expected.gf_hhb223 = 156.13;
    expected.gf_hfb260 = 88.9;
    QVERIFY(Stored(s) == Stored(expected));
    QVERIFY(messages_.shown().empty());
}

void TestCostDialog::cancelAndCloseBoxStoreNothing_data() {
    QTest::addColumn<bool>("close_box");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("close box") << true;
}

void TestCostDialog::cancelAndCloseBoxStoreNothing() {
    QFETCH(bool, close_box);
    State s = started();
    const Stored before(s);
    CostDialog d(s);
    d.show();
    type(field(d, 20001), QStringLiteral("20"));
    type(field(d, 20200), QStringLiteral("120"));
    type(field(d, 20012), QStringLiteral("1"));
    if (close_box)
        d.close();
    else
        QTest::mouseClick(button(d, 20999), Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(InputCancelled));
    QVERIFY(Stored(s) == before);
}

void TestCostDialog::pnkFractionKeptUntilNextOpening() {
    State s = started();
    {
        CostDialog d(s);
        d.show();
        type(field(d, 20003), QStringLiteral("60,5"));
        QTest::mouseClick(button(d, 20998), Qt::LeftButton);
        QCOMPARE(s.gf_nfw, 60.5);
    }
    // Shown as a whole number, and so read back as one when leaving again.
    CostDialog d(s);
    d.show();
    QCOMPARE(field(d, 20003)->text(), QStringLiteral("60"));
    QCOMPARE(shown(d, 20100), QStringLiteral("19,26"));  // opening computes with the stored value
    QTest::mouseClick(button(d, 20998), Qt::LeftButton);
    QCOMPARE(s.gf_nfw, 60.0);
}

void TestCostDialog::enterAndEscapeDoNotClose() {
    State s = started();
    const Stored before(s);
    CostDialog d(s);
    d.show();
    QLineEdit* f = field(d, 20001);
    type(f, QStringLiteral("13"));
    QTest::keyClick(f, Qt::Key_Return);
    QTest::keyClick(f, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(f, Qt::Key_Escape);
    QTest::keyClick(button(d, 20998), Qt::Key_Return);
    QVERIFY(d.isVisible());
    QVERIFY(Stored(s) == before);
    QCOMPARE(shown(d, 20100), QStringLiteral("20,80"));
}

void TestCostDialog::hugeValuesDoNotWidenTheDialog() {
    State s = started();
    CostDialog d(s);
    d.show();
    const int width = d.width();
    const QString huge = QStringLiteral("1") + QString(40, QLatin1Char('0'));
    type(field(d, 20012), huge);
    QApplication::processEvents();
    QLabel* sum = child<QLabel>(d, 20301);
    QVERIFY(sum->text().size() > 40);
    QVERIFY(sum->text().endsWith(QLatin1String(",00")));
    QCOMPARE(d.width(), width);
    QVERIFY(sum->geometry().right() <= d.rect().right());
    QTest::mouseClick(button(d, 20998), Qt::LeftButton);
    QCOMPARE(s.gf_hab112, 1e40);
}

QTEST_MAIN(TestCostDialog)
#include "test_cost_dialog.moc"
