// The cost-basics dialogs driven as a user drives them: typing into the
// fields, clicking OK and "Abbrechen", pressing Enter and Escape.
#include <memory>
#include <string>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/calc.h"
#include "core/machines.h"
#include "core/state.h"
#include "tests/ui/ui_test_support.h"
#include "ui/machine_dialog.h"

using namespace forstrix;
using namespace forstrix::ui;

namespace {

State started() {
    State s;
    startup_compute(s);
    return s;
}

// The dialog of `stem`: "msc" for the chainsaw, else a machine kind.
std::unique_ptr<QDialog> make_dialog(State& s, const QString& stem) {
    if (stem == QLatin1String("msc")) return std::make_unique<ChainsawDialog>(s);
    const MachineKind* kind = find_machine_kind(stem.toStdString());
    if (kind == nullptr) qFatal("no machine kind %s", qPrintable(stem));
    return std::make_unique<MachineDialog>(s, *kind);
}

template <typename W>
W* child(QWidget& d, int id) {
    auto* w = d.findChild<W*>(QString::number(id));
    if (w == nullptr) qFatal("no widget %d", id);
    return w;
}

QLineEdit* field(QWidget& d, int id) { return child<QLineEdit>(d, id); }

// Replaces the field's text keystroke by keystroke, as a user does after
// selecting it.
void type(QLineEdit* f, const QString& text) {
    f->setFocus();
    f->selectAll();
    if (text.isEmpty())
        QTest::keyClick(f, Qt::Key_Backspace);
    else
        QTest::keyClicks(f, text);
}

// Replaces the field's text in one edit (the user pastes it), so that a text
// which is refused only as a whole (two separators) arrives complete.
void paste(QLineEdit* f, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    f->setFocus();
    f->selectAll();
    QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
}

QString cost_text(QWidget& d, int dialog_id) { return child<QLabel>(d, dialog_id + 100)->text(); }
QPushButton* ok_button(QWidget& d, int dialog_id) { return child<QPushButton>(d, dialog_id + 998); }

std::vector<double> basics_of(const State& s, const MachineKind& k) {
    std::vector<double> v;
    for (auto m : k.basics) v.push_back(s.*m);
    for (auto m : k.results) v.push_back(s.*m);
    return v;
}

std::vector<double> chainsaw_of(const State& s) {
    std::vector<double> v;
    for (const auto& f : kChainsawFields) v.push_back(s.*f.value);
    v.push_back(s.gf_msc37);
    return v;
}

// What the dialog of `stem` may change: its basics, then its results.
std::vector<double> snapshot(const State& s, const QString& stem) {
    if (stem == QLatin1String("msc")) return chainsaw_of(s);
    return basics_of(s, *find_machine_kind(stem.toStdString()));
}

int dialog_id_of(const QString& stem) {
    return stem == QLatin1String("msc") ? kChainsawDialogId : find_machine_kind(stem.toStdString())->dialog_id;
}

// The widgets that Tab reaches, starting at `start`.
QList<QWidget*> tab_order(QWidget* start) {
    QList<QWidget*> order;
    QWidget* w = start;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible()) order.append(w);
        w = w->nextInFocusChain();
    } while (w != start);
    return order;
}

QLabel* buddy_label(QWidget& d, QLineEdit* f) {
    for (QLabel* l : d.findChildren<QLabel*>())
        if (l->buddy() == f) return l;
    return nullptr;
}

}  // namespace

class TestMachineDialog : public QObject {
    Q_OBJECT
    test::ScriptedMessages messages_;

private slots:
    void init() { messages_.clear(); }
    void cleanup() { QVERIFY(messages_.shown().empty()); }  // these dialogs never show a box

    void opensWithDefaults_data();
    void opensWithDefaults();
    void fieldAtOpening_data();
    void fieldAtOpening();
    void typedText_data();
    void typedText();
    void zeroRules_data();
    void zeroRules();
    void okStores_data();
    void okStores();
    void okRefusesUnusableBasicsFromTheFile();
    void cancelAndCloseBoxStoreNothing_data();
    void cancelAndCloseBoxStoreNothing();
    void enterAndEscapeDoNotClose();
    void hugeValuesDoNotWidenTheDialog();
    void chainsawMixingRule_data();
    void chainsawMixingRule();
};

void TestMachineDialog::opensWithDefaults_data() {
    QTest::addColumn<QString>("stem");
    QTest::addColumn<int>("dialog_id");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("cost");
    QTest::newRow("msc") << "msc" << 11000 << QString::fromUtf8("Kalkulationsgrundlagen für Motorsägen") << "6,63";
    QTest::newRow("asb") << "asb" << 12000
                         << QString::fromUtf8("Kalkulationsgrundlagen für aufgerüsteten Agrarschlepper") << "45,28";
    QTest::newRow("hab") << "hab" << 13000 << QString::fromUtf8("Kalkulationsgrundlagen für Harvester") << "137,93";
    QTest::newRow("fob") << "fob" << 14000 << QString::fromUtf8("Kalkulationsgrundlagen für Forwarder") << "77,31";
    QTest::newRow("hfsab") << "hfsab" << 15000
                           << QString::fromUtf8("Kalkulationsgrundlagen für Harvester mit FSA") << "111,93";
    QTest::newRow("hhb") << "hhb" << 16000 << QString::fromUtf8("Kalkulationsgrundlagen für Hang-Harvester")
                         << "156,13";
    QTest::newRow("hfb") << "hfb" << 17000 << QString::fromUtf8("Kalkulationsgrundlagen für Hang-Forwarder")
                         << "88,90";
    QTest::newRow("mskb") << "mskb" << 18000
                          << QString::fromUtf8("Kalkulationsgrundlagen für Mobilseilkran & Prozessor auf LKW")
                          << "254,15";
}

void TestMachineDialog::opensWithDefaults() {
    QFETCH(QString, stem);
    QFETCH(int, dialog_id);
    QFETCH(QString, title);
    QFETCH(QString, cost);
    State s = started();
    auto d = make_dialog(s, stem);
    d->show();
    QCOMPARE(d->windowTitle(), title);
    QCOMPARE(cost_text(*d, dialog_id), cost);
    QVERIFY(ok_button(*d, dialog_id)->isEnabled());
    QCOMPARE(child<QPushButton>(*d, dialog_id + 999)->text(), QStringLiteral("Abbrechen"));
    const int rows = stem == QLatin1String("msc") ? 23 : 13;
    QCOMPARE(d->findChildren<QLineEdit*>().size(), rows);
    // Tab walks down the column of fields, then to OK and "Abbrechen".
    const QList<QWidget*> order = tab_order(field(*d, dialog_id + 1));
    QCOMPARE(order.size(), rows + 2);
    QCOMPARE(order.at(rows - 1)->objectName(),
             QString::number(stem == QLatin1String("msc") ? 11023 : dialog_id + 13));
    QCOMPARE(order.at(rows), ok_button(*d, dialog_id));
    test::save_screenshot(d.get(), stem == QLatin1String("msc") ? QStringLiteral("chainsaw_dialog")
                                                                : QStringLiteral("machine_dialog_") + stem);
}

void TestMachineDialog::fieldAtOpening_data() {
    QTest::addColumn<QString>("stem");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    const QString price = QString::fromUtf8("Beschaffungspreis ohne USt. [Tsd. Euro]");
    const QString interest = QString::fromUtf8("Kalkulat. Zinsfuß  [%]");
    // The skidder shows its first four basics as whole numbers.
    QTest::newRow("asb price") << "asb" << 12001 << price << "100";
    QTest::newRow("asb obsolescence") << "asb" << 12002 << QString::fromUtf8("Veralterungszeit [Jahre]") << "10";
    QTest::newRow("asb annual use") << "asb" << 12004 << QString::fromUtf8("Jährliche Einsatzdauer (MAS/Jahr)")
                                    << "1000";
    QTest::newRow("asb repair") << "asb" << 12005 << QString::fromUtf8("Reparaturkostenquote (echter Anteil)")
                                << "0,60";
    QTest::newRow("hab price") << "hab" << 13001 << price << "450,00";
    QTest::newRow("hab annual use") << "hab" << 13004 << QString::fromUtf8("Jährliche Einsatzdauer [MAS/Jahr]")
                                    << "2000,00";
    QTest::newRow("hfsab interest") << "hfsab" << 16005 << interest << "8,00";
    QTest::newRow("msc annual use") << "msc" << 11004
                                    << QString::fromUtf8("Jährliche Einsatzdauer (z. B. 450 BStd.) [BS]") << "450";
    QTest::newRow("msc mixing") << "msc" << 11017
                                << QString::fromUtf8("Mischungsverhältnis (ein Liter Schmierstoff auf -> Liter Benzin)")
                                << "50,00";
    QTest::newRow("msc transport") << "msc" << 11023
                                   << QString::fromUtf8("Transportpauschale je Betriebsstunde (etwa 0,3 €) [Euro]")
                                   << "0,30";
}

void TestMachineDialog::fieldAtOpening() {
    QFETCH(QString, stem);
    QFETCH(int, id);
    QFETCH(QString, label);
    QFETCH(QString, text);
    State s = started();
    auto d = make_dialog(s, stem);
    QLineEdit* f = field(*d, id);
    QCOMPARE(f->text(), text);
    QLabel* l = buddy_label(*d, f);
    QVERIFY(l != nullptr);
    QCOMPARE(l->text(), label);
    QVERIFY(d->findChild<QLineEdit*>(QStringLiteral("15006")) == nullptr);  // FSA: 16005 instead
}

void TestMachineDialog::typedText_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cost");
    QTest::addColumn<bool>("rejected");
    // A residual value above the purchase price (450) gives -52,07.
    QTest::newRow("residual 2000, negative") << 13010 << "2000" << "---" << false;
    QTest::newRow("residual 500") << 13010 << "500" << "90,43" << false;
    QTest::newRow("residual empty reads 0") << 13010 << "" << "137,93" << false;
    QTest::newRow("interest 12,5") << 13006 << "12,5" << "142,99" << false;
    QTest::newRow("interest 12.5") << 13006 << "12.5" << "142,99" << false;
    QTest::newRow("two commas") << 13001 << "1,2,3" << "---" << true;
    QTest::newRow("comma and point") << 13001 << "1.2,3" << "---" << true;
    QTest::newRow("letter") << 13001 << "45a" << "---" << true;
    QTest::newRow("sign") << 13001 << "-450" << "---" << true;
    QTest::newRow("blank") << 13001 << "450 " << "---" << true;
    QTest::newRow("exponent") << 13001 << "4e2" << "---" << true;
}

void TestMachineDialog::typedText() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QString, cost);
    QFETCH(bool, rejected);
    State s = started();
    MachineDialog d(s, machine_kind(MachineId::hab));
    d.show();
    QLineEdit* f = field(d, id);
    paste(f, text);
    QCOMPARE(cost_text(d, 13000), cost);
    QCOMPARE(ok_button(d, 13000)->isEnabled(), cost != QLatin1String("---"));
    QVERIFY(child<QPushButton>(d, 13999)->isEnabled());
    QCOMPARE(f->selectedText(), rejected ? text : QString());  // the user sees which field it is
    type(f, QStringLiteral("450"));  // corrected, the cost is back and OK with it
    QVERIFY(ok_button(d, 13000)->isEnabled());
}

void TestMachineDialog::zeroRules_data() {
    QTest::addColumn<QString>("stem");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("valid");
    for (const MachineKind& k : kMachineKinds) {
        const QString stem = QString::fromUtf8(k.stem.data(), static_cast<qsizetype>(k.stem.size()));
        // The divisors and the purchase price must be given; the residual
        // value may be 0, and the profit too, except on the skidder.
        for (int row : {44, 45, 46, 47, 48, 50}) {
            QTest::addRow("%s %d", qPrintable(stem), row) << stem << row << false;
        }
        QTest::addRow("%s 53", qPrintable(stem)) << stem << 53 << true;
        QTest::addRow("%s 56", qPrintable(stem)) << stem << 56 << (stem != QLatin1String("asb"));
    }
}

void TestMachineDialog::zeroRules() {
    QFETCH(QString, stem);
    QFETCH(int, row);
    QFETCH(bool, valid);
    State s = started();
    const MachineKind& k = *find_machine_kind(stem.toStdString());
    MachineDialog d(s, k);
    d.show();
    QLineEdit* f = field(d, k.field_id(row - kFirstBasicRow));
    type(f, QStringLiteral("0"));
    QCOMPARE(ok_button(d, k.dialog_id)->isEnabled(), valid);
    QCOMPARE(cost_text(d, k.dialog_id) == QLatin1String("---"), !valid);
    QVERIFY(!f->hasSelectedText());  // a readable zero is not marked
}

void TestMachineDialog::okStores_data() {
    QTest::addColumn<QString>("stem");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("basic");  // index of the basic, 0 for row 44
    QTest::addColumn<double>("stored");
    QTest::newRow("hab price") << "hab" << 13001 << "500" << 0 << 500.0;
    QTest::newRow("hab residual") << "hab" << 13010 << "12,5" << 9 << 12.5;
    QTest::newRow("hfsab interest 16005") << "hfsab" << 16005 << "9,5" << 5 << 9.5;
    QTest::newRow("asb annual use, shown whole") << "asb" << 12004 << "1200.5" << 3 << 1200.5;
    QTest::newRow("msc annual use, shown whole") << "msc" << 11004 << "450,5" << 3 << 450.5;
}

void TestMachineDialog::okStores() {
    QFETCH(QString, stem);
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(int, basic);
    QFETCH(double, stored);
    State s = started();
    std::vector<double> expected = snapshot(s, stem);
    expected[static_cast<std::size_t>(basic)] = stored;  // the results stay: the main window computes them
    auto d = make_dialog(s, stem);
    d->show();
    type(field(*d, id), text);
    QTest::mouseClick(ok_button(*d, dialog_id_of(stem)), Qt::LeftButton);
    QCOMPARE(d->result(), 1);
    QVERIFY(!d->isVisible());
    QCOMPARE(snapshot(s, stem), expected);
}

void TestMachineDialog::okRefusesUnusableBasicsFromTheFile() {
    // A zero obsolescence time can only come from the file; the dialog opens
    // with OK enabled, but OK does not let the zero through.
    State s = started();
    s.gf_hab45 = 0.0;
    const std::vector<double> before = basics_of(s, machine_kind(MachineId::hab));
    MachineDialog d(s, machine_kind(MachineId::hab));
    d.show();
    QCOMPARE(cost_text(d, 13000), QStringLiteral("---"));  // not "inf"
    QVERIFY(ok_button(d, 13000)->isEnabled());
    QTest::mouseClick(ok_button(d, 13000), Qt::LeftButton);
    QVERIFY(d.isVisible());
    QVERIFY(!ok_button(d, 13000)->isEnabled());
    QCOMPARE(basics_of(s, machine_kind(MachineId::hab)), before);
    type(field(d, 13002), QStringLiteral("8"));
    QCOMPARE(cost_text(d, 13000), QStringLiteral("137,93"));
}

void TestMachineDialog::cancelAndCloseBoxStoreNothing_data() {
    QTest::addColumn<QString>("stem");
    QTest::addColumn<bool>("close_box");
    QTest::newRow("hab Abbrechen") << "hab" << false;
    QTest::newRow("hab close box") << "hab" << true;
    QTest::newRow("msc Abbrechen") << "msc" << false;
    QTest::newRow("msc close box") << "msc" << true;
}

void TestMachineDialog::cancelAndCloseBoxStoreNothing() {
    QFETCH(QString, stem);
    QFETCH(bool, close_box);
    State s = started();
    const int id = dialog_id_of(stem);
    const std::vector<double> before = snapshot(s, stem);
    auto d = make_dialog(s, stem);
    d->show();
    type(field(*d, id + 1), QStringLiteral("999"));
    type(field(*d, id + 2), QStringLiteral("12"));
    if (close_box)
        d->close();
    else
        QTest::mouseClick(child<QPushButton>(*d, id + 999), Qt::LeftButton);
    QVERIFY(!d->isVisible());
    QCOMPARE(d->result(), 0);
    QCOMPARE(snapshot(s, stem), before);
}

void TestMachineDialog::enterAndEscapeDoNotClose() {
    State s = started();
    MachineDialog d(s, machine_kind(MachineId::hab));
    d.show();
    QLineEdit* f = field(d, 13001);
    type(f, QStringLiteral("460"));
    QTest::keyClick(f, Qt::Key_Return);
    QTest::keyClick(f, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(f, Qt::Key_Escape);
    QTest::keyClick(ok_button(d, 13000), Qt::Key_Return);
    QVERIFY(d.isVisible());
    QCOMPARE(s.gf_hab44, 450.0);
    QVERIFY(ok_button(d, 13000)->isEnabled());
}

void TestMachineDialog::hugeValuesDoNotWidenTheDialog() {
    State s = started();
    MachineDialog d(s, machine_kind(MachineId::hab));
    d.show();
    const int width = d.width();
    const QString huge = QStringLiteral("1") + QString(40, QLatin1Char('0'));
    type(field(d, 13001), huge);
    QApplication::processEvents();
    QLabel* cost = child<QLabel>(d, 13100);
    QVERIFY(cost->text().size() > 40);  // the whole figure, not a clipped buffer
    cost->grab();  // painted cut off, so the full figure is in the tooltip
    QCOMPARE(cost->toolTip(), cost->text());
    QVERIFY(cost->text().endsWith(QLatin1String(",00")));
    QCOMPARE(d.width(), width);
    QVERIFY(cost->geometry().right() <= d.rect().right());
    QCOMPARE(field(d, 13001)->text(), huge);
    QVERIFY(ok_button(d, 13000)->isEnabled());
}

void TestMachineDialog::chainsawMixingRule_data() {
    QTest::addColumn<QString>("ratio");
    QTest::addColumn<QString>("ready_mix");
    QTest::addColumn<QString>("petrol");
    QTest::addColumn<QString>("cost");
    QTest::newRow("defaults") << "50" << "0" << "1,3" << "6,63";
    QTest::newRow("neither") << "0" << "0" << "1,3" << "---";
    QTest::newRow("ready mix only") << "0" << "1,5" << "1,3" << "6,65";
    QTest::newRow("both, ready mix wins") << "50" << "1,5" << "1,3" << "6,65";
    QTest::newRow("ready mix, no petrol price") << "0" << "1,5" << "0" << "---";
}

void TestMachineDialog::chainsawMixingRule() {
    QFETCH(QString, ratio);
    QFETCH(QString, ready_mix);
    QFETCH(QString, petrol);
    QFETCH(QString, cost);
    State s = started();
    ChainsawDialog d(s);
    d.show();
    type(field(d, 11017), ratio);
    type(field(d, 11018), ready_mix);
    type(field(d, 11015), petrol);
    QCOMPARE(cost_text(d, 11000), cost);
    QCOMPARE(ok_button(d, 11000)->isEnabled(), cost != QLatin1String("---"));
}

QTEST_MAIN(TestMachineDialog)
#include "test_machine_dialog.moc"
