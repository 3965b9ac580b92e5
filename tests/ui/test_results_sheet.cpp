// The results dialog's two buttons for the result sheet: print through the
// preview and the print dialog (into a PDF file, no printer needed), and
// save as PDF through the file question. Neither ends the dialog.
#include <QAction>
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
using forstrix::ui::test::ScriptedMessages;

namespace {

State default_results() {
    State s = forstrix::ui::test::started();
    forstrix::calc_zeitbedarfkosten(s);
    return s;
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
        QTest::newRow("erg.pdf as proposed") << "erg.pdf" << "Meldung" << "Ergebnisblatt unter \"%1\" gespeichert!";
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
        QTest::mouseClick(d.findChild<QPushButton*>("25995"), Qt::LeftButton);

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
        const State s = default_results();
        ResultsDialog d(s, nullptr);
        d.show();
        const forstrix::ui::test::Printed printed =
            forstrix::ui::test::print_from_preview(d.findChild<QPushButton*>("25996"), pdf, [](auto& preview) {
                QCOMPARE(preview.printer()->pageLayout().pageSize().id(), QPageSize::A4);
                QStringList actions;  // in German, as the whole preview
                for (const QAction* a : preview.template findChildren<QAction*>()) actions << a->text();
                QVERIFY(actions.contains("Drucken"));
                preview.resize(900, 1000);
                forstrix::ui::test::save_screenshot(&preview, "sheet_print_preview");
            });
        QCOMPARE(printed.opened, QStringList{"QPrintPreviewDialog"});
        QVERIFY(printed.answered);
        QVERIFY(d.isVisible());
        QCOMPARE(forstrix::test::pdf_pages(pdf.toStdString()), 1);
        const std::string text = forstrix::test::flat(forstrix::test::pdf_text(pdf.toStdString()));
        QVERIFY(text.find("Summe: 26,48 Euro/Fm") != std::string::npos);
    }
};

QTEST_MAIN(TestResultsSheet)
#include "test_results_sheet.moc"
