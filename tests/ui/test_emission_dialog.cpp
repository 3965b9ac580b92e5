// The dialog of the two CO2 factors, driven as a user drives it.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/state.h"
#include "tests/ui/ui_test_support.h"
#include "ui/emission_dialog.h"

using namespace forstrix;
using namespace forstrix::ui;

template <typename W = QLineEdit> static W* at(QWidget& d, int id) {
    auto* w = d.findChild<W*>(QString::number(id));
    if (w == nullptr) qFatal("no widget %d", id);
    return w;
}

// The whole text arrives in one edit, as when pasted over the selection.
static void type(QLineEdit* f, const QString& text) { f->selectAll(); f->insert(text); }

class TestEmissionDialog : public QObject {
    Q_OBJECT
    test::ScriptedMessages messages_;

private slots:
    void cleanup() { QVERIFY(messages_.shown().empty()); }  // the dialog never shows a box

    void opening() {
        State s;
        s.gf_co2_benzin = 2.5;
        EmissionDialog d(s);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.windowTitle(), QStringLiteral("Emissionsfaktoren"));
        QCOMPARE(at(d, 19001)->text() + ' ' + at(d, 19002)->text(), QStringLiteral("2,67 2,50"));
        QVERIFY(at<QPushButton>(d, 19998)->isEnabled());
        test::save_screenshot(&d, QStringLiteral("emission_dialog"));
    }

    // OK only while both fields read as numbers greater than 0 and at most 10.
    void typedText_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("marked");  // the unreadable text is selected
        QTest::newRow("diesel 3,17") << 19001 << "3,17" << true << false;
        QTest::newRow("diesel 10,01 above") << 19001 << "10,01" << false << false;
        QTest::newRow("diesel empty reads 0") << 19001 << "" << false << false;
        QTest::newRow("petrol 2,4,2 unreadable") << 19002 << "2,4,2" << false << true;
    }
    void typedText() {
        QFETCH(int, field);
        QFETCH(QString, text);
        State s;
        EmissionDialog d(s);
        d.show();
        QLineEdit* f = at(d, field);
        type(f, text);
        QTEST(at<QPushButton>(d, 19998)->isEnabled(), "ok");
        QTEST(f->selectedText() == text && !text.isEmpty(), "marked");
        type(f, "2,5");  // corrected, OK comes back
        QVERIFY(at<QPushButton>(d, 19998)->isEnabled());
    }

    void leaving_data() {
        QTest::addColumn<int>("button");  // OK 19998, Abbrechen 19999, 0 the close box
        QTest::newRow("OK") << 19998;
        QTest::newRow("Abbrechen") << 19999;
        QTest::newRow("close box") << 0;
    }
    void leaving() {
        QFETCH(int, button);
        State s;
        EmissionDialog d(s);
        d.show();
        type(at(d, 19001), "3,17");
        type(at(d, 19002), "2.9");
        if (button == 0)
            d.close();
        else
            QTest::mouseClick(at<QPushButton>(d, button), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), button == 19998 ? 1 : 0);
        QVERIFY(s.gf_co2_diesel == (button == 19998 ? 3.17 : 2.67) && s.gf_co2_benzin == (button == 19998 ? 2.9 : 2.42));
    }
};

QTEST_MAIN(TestEmissionDialog)
#include "test_emission_dialog.moc"
