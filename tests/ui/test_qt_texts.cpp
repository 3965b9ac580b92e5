// Qt's own texts speak German whatever the system language: this test runs
// under the C locale, a German and an English one (see CMakeLists.txt).
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QtTest>

#include <memory>

#include "core/state.h"
#include "ui/cost_dialog.h"
#include "ui/qt_texts.h"
#include "ui_test_support.h"

using namespace forstrix;

// An action's text as the user reads it: without its mnemonic and shortcut.
static QString readable(QString text) { return text.section(u'\t', 0, 0).remove(u'&'); }

class TestQtTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The run's own system language, so that a run meant to be English is.
        const QByteArray expected = qgetenv("FORSTRIX_EXPECT_LOCALE");
        if (!expected.isEmpty()) QCOMPARE(QLocale::system().name(), QString::fromLatin1(expected));
        QVERIFY(ui::use_german_qt_texts(*QCoreApplication::instance()));
    }

    // The context menu of a number field in one of our dialogs.
    void contextMenuOfAField() {
        State s = ui::test::started();
        ui::CostDialog d(s);
        auto* field = d.findChild<QLineEdit*>(QStringLiteral("20001"));
        QVERIFY(field != nullptr);
        std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
        QStringList shown;
        for (const QAction* a : menu->actions())
            if (!a->isSeparator()) shown << readable(a->text());
        for (const char* item : {"Rückgängig", "Wiederherstellen", "Ausschneiden", "Kopieren", "Einfügen",
                                 "Löschen", "Alles auswählen"})
            QVERIFY2(shown.contains(QString::fromUtf8(item)), qPrintable(shown.join(u", ")));
    }
};

QTEST_MAIN(TestQtTexts)
#include "test_qt_texts.moc"
