// The results dialog's two buttons for the result sheet: print through the
// preview and the print dialog (into a PDF file, no printer needed), and
// save as PDF through the file question. Neither ends the dialog.
#include <QAction>
#include <QDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/calc.h"
#include "ui/qt_texts.h"
#include "ui/results_dialog.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using forstrix::State;
using forstrix::ui::ResultsDialog;
using forstrix::ui::test::DialogScript;
using forstrix::ui::test::ScriptedMessages;

namespace {

State default_results() {
    State s;
    forstrix::startup_compute(s);
    forstrix::calc_zeitbedarfkosten(s);
    return s;
}

void click(const QWidget& d, const char* id) {
    QTest::mouseClick(d.findChild<QPushButton*>(QString::fromLatin1(id)), Qt::LeftButton);
}

}  // namespace

class TestResultsSheet : public QObject {
    Q_OBJECT
    QTemporaryDir folder_;
    QString previous_;

private slots:
    // The sheet is proposed in the current folder: the test's own. Qt's
    // dialogs speak German, as in the program.
    void initTestCase() {
        forstrix::ui::use_german_qt_texts(*QCoreApplication::instance());
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder_.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(previous_); }

    void save_pdf_data() {
        QTest::addColumn<QString>("answer");  // the file chosen; "": cancelled
        QTest::addColumn<QString>("title");   // of the message shown after; "": none
        QTest::addColumn<QString>("text");
        QTest::newRow("erg.pdf as proposed") << "erg.pdf" << "Meldung" << "Ergebnisblatt unter \"erg.pdf\" gespeichert!";
        QTest::newRow("cancelled") << "" << "" << "";
        QTest::newRow("folder missing") << "fehlt/erg.pdf" << "Fehler"
                                        << "Ergebnisblatt konnte nicht gespeichert werden!\n"
                                           "Der Ordner existiert nicht (mehr): %1";
    }
    void save_pdf() {
        QFETCH(QString, answer);
        QFETCH(QString, title);
        QFETCH(QString, text);
        const QString path = answer.isEmpty() ? QString() : QDir::current().filePath(answer);
        ScriptedMessages messages;
        messages.answer_file(path);
        const State s = default_results();
        ResultsDialog d(s, nullptr);
        d.show();
        click(d, "25995");

        QVERIFY(d.isVisible());
        QCOMPARE(messages.asked_files().size(), std::size_t{1});
        QCOMPARE(messages.asked_files().front().title, QString("Ergebnisblatt als PDF speichern"));
        QCOMPARE(messages.asked_files().front().proposed, QDir::current().filePath("erg.pdf"));
        QCOMPARE(messages.shown().size(), std::size_t{title.isEmpty() ? 0u : 1u});
        if (!title.isEmpty()) {
            QCOMPARE(messages.shown().front().title, title);
            QCOMPARE(messages.shown().front().text,
                     text.contains("%1") ? text.arg(QDir::toNativeSeparators(path)) : text);
        }
        QCOMPARE(QFile::exists(path), title == "Meldung");
        if (title == "Meldung") QCOMPARE(forstrix::test::pdf_pages(path.toStdString()), 1);
    }

    // "Drucken..." opens the preview; its print button the print dialog,
    // answered with a PDF file as the printer.
    void print() {
        const QString pdf = QDir::current().filePath("druck.pdf");
        int answered = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                ++answered;
                dialog->accept();
            }
        });
        DialogScript script({[&](QWidget* w) {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(w);
            QVERIFY(preview);
            QPrinter* printer = preview->printer();
            QCOMPARE(printer->pageLayout().pageSize().id(), QPageSize::A4);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            preview->resize(900, 1000);
            forstrix::ui::test::save_screenshot(preview, "sheet_print_preview");
            QAction* print = nullptr;
            for (QAction* a : preview->findChildren<QAction*>())
                if (a->text() == "Drucken") print = a;  // in German, as the whole preview
            QVERIFY(print);
            answer.start(10);
            print->trigger();  // opens the print dialog in its own loop
            answer.stop();
            if (preview->isVisible()) preview->reject();
        }});

        const State s = default_results();
        ResultsDialog d(s, nullptr);
        d.show();
        click(d, "25996");
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), QStringList{"QPrintPreviewDialog"});
        QCOMPARE(answered, 1);
        QVERIFY(d.isVisible());
        QCOMPARE(forstrix::test::pdf_pages(pdf.toStdString()), 1);
        const std::string text = forstrix::test::flat(forstrix::test::pdf_text(pdf.toStdString()));
        QVERIFY(text.find("Summe: 26,48 Euro/Fm") != std::string::npos);
    }
};

QTEST_MAIN(TestResultsSheet)
#include "test_results_sheet.moc"
