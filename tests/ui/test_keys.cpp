// The keys of every desktop dialog in each input dialog: Escape does what
// "Abbrechen" does, Enter what "OK" does, a focused button takes Enter for
// itself, and in a text of several lines Enter is a new line.
#include <functional>
#include <memory>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "core/emissions.h"
#include "core/machines.h"
#include "ui/cost_dialog.h"
#include "ui/dialog_codes.h"
#include "ui/emission_dialog.h"
#include "ui/machine_dialog.h"
#include "ui/stand_dialog.h"
#include "ui/stand_label_dialog.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace Qt::StringLiterals;

namespace {

struct Dialog {
    const char* name;
    std::function<std::unique_ptr<QDialog>(State&)> make;
    const char* field;       // typed into, then the key pressed there
    const char* text;
    double State::*value;    // what the field stores
    double stored;           // after OK
    const char* cancel;      // the button "Abbrechen"
};

template <typename T>
std::function<std::unique_ptr<QDialog>(State&)> maker() {
    return [](State& s) { return std::make_unique<T>(s); };
}

const Dialog kDialogs[] = {
    {"Bestandesdaten", maker<StandDialog>(), "10008", "45", &State::gf_vab, 45.0, "10999"},
    {"Kosten", maker<CostDialog>(), "20001", "14,5", &State::gf_fw, 14.5, "20999"},
    {"Motorsägen", maker<ChainsawDialog>(), "11001", "700", &State::gf_msc5, 700.0, "11999"},
    {"Harvester", [](State& s) { return std::make_unique<MachineDialog>(s, machine_kind(MachineId::hab)); },
     "13001", "500", &State::gf_hab44, 500.0, "13999"},
    {"Emissionsfaktoren", maker<EmissionDialog>(), "19001", "2,5", &State::gf_co2_diesel, 2.5, "19999"},
};

}  // namespace

class TestKeys : public QObject {
    Q_OBJECT
private slots:
    void inputDialogs_data() {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("onCancel");  // the key pressed on the focused "Abbrechen"
        QTest::addColumn<int>("result");
        for (int i = 0; i < int(std::size(kDialogs)); ++i) {
            const char* name = kDialogs[i].name;
            QTest::addRow("%s Escape", name) << i << int(Qt::Key_Escape) << false << 0;
            QTest::addRow("%s Enter", name) << i << int(Qt::Key_Return) << false << 1;
            QTest::addRow("%s keypad Enter", name) << i << int(Qt::Key_Enter) << false << 1;
            QTest::addRow("%s Enter on Abbrechen", name) << i << int(Qt::Key_Return) << true << 0;
        }
    }
    void inputDialogs() {
        QFETCH(int, dialog);
        QFETCH(int, key);
        QFETCH(bool, onCancel);
        QFETCH(int, result);
        const Dialog& row = kDialogs[dialog];
        const test::ScriptedMessages messages;  // plausibility questions answered with OK
        State s = test::started();
        const double before = s.*row.value;
        std::unique_ptr<QDialog> d = row.make(s);
        d->show();
        auto* field = test::child<QLineEdit>(*d, QString::fromLatin1(row.field));
        field->selectAll();
        QTest::keyClicks(field, QString::fromUtf8(row.text));
        QWidget* target = field;
        if (onCancel) {
            target = test::child<QPushButton>(*d, QString::fromLatin1(row.cancel));
            target->setFocus();
        }
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), result);
        QCOMPARE(s.*row.value, result == 1 ? row.stored : before);
    }

    // A plain QDialog with a default button: Escape cancels, Enter in the
    // name confirms, Enter in the note begins a new line.
    void standLabel() {
        StandLabelDialog d(u"Eichenhang"_s, QString());
        d.show();
        auto* note = test::child<QPlainTextEdit>(d, u"notiz"_s);
        QTest::keyClicks(note, u"Nordweg"_s);
        QTest::keyClick(note, Qt::Key_Return);
        QVERIFY(d.isVisible());
        QCOMPARE(d.note(), u"Nordweg\n"_s);
        QTest::keyClick(test::child<QLineEdit>(d, u"bezeichnung"_s), Qt::Key_Return);
        QVERIFY(!d.isVisible() && d.result() == QDialog::Accepted);
        d.show();
        QTest::keyClick(test::child<QLineEdit>(d, u"bezeichnung"_s), Qt::Key_Escape);
        QVERIFY(!d.isVisible() && d.result() == QDialog::Rejected);
    }
};

QTEST_MAIN(TestKeys)
#include "test_keys.moc"
