// The keys of every desktop dialog in each input dialog: Escape does what
// "Abbrechen" does, Enter what "OK" does, and a focused button takes Enter
// for itself.
#include <functional>
#include <memory>

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/machines.h"
#include "ui/cost_dialog.h"
#include "ui/emission_dialog.h"
#include "ui/machine_dialog.h"
#include "ui/stand_dialog.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;

namespace {

template <typename T>
std::unique_ptr<QDialog> make(State& s) { return std::make_unique<T>(s); }

struct Dialog {
    const char* name;
    std::function<std::unique_ptr<QDialog>(State&)> make;
    int id;                // of the field typed into; the dialog's "Abbrechen" is id / 1000 · 1000 + 999
    const char* text;
    double State::*value;  // what the field stores: the text's value after OK
    double stored;
};
const Dialog kDialogs[] = {
    {"Bestandesdaten", make<StandDialog>, 10008, "45", &State::gf_vab, 45.0},
    {"Kosten", make<CostDialog>, 20001, "14,5", &State::gf_fw, 14.5},
    {"Motorsägen", make<ChainsawDialog>, 11001, "700", &State::gf_msc5, 700.0},
    {"Harvester", [](State& s) -> std::unique_ptr<QDialog> {
         return std::make_unique<MachineDialog>(s, machine_kind(MachineId::hab)); }, 13001, "500", &State::gf_hab44, 500.0},
    {"Emissionsfaktoren", make<EmissionDialog>, 19001, "2,5", &State::gf_co2_diesel, 2.5},
};

}  // namespace

class TestKeys : public QObject {
    Q_OBJECT
private slots:
    void inputDialogs_data() {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("onCancel");  // pressed on the focused "Abbrechen"
        QTest::addColumn<int>("result");
        for (int i = 0; i < int(std::size(kDialogs)); ++i) {
            QTest::addRow("%s Escape", kDialogs[i].name) << i << int(Qt::Key_Escape) << false << 0;
            QTest::addRow("%s Enter", kDialogs[i].name) << i << int(Qt::Key_Return) << false << 1;
            QTest::addRow("%s keypad Enter", kDialogs[i].name) << i << int(Qt::Key_Enter) << false << 1;
            QTest::addRow("%s Enter on Abbrechen", kDialogs[i].name) << i << int(Qt::Key_Return) << true << 0;
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
        auto* field = test::child<QLineEdit>(*d, QString::number(row.id));
        field->selectAll();
        QTest::keyClicks(field, QString::fromUtf8(row.text));
        QWidget* target = field;
        if (onCancel) (target = test::child<QPushButton>(*d, QString::number(row.id / 1000 * 1000 + 999)))->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), result);
        QCOMPARE(s.*row.value, result == 1 ? row.stored : before);
    }
};

QTEST_MAIN(TestKeys)
#include "test_keys.moc"
