// Messages about files name the file by its whole path, and saves confirm
// with it.
#include <QStatusBar>
#include <QtTest>

#include "ui/dialog_codes.h"
#include "ui_test_support.h"

using namespace forstrix::ui;
using namespace forstrix::ui::test;
using namespace Qt::StringLiterals;

class TestMessages : public WindowTest {
    Q_OBJECT
private slots:
    void init() { open_window(); }
    void cleanup() { close_window(); }

    void namesTheFile_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("start");  // of the text shown
        QTest::newRow("stand file missing") << "open" << "fehlt.forstrix" << "Fehler: Bestandsdatei kann nicht";
        QTest::newRow("stand file not a stand") << "open" << "kaputt.forstrix" << "Fehler: Bestandsdatei kann nicht";
        QTest::newRow("stand file saved") << "save" << "hang.forstrix" << "Bestand unter";
        QTest::newRow("basics missing") << "load" << "daten.klg" << "Fehler: Kalkulationsgrundlagen (daten.klg)";
        QTest::newRow("basics saved") << "store" << "daten.klg" << "Meldung: Kalkulationsgrundlagen gespeichert.";
    }
    void namesTheFile() {
        QFETCH(QString, what);
        QFETCH(QString, file);
        QFETCH(QString, start);
        ScriptedMessages messages;
        window_->start_up();
        const QString path = WindowTest::file(file);
        write_file(WindowTest::file(u"kaputt.forstrix"_s), "{\"kein\": \"Bestand\"}");
        if (what == u"open") window_->open_stand(path);
        if (what == u"load") window_->run_command(CmdLoadBasics);
        if (what == u"store") window_->run_command(CmdSaveBasics);
        if (what == u"save") messages.answer_file(path), window_->run_command(CmdSaveStandAs);
        QString said = window_->statusBar()->currentMessage();
        for (const ShownMessage& m : messages.shown()) said += m.title + u": "_s + m.text;
        QVERIFY2(said.startsWith(start) && said.contains(QFileInfo(path).absoluteFilePath()), qPrintable(said));
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
