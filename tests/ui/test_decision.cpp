// The decision at a glance: the block at the top of the results dialog and
// of the result sheet, and the main window's status line; the results'
// buttons always in view, and saving them that the user may still call off.
// On a laptop's screen of 1366 × 768, as a planner in the field has it.
#include <QApplication>
#include <QLabel>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "core/calc.h"
#include "core/decision.h"
#include "draw/sheet.h"
#include "ui/dialog_codes.h"
#include "ui/results_dialog.h"
#include "ui/stand_document.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using namespace forstrix;
using namespace forstrix::ui;
namespace ui_test = forstrix::ui::test;
namespace pdf_test = forstrix::test;
using namespace Qt::StringLiterals;

namespace {

State computed(const QString& values) {
    State s = ui_test::started();
    ui_test::set_values(s, values);
    calc_zeitbedarfkosten(s);
    return s;
}

QString text_of(const QWidget& parent, const QString& name) {
    const auto* label = parent.findChild<QLabel*>(name);
    return label != nullptr ? label->text() : QString();
}

const QString kDefaultCheapest = QStringLiteral("III) Hochmechanisierte Holzernte: 21,74 Euro/Fm, "
                                                "32.608 Euro für die Maßnahme");

}  // namespace

class TestDecision : public ui_test::WindowTest {
    Q_OBJECT
private slots:
    // A window's folder is left before the next one is entered.
    void cleanup() { here_.reset(); }

    void resultsBlock_data() {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QStringList>("lines");  // the start of each line
        QTest::newRow("default stand")
            << QString() << QStringList{u"Am günstigsten: III) Hochmechanisierte Holzernte mit 21,74 Euro/Fm"_s,
                                        u"Gesamte Maßnahme (1.500 EFm): 32.608 Euro, Kraftstoff "_s,
                                        u"Zweitgünstigstes: I) Konventionelle Holzernte mit "_s};
        QTest::newRow("no system suits")
            << u"g_sys1=0 g_sys2=0 g_sys3=0 g_sys4=0 g_sys5=0 g_sys6=0"_s
            << QStringList{QString::fromUtf8(kNoSuitableSystem)};
    }
    void resultsBlock() {
        QFETCH(QString, values);
        QFETCH(QStringList, lines);
        const State s = computed(values);
        ResultsDialog d(s, nullptr);
        d.show();
        for (qsizetype i = 0; i < 3; ++i) {
            const QString shown = text_of(d, u"decision%1"_s.arg(i));
            if (i < lines.size()) QVERIFY2(shown.startsWith(lines[i]), qPrintable(shown));
            else QVERIFY2(shown.isEmpty(), qPrintable(shown));
        }
        if (values.isEmpty()) ui_test::save_screenshot(&d, u"results_1366x768"_s);
    }

    // After start-up, after the name is given, after the stand dialog's OK.
    void statusLine() {
        open_window();
        window_->start_up();
        QCOMPARE(window_->status_line()->text(), kDefaultCheapest);
        window_->document()->set_label(u"Abteilung 12b"_s, QString());
        QCOMPARE(window_->status_line()->text(), u"Abteilung 12b – "_s + kDefaultCheapest);
        ui_test::DialogScript script({[](QWidget* dialog) {
            auto* bhd = ui_test::child<QComboBox>(*dialog, u"10002"_s);
            bhd->setCurrentIndex(bhd->findText(u"16"_s));
            QTest::mouseClick(ui_test::child<QPushButton>(*dialog, u"10998"_s), Qt::LeftButton);
        }});
        window_->run_command(CmdStand);
        QVERIFY(script.wait_until_done());
        QCOMPARE(window_->status_line()->text(),
                 u"Abteilung 12b – VI) Spanholz: 23,97 Euro/Fm, 35.956 Euro für die Maßnahme"_s);
        ui_test::save_screenshot(window_, u"mainwindow_status"_s);
    }

    // All six buttons on the screen before any scrolling, the dialog too.
    void buttonsInView() {
        const State s = computed(QString());
        ResultsDialog d(s, nullptr);
        d.show();
        QVERIFY(d.screen()->availableGeometry().contains(d.frameGeometry()));
        const QRect shown = d.rect();
        for (const char* name : {"25998", "25999", "25997", "25996", "25995", "kostenverlauf"}) {
            auto* b = ui_test::child<QPushButton>(d, QString::fromLatin1(name));
            const QRect at(b->mapTo(&d, QPoint(0, 0)), b->size());
            QVERIFY2(b->isVisible() && shown.contains(at), name);
        }
    }

    // The print preview of the sheet on the same screen: on it whole, its
    // toolbar without an extension arrow hiding buttons.
    void printPreviewFits() {
        const State s = computed(QString());
        ResultsDialog d(s, nullptr);
        d.show();
        QRect frame, avail;
        bool whole_toolbar = false;
        ui_test::DialogScript script({[&](QWidget* preview) {
            frame = preview->frameGeometry();
            avail = preview->screen()->availableGeometry();
            const auto* bar = preview->findChild<QToolBar*>();
            whole_toolbar = bar != nullptr && bar->width() >= bar->sizeHint().width();
            ui_test::save_screenshot(preview, u"print_preview_1366x768"_s);
            qobject_cast<QDialog*>(preview)->reject();
        }});
        QTest::mouseClick(ui_test::child<QPushButton>(d, u"25996"_s), Qt::LeftButton);
        QVERIFY(script.wait_until_done());
        QVERIFY2(avail.contains(frame), qPrintable(u"%1,%2 %3x%4"_s.arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
        QVERIFY(whole_toolbar);
    }

    // "Ergebnis speichern" over an existing erg.txt: "Abbrechen" brings the
    // results back and leaves the file; OK writes it and names its whole path.
    void saveResults_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("opened");  // results dialogs
        QTest::newRow("Abbrechen") << int(MsgAnswer::Cancel) << 2;
        QTest::newRow("OK") << int(MsgAnswer::Ok) << 1;
    }
    void saveResults() {
        QFETCH(int, answer);
        QFETCH(int, opened);
        open_window();
        ui_test::ScriptedMessages messages;
        messages.answer(static_cast<MsgAnswer>(answer));
        window_->start_up();
        ui_test::write_file(here_->file(u"erg.txt"_s), "alt");
        std::vector<ui_test::DialogScript::Step> steps{ui_test::end_with(ResultsSave)};
        if (opened == 2) steps.push_back(ui_test::end_with(ResultsOk));
        ui_test::DialogScript script(steps);
        window_->run_command(CmdResults);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened().size(), opened);
        const bool saved = opened == 1;
        QCOMPARE(ui_test::read_file(here_->file(u"erg.txt"_s)) == "alt", !saved);
        QCOMPARE(messages.shown().size(), saved ? 2u : 1u);
        if (saved)
            QCOMPARE(messages.shown().back().text,
                     u"Ergebnis unter \"%1\" gespeichert!"_s.arg(QFileInfo(here_->file(u"erg.txt"_s)).absoluteFilePath()));
    }

    // The block under the stand's name, and a long note cut after three lines.
    void sheetTop() {
        const State s = computed(QString());
        draw::SheetExtras extras;
        extras.stand_name = "Abteilung 12b, Eichenhang";
        for (int i = 0; i < 12; ++i) extras.note += "Rückegassen im Frühjahr nachbessern, Zufahrt über den Nordweg. ";
        const draw::ResultSheet sheet(s, extras, QDate(2026, 12, 7));
        QTemporaryDir dir;
        const std::string path = dir.filePath(u"sheet.pdf"_s).toStdString();
        QVERIFY(draw::write_sheet_pdf(path, sheet).ok());
        QCOMPARE(pdf_test::pdf_pages(path), 1);
        const std::string text = pdf_test::flat(pdf_test::pdf_text(path));
        for (const std::string& line : decision_lines(decide(s), s))
            QVERIFY2(text.find(pdf_test::flat(line)) != std::string::npos, line.c_str());
        const std::size_t note = text.find("Rückegassen im Frühjahr");
        QVERIFY(note != std::string::npos && note < text.find("Bestandesdaten"));
        const std::size_t ellipsis = text.find("…");
        QVERIFY(ellipsis != std::string::npos && ellipsis < text.find("Bestandesdaten"));
        QVERIFY(pdf_test::pdf_to_png(path, FORSTRIX_SCREENSHOT_DIR, "sheet_top"));
    }
};

// A screen of 1366 × 768 pixels for the offscreen platform.
int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    ui_test::write_file(config, R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
                                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QApplication app(argc, argv);
    if (app.primaryScreen()->geometry() != QRect(0, 0, 1366, 768)) qFatal("no screen of 1366 x 768");
    TestDecision test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_decision.moc"
