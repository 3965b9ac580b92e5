// The keys in each input dialog: Tab walks it in reading order, every input
// once; Escape does what "Abbrechen" does, Enter what "OK" does, and a
// focused button takes Enter for itself.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/machines.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;

namespace {

struct Typed {
    const char* dialog;    // as test::input_dialog names it
    int id;                // of the field typed into; the dialog's "Abbrechen" is id / 1000 · 1000 + 999
    const char* text;
    double State::*value;  // what the field stores: the text's value after OK
    double stored;
};
const Typed kTyped[] = {
    {"stand", 10008, "45", &State::gf_vab, 45.0},
    {"cost", 20001, "14,5", &State::gf_fw, 14.5},
    {"msc", 11001, "700", &State::gf_msc5, 700.0},
    {"hab", 13001, "500", &State::gf_hab44, 500.0},
    {"co2", 19001, "2,5", &State::gf_co2_diesel, 2.5},
};

}  // namespace

class TestKeys : public QObject {
    Q_OBJECT
private slots:
    void escapeAndEnter_data() {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("onCancel");  // pressed on the focused "Abbrechen"
        QTest::addColumn<int>("result");
        for (int i = 0; i < int(std::size(kTyped)); ++i) {
            QTest::addRow("%s Escape", kTyped[i].dialog) << i << int(Qt::Key_Escape) << false << 0;
            QTest::addRow("%s Enter", kTyped[i].dialog) << i << int(Qt::Key_Return) << false << 1;
            QTest::addRow("%s keypad Enter", kTyped[i].dialog) << i << int(Qt::Key_Enter) << false << 1;
            QTest::addRow("%s Enter on Abbrechen", kTyped[i].dialog) << i << int(Qt::Key_Return) << true << 0;
        }
    }
    void escapeAndEnter() {
        QFETCH(int, dialog);
        QFETCH(int, key);
        QFETCH(bool, onCancel);
        QFETCH(int, result);
        const Typed& row = kTyped[dialog];
        const test::ScriptedMessages messages;  // plausibility questions answered with OK
        State s = test::started();
        const double before = s.*row.value;
        std::unique_ptr<QDialog> d = test::input_dialog(s, QString::fromLatin1(row.dialog));
        d->show();
        auto* field = test::at(*d, row.id);
        field->selectAll();
        QTest::keyClicks(field, QString::fromUtf8(row.text));
        QWidget* target = field;
        if (onCancel) (target = test::at<QPushButton>(*d, row.id / 1000 * 1000 + 999))->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), result);
        QCOMPARE(s.*row.value, result == 1 ? row.stored : before);
    }

    void tabInReadingOrder_data() {
        QTest::addColumn<QString>("dialog");
        for (const char* which : {"stand", "cost", "msc", "co2"}) QTest::newRow(which) << which;
        for (const MachineKind& k : kMachineKinds) QTest::newRow(std::string(k.stem).c_str()) << QString::fromUtf8(k.stem.data(), qsizetype(k.stem.size()));
    }
    // Inputs column by column, left to right and each column top down; then
    // the buttons row by row. Every enabled input is reached, none twice.
    void tabInReadingOrder() {
        QFETCH(QString, dialog);
        State s = test::started();
        const std::unique_ptr<QDialog> d = test::input_dialog(s, dialog);
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.get()));
        QWidget* const first = d->focusWidget();
        QVERIFY2(first != nullptr, "no focus");
        QList<QWidget*> chain;  // from the first focus round to it again
        QStringList order;
        for (QWidget* w = first; w != nullptr && (chain.isEmpty() || w != first) && chain.size() < 200; w = d->focusWidget()) {
            chain.append(w);
            const QPoint p = w->mapTo(d.get(), QPoint(0, 0));
            order << QStringLiteral("%1@%2,%3").arg(w->objectName()).arg(p.x()).arg(p.y());
            QTest::keyClick(w, Qt::Key_Tab);
        }
        const QString said = order.join(u' ');
        bool in_buttons = false;
        QPoint last(-1, -1);
        for (QWidget* w : chain) {
            QVERIFY2(chain.count(w) == 1, qPrintable(said));
            const QPoint p = w->mapTo(d.get(), QPoint(0, 0));
            const bool button = qobject_cast<QPushButton*>(w) != nullptr;
            QVERIFY2(!(in_buttons && !button), qPrintable("an input after the buttons: " + said));
            if (button && in_buttons)
                QVERIFY2(p.y() > last.y() || (p.y() == last.y() && p.x() > last.x()), qPrintable(said));
            else if (!button && last.x() >= 0)
                QVERIFY2(p.x() > last.x() || (p.x() == last.x() && p.y() > last.y()), qPrintable(said));
            in_buttons = in_buttons || button;
            last = p;
        }
        for (QWidget* input : d->findChildren<QWidget*>()) {
            if (qobject_cast<QLineEdit*>(input) == nullptr && qobject_cast<QComboBox*>(input) == nullptr) continue;
            if (!input->isEnabled() || !input->isVisible() || input->focusPolicy() == Qt::NoFocus) continue;
            if (qobject_cast<QComboBox*>(input->parentWidget()) != nullptr) continue;  // a combo box's own editor
            QVERIFY2(chain.contains(input), qPrintable(input->objectName() + " not reached: " + said));
        }
    }
};

QTEST_MAIN(TestKeys)
#include "test_keys.moc"
