// The desktop program's own command line: help and version without a window.
#include <QtTest>

#include <vector>

#include "ui/command_line.h"

using forstrix::ui::command_line_answer;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("starts");  // "": the window starts
        QTest::newRow("no arguments") << QStringList{} << "";
        for (const char* help : {"--help", "-h"})
            QTest::newRow(help) << QStringList{help} << "Aufruf: forstrix [OPTIONEN] [BESTANDSDATEI]\n";
        for (const char* version : {"--version", "-V"}) QTest::newRow(version) << QStringList{version} << "forstrix 9.8.7\n";
        QTest::newRow("help after a file") << QStringList{"daten.klg", "--help"} << "Aufruf: forstrix";
        QTest::newRow("first of help and version wins") << QStringList{"-V", "-h"} << "forstrix 9.8.7\n";
        QTest::newRow("after -- only files") << QStringList{"--", "--help"} << "";
        QTest::newRow("Qt's own options pass") << QStringList{"-platform", "offscreen"} << "";
        QTest::newRow("look-alikes pass") << QStringList{"--helper", "-hV", "help"} << "";
    }
    void answers() {
        QFETCH(QStringList, args);
        QFETCH(QString, starts);
        std::vector<QByteArray> bytes{"forstrix"};
        for (const QString& a : args) bytes.push_back(a.toUtf8());
        std::vector<const char*> argv;
        for (const QByteArray& b : bytes) argv.push_back(b.constData());
        argv.push_back(nullptr);
        const auto answer = command_line_answer(int(bytes.size()), argv.data(), "9.8.7");
        QCOMPARE(answer.has_value(), !starts.isEmpty());
        if (!answer) return;
        QCOMPARE(answer->status, 0);
        QVERIFY2(QString::fromStdString(answer->text).startsWith(starts), answer->text.c_str());
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
