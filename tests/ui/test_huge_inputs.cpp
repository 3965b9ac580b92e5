// Values beyond every double, or finite ones whose derived figures overflow,
// typed into every field of every input dialog: the dialog treats them as
// unreadable (the leaving buttons disabled) and no label shows "inf" or "nan".
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include "core/calc.h"
#include "core/machines.h"
#include "core/state.h"
#include "tests/ui/ui_test_support.h"
#include "ui/cost_dialog.h"
#include "ui/machine_dialog.h"
#include "ui/stand_dialog.h"

using namespace forstrix;
using namespace forstrix::ui;

namespace {

State started() { State s; startup_compute(s); return s; }

// The input dialogs by name, and the ids of their leaving buttons.
struct Opened {
    std::unique_ptr<QDialog> dialog;
    std::vector<int> leaving;
};
Opened open(State& s, const QString& which) {
    if (which == "stand") return {std::make_unique<StandDialog>(s), {10998, 10997, 10996}};
    if (which == "cost") return {std::make_unique<CostDialog>(s), {20998, 20997, 20996}};
    if (which == "msc") return {std::make_unique<ChainsawDialog>(s), {kChainsawDialogId + 998}};
    const MachineKind& k = *find_machine_kind(which.toStdString());
    return {std::make_unique<MachineDialog>(s, k), {k.dialog_id + 998}};
}

const QString kBeyondDouble(309, '9');           // 10^309 - 1: no double holds it
const QString kLargeFinite = "1" + QString(300, '0');  // 1e300: finite, but not its products

// Every text the user can read in the dialog, but the fields just typed.
QStringList readable(QWidget* d, const QStringList& typed_ids) {
    QStringList out;
    for (QLabel* l : d->findChildren<QLabel*>()) out << l->text();
    for (QLineEdit* f : d->findChildren<QLineEdit*>())
        if (!typed_ids.contains(f->objectName())) out << f->text();
    return out;
}

}  // namespace

class TestHugeInputs : public QObject {
    Q_OBJECT
    test::ScriptedMessages messages_;

private slots:
    void refusedAndNeverShownAsInfinity_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("script");  // "id=text;..."
        // Every numeric field of every dialog, one at a time, beyond a double.
        State s = started();
        for (const QString which : {"stand", "cost", "msc", "asb", "hab", "fob", "hfsab", "hhb", "hfb", "mskb"}) {
            Opened o = open(s, which);
            for (QLineEdit* f : o.dialog->findChildren<QLineEdit*>()) {
                if (f->isReadOnly()) continue;
                QTest::addRow("%s field %s beyond a double", qPrintable(which), qPrintable(f->objectName()))
                    << which << f->objectName() + "=" + kBeyondDouble;
            }
        }
        // Finite values whose derived figures are not: the harvest quantity
        // (volume × area), the wage with PNK, a cost with wage, a machine's
        // total (price × a percentage) and the chainsaw's.
        QTest::newRow("stand volume times area") << "stand" << "10008=" + kLargeFinite + ";10009=" + kLargeFinite;
        QTest::newRow("cost wage times PNK") << "cost" << "20001=" + QString(308, '9') + ";20003=900";
        QTest::newRow("cost operator wage into every machine sum")
            << "cost" << "20002=" + QString(308, '9') + ";20004=300";
        QTest::newRow("cost machine plus wage") << "cost" << "20011=" + QString(308, '9') + ";20002=" + QString(308, '9');
        QTest::newRow("harvester price times other costs") << "hab" << "13001=" + kLargeFinite + ";13012=" + kLargeFinite;
        QTest::newRow("chainsaw price over a tiny annual use")
            << "msc" << "11001=" + kLargeFinite + ";11004=0," + QString(30, '0') + "1";
    }
    void refusedAndNeverShownAsInfinity() {
        QFETCH(QString, dialog);
        QFETCH(QString, script);
        State s = started();
        const State before = s;
        Opened o = open(s, dialog);
        o.dialog->show();
        QStringList typed;
        for (const QString& step : script.split(';')) {
            auto* f = o.dialog->findChild<QLineEdit*>(step.section('=', 0, 0));
            QVERIFY(f != nullptr);
            f->selectAll();
            f->insert(step.section('=', 1));  // as pasted over the selection
            typed << f->objectName();
        }
        for (const int id : o.leaving) {
            auto* b = o.dialog->findChild<QPushButton*>(QString::number(id));
            QVERIFY(b != nullptr);
            QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
            QTest::mouseClick(b, Qt::LeftButton);
        }
        QVERIFY(o.dialog->isVisible());
        const QRegularExpression not_a_figure(QStringLiteral("\\b(inf|nan)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
        for (const QString& text : readable(o.dialog.get(), typed))
            QVERIFY2(!not_a_figure.match(text).hasMatch(), qPrintable(text));
        QVERIFY(s.gf_vab == before.gf_vab && s.gf_fw == before.gf_fw && s.gf_hab44 == before.gf_hab44 &&
                s.gf_msc5 == before.gf_msc5);  // nothing stored
        QVERIFY(messages_.shown().empty());
    }
};

QTEST_MAIN(TestHugeInputs)
#include "test_huge_inputs.moc"
