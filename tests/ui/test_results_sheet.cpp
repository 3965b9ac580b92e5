// The results dialog's two buttons for the result sheet: print through the
// preview and the print dialog (into a PDF file, no printer needed), and
// save as PDF through the file question. Neither ends the dialog.
#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include "core/calc.h"
#include "files/stand_file.h"
#include "ui/dialog_codes.h"
#include "ui/mainwindow.h"
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

QPushButton* button(const QWidget& d, const char* id) { return d.findChild<QPushButton*>(QString::fromLatin1(id)); }

struct NoTrace final : forstrix::TraceSink {
    void write(std::string_view) override {}
};

std::string text_of(const QString& pdf) { return forstrix::test::flat(forstrix::test::pdf_text(pdf.toStdString())); }

}  // namespace

class TestResultsSheet : public QObject {
    Q_OBJECT
    QTemporaryDir folder_;
    QString previous_;

private slots:
    // The sheet is saved into the current folder: the test's own. Qt's
    // dialogs speak German, as in the program.
    void initTestCase() {
        forstrix::ui::use_german_qt_texts(*QCoreApplication::instance());
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder_.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(previous_); }

    void button_row() {
        const State s = default_results();
        ResultsDialog d(s, nullptr);
        d.show();
        QList<QPushButton*> row = d.findChildren<QPushButton*>();
        std::sort(row.begin(), row.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
        QStringList texts;
        for (const QPushButton* b : row) {
            QCOMPARE(b->y(), row.front()->y());  // one row
            texts << b->text();
        }
        QCOMPARE(texts, (QStringList{"Ergebnis speichern", "OK", "Bestandesdaten ändern...", "Drucken...",
                                     "Als PDF speichern...", "Kostenverlauf..."}));
    }

    void save_pdf_data() {
        QTest::addColumn<QString>("answer");   // the file chosen, in the test's folder; "": cancelled
        QTest::addColumn<QString>("title");    // of the message shown after; "": none
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("written");
        QTest::newRow("erg.pdf as proposed") << "erg.pdf" << "Meldung" << "Ergebnisblatt unter \"erg.pdf\" gespeichert!"
                                             << true;
        QTest::newRow("another folder") << "sub/blatt.pdf" << "Meldung" << "Ergebnisblatt unter \"%1\" gespeichert!"
                                        << true;
        QTest::newRow("cancelled") << "" << "" << "" << false;
        QTest::newRow("folder missing") << "fehlt/erg.pdf" << "Fehler"
                                        << "Ergebnisblatt konnte nicht gespeichert werden!\n"
                                           "Der Ordner existiert nicht (mehr): %1"
                                        << false;
    }
    void save_pdf() {
        QFETCH(QString, answer);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(bool, written);
        QDir().mkpath(QStringLiteral("sub"));
        const QString path = answer.isEmpty() ? QString() : QDir::current().filePath(answer);
        QFile::remove(path);

        ScriptedMessages messages;
        messages.answer_file(path);
        const State s = default_results();
        ResultsDialog d(s, nullptr);
        d.show();
        QTest::mouseClick(button(d, "25995"), Qt::LeftButton);

        QVERIFY(d.isVisible());  // the dialog stays open
        QCOMPARE(messages.asked_files().size(), std::size_t{1});
        const auto& asked = messages.asked_files().front();
        QCOMPARE(asked.title, QString("Ergebnisblatt als PDF speichern"));
        QCOMPARE(asked.proposed, QDir::current().filePath("erg.pdf"));
        QVERIFY(asked.filter.contains("*.pdf"));

        QCOMPARE(messages.shown().size(), std::size_t{title.isEmpty() ? 0u : 1u});
        if (!title.isEmpty()) {
            QCOMPARE(messages.shown().front().title, title);
            QCOMPARE(messages.shown().front().text,
                     text.contains("%1") ? text.arg(QDir::toNativeSeparators(path)) : text);
        }
        QCOMPARE(QFile::exists(path), written);
        if (written) {
            QCOMPARE(forstrix::test::pdf_pages(path.toStdString()), 1);
            QVERIFY(text_of(path).find("Summe: 26,48 Euro/Fm") != std::string::npos);
        }
    }

    // "Drucken..." opens the preview; its print button the print dialog,
    // which the test answers with a PDF file as the printer.
    void print() {
        const QString pdf = QDir::current().filePath("druck.pdf");
        QFile::remove(pdf);
        QStringList answered;  // the dialogs the print button opened
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (auto* chooser = qobject_cast<QFileDialog*>(w)) {
                answered << "QFileDialog";
                chooser->selectFile(pdf);
                static_cast<QDialog*>(chooser)->accept();
            } else if (auto* print = qobject_cast<QPrintDialog*>(w)) {
                answered << "QPrintDialog";
                print->accept();
            }
        });
        int pages_in_preview = 0;
        DialogScript script({[&](QWidget* w) {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(w);
            QVERIFY(preview);
            QVERIFY(preview->windowTitle().startsWith("Druckvorschau"));
            QPrinter* printer = preview->printer();
            QCOMPARE(printer->pageLayout().pageSize().id(), QPageSize::A4);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) pages_in_preview = widget->pageCount();
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
        QTest::mouseClick(button(d, "25996"), Qt::LeftButton);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), QStringList{"QPrintPreviewDialog"});
        QCOMPARE(answered, QStringList{"QPrintDialog"});
        QVERIFY(d.isVisible());
        QCOMPARE(pages_in_preview, 1);
        QCOMPARE(forstrix::test::pdf_pages(pdf.toStdString()), 1);
        const std::string text = text_of(pdf);
        for (const char* figure : {"Summe: 26,48 Euro/Fm", "inklusive Vermessung 28,15", "Summe: 21,74"})
            QVERIFY2(text.find(figure) != std::string::npos, figure);
    }

    // The stand's name, from the stand file the window opened, on the sheet.
    void stand_name_from_the_main_window() {
        State values;
        forstrix::startup_compute(values);
        const QString stand = QDir::current().filePath("12b.forstrix");
        QVERIFY(forstrix::files::write_stand(stand.toStdString(), values, {"Abteilung 12b, Eichenhang", ""}).ok());
        NoTrace trace;
        State state;
        forstrix::ui::MainWindow window(state, &trace);
        window.start_up();
        ScriptedMessages messages;
        messages.answer_file(stand);
        window.run_command(forstrix::ui::CmdOpenStand);
        QCOMPARE(window.stand_name(), QString("Abteilung 12b, Eichenhang"));

        const QString pdf = QDir::current().filePath("12b.pdf");
        messages.answer_file(pdf);
        DialogScript script({[](QWidget* d) {
            QTest::mouseClick(button(*d, "25995"), Qt::LeftButton);
            qobject_cast<QDialog*>(d)->done(forstrix::ui::ResultsOk);
        }});
        window.run_command(forstrix::ui::CmdResults);
        QVERIFY(script.wait_until_done());
        const std::string text = text_of(pdf);
        QVERIFY2(text.find(" Abteilung 12b, Eichenhang Bestandesdaten ") != std::string::npos, text.substr(0, 120).c_str());
    }
};

QTEST_MAIN(TestResultsSheet)
#include "test_results_sheet.moc"
