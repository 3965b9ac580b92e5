// The Tab key walks each input dialog in reading order, every input once.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "core/calc.h"
#include "core/machines.h"
#include "core/state.h"
#include "tests/ui/ui_test_support.h"
#include "ui/cost_dialog.h"
#include "ui/emission_dialog.h"
#include "ui/machine_dialog.h"
#include "ui/stand_dialog.h"

using namespace forstrix;
using namespace forstrix::ui;

namespace {

State started() { State s; startup_compute(s); return s; }

// The widgets that Tab reaches, from the first focus round to it again.
QList<QWidget*> tab_chain(QDialog& d) {
    d.show();
    d.activateWindow();
    if (!QTest::qWaitForWindowActive(&d)) return {};
    QWidget* first = d.focusWidget();
    QList<QWidget*> chain;
    if (first == nullptr) return chain;
    QWidget* w = first;
    do {
        chain.append(w);
        QTest::keyClick(w, Qt::Key_Tab);
        w = d.focusWidget();
    } while (w != nullptr && w != first && chain.size() < 200);
    return chain;
}

QString describe(const QList<QWidget*>& chain) {
    QStringList names;
    for (QWidget* w : chain) {
        const QPoint p = w->mapTo(w->window(), QPoint(0, 0));
        names << QStringLiteral("%1@%2,%3").arg(w->objectName()).arg(p.x()).arg(p.y());
    }
    return names.join(QStringLiteral(" "));
}

// Inputs column by column, left to right and each column top down; then the
// buttons row by row. Every enabled input is reached, none twice.
void check_reading_order(QDialog& d) {
    const QList<QWidget*> chain = tab_chain(d);
    QVERIFY2(!chain.isEmpty(), "no focus");
    const QString order = describe(chain);
    QSet<QWidget*> seen;
    bool in_buttons = false;
    QPoint last(-1, -1);
    for (QWidget* w : chain) {
        QVERIFY2(!seen.contains(w), qPrintable(order));
        seen.insert(w);
        const QPoint p = w->mapTo(&d, QPoint(0, 0));
        const bool button = qobject_cast<QPushButton*>(w) != nullptr;
        QVERIFY2(!(in_buttons && !button), qPrintable("an input after the buttons: " + order));
        if (button && !in_buttons) {
            in_buttons = true;
        } else if (button) {
            QVERIFY2(p.y() > last.y() || (p.y() == last.y() && p.x() > last.x()), qPrintable(order));
        } else if (last.x() >= 0) {
            QVERIFY2(p.x() > last.x() || (p.x() == last.x() && p.y() > last.y()), qPrintable(order));
        }
        last = p;
    }
    for (QWidget* input : d.findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(input) == nullptr && qobject_cast<QComboBox*>(input) == nullptr) continue;
        if (!input->isEnabled() || !input->isVisible() || input->focusPolicy() == Qt::NoFocus) continue;
        if (qobject_cast<QComboBox*>(input->parentWidget()) != nullptr) continue;  // a combo box's own editor
        QVERIFY2(seen.contains(input), qPrintable(input->objectName() + " not reached: " + order));
    }
}

}  // namespace

class TestTabOrder : public QObject {
    Q_OBJECT
private slots:
    void inReadingOrder_data() {
        QTest::addColumn<QString>("dialog");
        for (const char* which : {"stand", "cost", "msc", "emission"}) QTest::newRow(which) << which;
        for (const MachineKind& k : kMachineKinds) QTest::newRow(std::string(k.stem).c_str()) << QString::fromUtf8(k.stem.data(), qsizetype(k.stem.size()));
    }
    void inReadingOrder() {
        QFETCH(QString, dialog);
        State s = started();
        std::unique_ptr<QDialog> d;
        if (dialog == "stand") d = std::make_unique<StandDialog>(s);
        else if (dialog == "cost") d = std::make_unique<CostDialog>(s);
        else if (dialog == "msc") d = std::make_unique<ChainsawDialog>(s);
        else if (dialog == "emission") d = std::make_unique<EmissionDialog>(s);
        else d = std::make_unique<MachineDialog>(s, *find_machine_kind(dialog.toStdString()));
        check_reading_order(*d);
    }
};

QTEST_MAIN(TestTabOrder)
#include "test_tab_order.moc"
