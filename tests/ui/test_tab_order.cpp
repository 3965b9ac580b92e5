// The Tab key walks each input dialog in reading order, every input once.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/machines.h"
#include "tests/ui/ui_test_support.h"

using namespace forstrix;

class TestTabOrder : public QObject {
    Q_OBJECT
private slots:
    void inReadingOrder_data() {
        QTest::addColumn<QString>("dialog");
        for (const char* which : {"stand", "cost", "msc", "co2"}) QTest::newRow(which) << which;
        for (const MachineKind& k : kMachineKinds) QTest::newRow(std::string(k.stem).c_str()) << QString::fromUtf8(k.stem.data(), qsizetype(k.stem.size()));
    }
    // Inputs column by column, left to right and each column top down; then
    // the buttons row by row. Every enabled input is reached, none twice.
    void inReadingOrder() {
        QFETCH(QString, dialog);
        State s = ui::test::started();
        const std::unique_ptr<QDialog> d = ui::test::input_dialog(s, dialog);
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

QTEST_MAIN(TestTabOrder)
#include "test_tab_order.moc"
